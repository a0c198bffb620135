// A plain window standing in for one the code under test only needs the handle of: the monitor
// window that owns a dialog, the window a notification-area icon reports to, a label's parent.
#pragma once

#include <windows.h>

#include "windows/handles.h"

namespace velmora::testing {

inline win::WindowHandle StandInWindow(const char* title,
                                       DWORD style,
                                       SIZE size,
                                       HWND owner = nullptr,
                                       DWORD exStyle = 0) {
  return win::WindowHandle(::CreateWindowExA(exStyle, "STATIC", title, style, 0, 0, size.cx, size.cy, owner,
                                             nullptr, ::GetModuleHandleA(nullptr), nullptr));
}

}  // namespace velmora::testing

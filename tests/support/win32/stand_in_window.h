// A plain window standing in for one the code under test only needs the handle of: the monitor
// window that owns a dialog, the window a notification-area icon reports to, a label's parent.
#pragma once

#include <windows.h>

#include "windows/handles.h"

namespace velmora::testing {

inline win::WindowHandle StandInWindow(const char* title, DWORD style, SIZE size) {
  return win::WindowHandle(::CreateWindowExA(0, "STATIC", title, style, 0, 0, size.cx, size.cy, nullptr,
                                             nullptr, ::GetModuleHandleA(nullptr), nullptr));
}

}  // namespace velmora::testing

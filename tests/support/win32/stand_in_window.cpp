#include "tests/support/win32/stand_in_window.h"

namespace velmora::testing {

win::WindowHandle StandInWindow(const char* title, DWORD style, SIZE size) {
  return win::WindowHandle(::CreateWindowExA(0, "STATIC", title, style, 0, 0, size.cx, size.cy, nullptr,
                                             nullptr, ::GetModuleHandleA(nullptr), nullptr));
}

}  // namespace velmora::testing

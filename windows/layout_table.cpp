#include "windows/layout_table.h"

namespace velmora::win {

int ScaleToDpi(int value, int dpi) {
  return ::MulDiv(value, dpi, USER_DEFAULT_SCREEN_DPI);
}

HWND CreateLaidOutControl(HWND parent, const ControlLayout& layout, HFONT font, int dpi) {
  HWND control = ::CreateWindowExA(
      layout.exStyle, layout.className, layout.text, WS_CHILD | WS_VISIBLE | layout.style,
      ScaleToDpi(layout.x, dpi), ScaleToDpi(layout.y, dpi), ScaleToDpi(layout.width, dpi),
      ScaleToDpi(layout.height, dpi), parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)),
      ::GetModuleHandleA(nullptr), nullptr);
  if (control && font)
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

}  // namespace velmora::win

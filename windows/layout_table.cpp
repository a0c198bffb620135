#include "windows/layout_table.h"

#include "core/tools.h"

namespace velmora::win {

int ScaleToDpi(int value, int dpi) {
  return ScalePixels(value, dpi);
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

void PlaceLaidOutControls(HWND parent, std::span<const ControlLayout> layouts, HFONT font, int dpi) {
  for (const ControlLayout& layout : layouts) {
    HWND control = ::GetDlgItem(parent, layout.id);
    if (!control)
      continue;
    ::SetWindowPos(control, nullptr, ScaleToDpi(layout.x, dpi), ScaleToDpi(layout.y, dpi),
                   ScaleToDpi(layout.width, dpi), ScaleToDpi(layout.height, dpi),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    if (font)
      ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
}

}  // namespace velmora::win

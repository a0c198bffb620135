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

void FitClientArea(HWND window, int width, int height, int dpi) {
  const int wantedWidth = ScaleToDpi(width, dpi);
  const int wantedHeight = ScaleToDpi(height, dpi);
  RECT frame{0, 0, wantedWidth, wantedHeight};
  ::AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_EXSTYLE)),
                             static_cast<UINT>(dpi));
  int frameWidth = frame.right - frame.left;
  int frameHeight = frame.bottom - frame.top;
  constexpr UINT kSizeOnly = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  ::SetWindowPos(window, nullptr, 0, 0, frameWidth, frameHeight, kSizeOnly);
  RECT client{};
  ::GetClientRect(window, &client);
  if (client.right != wantedWidth || client.bottom != wantedHeight) {
    frameWidth += wantedWidth - client.right;
    frameHeight += wantedHeight - client.bottom;
    ::SetWindowPos(window, nullptr, 0, 0, frameWidth, frameHeight, kSizeOnly);
  }
}

void MoveToSuggestedPlace(HWND window, LPARAM suggestedRect) {
  const auto* suggested = reinterpret_cast<const RECT*>(suggestedRect);
  if (suggested) {
    ::SetWindowPos(window, nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace velmora::win

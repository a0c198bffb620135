#include "windows/colour_change.h"

#include <utility>

namespace velmora::win {

namespace {

using Message = std::pair<WPARAM, LPARAM>;

BOOL CALLBACK SendToChild(HWND child, LPARAM context) {
  const auto* message = reinterpret_cast<const Message*>(context);
  ::SendMessageA(child, WM_SYSCOLORCHANGE, message->first, message->second);
  return TRUE;
}

}  // namespace

void ForwardSysColorChange(HWND window, std::initializer_list<HWND> popups, WPARAM wParam, LPARAM lParam) {
  const Message message{wParam, lParam};
  // EnumChildWindows reaches the children's children too.
  ::EnumChildWindows(window, &SendToChild, reinterpret_cast<LPARAM>(&message));
  for (HWND popup : popups) {
    if (popup)
      ::SendMessageA(popup, WM_SYSCOLORCHANGE, wParam, lParam);
  }
}

bool HighContrastOn() {
  HIGHCONTRASTA contrast{};
  contrast.cbSize = sizeof(contrast);
  return ::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace velmora::win

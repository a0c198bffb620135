#include "monitor/win32/error_box.h"

namespace velmora {

std::string WithFullStop(std::string message) {
  // IsCharAlphaA knows the letters of the ANSI code page above 127 as well.
  if (!message.empty() && ::IsCharAlphaA(message.back()))
    message += '.';
  return message;
}

void ShowErrorBox(HWND owner, const std::string& message) {
  ::MessageBoxA(owner, WithFullStop(message).c_str(), kAppTitle, MB_OK | MB_ICONERROR);
}

}  // namespace velmora

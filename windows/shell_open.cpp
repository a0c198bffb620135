#include "windows/shell_open.h"

#include <shellapi.h>

namespace velmora::win {

void Win32ShellOpener::Open(HWND owner, const std::string& target) {
  ::ShellExecuteA(owner, "open", target.c_str(), "", "", SW_SHOWNORMAL);
}

}  // namespace velmora::win

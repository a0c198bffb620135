// The dialogs (message boxes, the folder picker: class "#32770") this thread shows right now.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

namespace velmora::testing {

inline std::vector<HWND> VisibleThreadDialogs() {
  std::vector<HWND> dialogs;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM found) -> BOOL {
        char className[16] = {};
        ::GetClassNameA(window, className, sizeof(className));
        if (std::string_view(className) == "#32770" && ::IsWindowVisible(window))
          reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&dialogs));
  return dialogs;
}

}  // namespace velmora::testing

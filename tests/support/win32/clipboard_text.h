// What the clipboard holds as ANSI text, as another program would paste it.
#pragma once

#include <windows.h>

#include <string>

namespace velmora::testing {

inline std::string ClipboardText() {
  std::string text;
  if (!::OpenClipboard(nullptr))
    return "(clipboard not opened)";
  if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
    if (const char* bytes = static_cast<const char*>(::GlobalLock(data))) {
      text = bytes;
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

}  // namespace velmora::testing

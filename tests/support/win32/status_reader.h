// What a status bar's panel shows, read back through the program's own wrapper.
#pragma once

#include <windows.h>

#include <string>

#include "windows/status_bar.h"

namespace velmora::testing {

inline std::string StatusText(HWND statusBar, int part) {
  char buffer[512] = {};
  win::StatusBar(statusBar).GetText(part, buffer);
  return buffer;
}

}  // namespace velmora::testing

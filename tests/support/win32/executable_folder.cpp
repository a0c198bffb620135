#include "tests/support/win32/executable_folder.h"

#include <windows.h>

namespace velmora::testing {

std::string ExecutableFolder() {
  char path[MAX_PATH + 1] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string file(path, length);
  return file.substr(0, file.find_last_of('\\') + 1);
}

}  // namespace velmora::testing

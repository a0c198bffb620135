// The folder of the running test program, with its trailing "\": the build puts the samples the
// tests read there.
#pragma once

#include <windows.h>

#include <string>

namespace velmora::testing {

inline std::string ExecutableFolder() {
  char path[MAX_PATH + 1] = {};
  const std::string file(path, ::GetModuleFileNameA(nullptr, path, MAX_PATH));
  return file.substr(0, file.find_last_of('\\') + 1);
}

}  // namespace velmora::testing

#include "tests/package/program_window.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "tests/support/win32/window_finders.h"

namespace velmora::probe {
namespace {

using testing::HasClass;

struct WindowSearch {
  const std::string& className;
  const std::string& exePath;
  ProgramWindow found;
};

// The full path of the executable that process `processId` runs, empty when it cannot be read.
std::string ProcessImagePath(DWORD processId) {
  const ProcessHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process)
    return std::string();
  std::vector<char> path(32768);
  DWORD size = static_cast<DWORD>(path.size());
  if (!::QueryFullProcessImageNameA(process.Get(), 0, path.data(), &size))
    return std::string();
  return std::string(path.data(), size);
}

}  // namespace

ProgramWindow FindProgramWindow(const std::string& className, const std::string& exePath) {
  WindowSearch search{className, exePath, {}};
  ::EnumWindows(
      [](HWND hwnd, LPARAM lParam) -> BOOL {
        auto& wanted = *reinterpret_cast<WindowSearch*>(lParam);
        DWORD processId = 0;
        ::GetWindowThreadProcessId(hwnd, &processId);
        // Another copy started from elsewhere has a window of the same class: only the path tells.
        if (!HasClass(hwnd, wanted.className.c_str()) ||
            ::lstrcmpiA(ProcessImagePath(processId).c_str(), wanted.exePath.c_str()) != 0)
          return TRUE;
        wanted.found = ProgramWindow{hwnd, processId};
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void PrintTopLevelWindows() {
  ::EnumWindows(
      [](HWND hwnd, LPARAM) -> BOOL {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(hwnd, &processId);
        char className[64] = {};
        ::GetClassNameA(hwnd, className, sizeof className);
        std::printf("  window %p class %s, process %lu (%s)%s\n", static_cast<void*>(hwnd), className,
                    processId, ProcessImagePath(processId).c_str(),
                    ::IsWindowVisible(hwnd) ? ", visible" : "");
        return TRUE;
      },
      0);
}

HWND FindDescendant(HWND parent, const char* className) {
  std::pair<const char*, HWND> search{className, nullptr};
  ::EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM lParam) -> BOOL {
        auto& [name, found] = *reinterpret_cast<std::pair<const char*, HWND>*>(lParam);
        found = HasClass(hwnd, name) ? hwnd : nullptr;
        return found == nullptr;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}

}  // namespace velmora::probe

#include "tests/support/win32/window_finders.h"

#include <utility>

#include "windows/window_base.h"

namespace velmora::testing {

bool HasClass(HWND window, const char* className) {
  char name[64] = {};
  ::GetClassNameA(window, name, sizeof name);
  return ::lstrcmpiA(name, className) == 0;
}

std::vector<HWND> VisibleThreadWindows(const char* className) {
  std::pair<const char*, std::vector<HWND>> search{className, {}};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<decltype(search)*>(data);
        if (HasClass(window, s->first) && ::IsWindowVisible(window))
          s->second.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}

HWND FindThreadWindow(const char* className) {
  const std::vector<HWND> found = VisibleThreadWindows(className);
  return found.empty() ? nullptr : found.front();
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

HWND FindChildByText(HWND parent, const std::string& text) {
  for (HWND child : Children(parent)) {
    if (win::WindowText(child) == text)
      return child;
  }
  return nullptr;
}

std::vector<std::string> ChildTexts(HWND window, const char* className) {
  std::vector<std::string> texts;
  for (HWND child : Children(window)) {
    if (HasClass(child, className))
      texts.push_back(win::WindowText(child));
  }
  return texts;
}

}  // namespace velmora::testing

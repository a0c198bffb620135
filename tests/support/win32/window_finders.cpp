#include "tests/support/win32/window_finders.h"

#include "windows/window_base.h"

namespace velmora::testing {

bool HasClass(HWND window, const char* className) {
  char name[64] = {};
  ::GetClassNameA(window, name, sizeof name);
  return ::lstrcmpiA(name, className) == 0;
}

std::vector<HWND> ThreadWindows(const char* className, bool visibleOnly) {
  struct Search {
    const char* className;
    bool visibleOnly;
    std::vector<HWND> found;
  } search{className, visibleOnly, {}};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        if (HasClass(window, s.className) && (!s.visibleOnly || ::IsWindowVisible(window)))
          s.found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindThreadWindow(const char* className) {
  const std::vector<HWND> found = ThreadWindows(className);
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

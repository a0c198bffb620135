#include "tests/support/win32/window_finders.h"

#include "windows/window_base.h"

namespace velmora::testing {

bool HasClass(HWND window, const char* className) {
  char name[64] = {};
  ::GetClassNameA(window, name, sizeof name);
  return ::lstrcmpiA(name, className) == 0;
}

std::vector<HWND> VisibleThreadWindows(const char* className) {
  struct Search {
    const char* className;
    std::vector<HWND> found;
  } search{className, {}};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (HasClass(window, s->className) && ::IsWindowVisible(window))
          s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindThreadWindow(const char* className) {
  struct Search {
    const char* className;
    HWND found;
  } search{className, nullptr};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (::IsWindowVisible(window) && HasClass(window, s->className)) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindChildByText(HWND parent, const std::string& text) {
  for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (win::WindowText(child) == text)
      return child;
  }
  return nullptr;
}

std::vector<std::string> ChildTexts(HWND window, const char* className) {
  std::vector<std::string> texts;
  for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (HasClass(child, className))
      texts.push_back(win::WindowText(child));
  }
  return texts;
}

}  // namespace velmora::testing

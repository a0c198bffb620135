// Test steps run from a timer of the test's own thread, one step per tick, so that they run
// inside whatever loop pumps messages at the time: a window's modal loop, a message box's.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "windows/window_base.h"

namespace velmora::testing {

class TimedSteps final : public win::BaseWindow {
 public:
  explicit TimedSteps(UINT intervalMs = 40) : interval_(intervalMs) {
    CreateBound({.className = "VelmoraTestTimedSteps", .parent = HWND_MESSAGE});
  }

  // Queues `step`; the steps run in order, one per tick.
  void Then(std::function<void()> step) {
    steps_.push_back(std::move(step));
    ::SetTimer(Hwnd(), kStepTimer, interval_, nullptr);
  }

  // Runs `rescue` once after `milliseconds` unless the test has ended by then: the way out of
  // a modal loop that the steps failed to end.
  void Deadline(UINT milliseconds, std::function<void()> rescue) {
    rescue_ = std::move(rescue);
    ::SetTimer(Hwnd(), kDeadlineTimer, milliseconds, nullptr);
  }

  bool Created() const { return Hwnd() != nullptr; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_TIMER && wParam == kStepTimer) {
      if (steps_.empty()) {
        ::KillTimer(Hwnd(), kStepTimer);
        return 0;
      }
      // Taken off the queue first: a step may open a modal loop in which the next ones run.
      std::function<void()> step = std::move(steps_.front());
      steps_.pop_front();
      step();
      return 0;
    }
    if (message == WM_TIMER && wParam == kDeadlineTimer) {
      ::KillTimer(Hwnd(), kDeadlineTimer);
      steps_.clear();
      if (rescue_)
        rescue_();
      return 0;
    }
    return BaseWindow::HandleMessage(message, wParam, lParam);
  }

 private:
  static constexpr UINT_PTR kStepTimer = 1;
  static constexpr UINT_PTR kDeadlineTimer = 2;

  UINT interval_;
  std::deque<std::function<void()>> steps_;
  std::function<void()> rescue_;
};

// The first visible top-level window of this thread whose class is `className`, or null.
inline HWND FindThreadWindow(const char* className) {
  struct Search {
    const char* className;
    HWND found;
  } search{className, nullptr};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        char name[64] = {};
        ::GetClassNameA(window, name, sizeof name);
        if (::IsWindowVisible(window) && lstrcmpiA(name, s->className) == 0) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Texts of the child windows of `window` whose class is `className` ("Static", "Button"), in
// z-order.
inline std::vector<std::string> ChildTexts(HWND window, const char* className) {
  struct Collect {
    const char* className;
    std::vector<std::string> texts;
  } collect{className, {}};
  ::EnumChildWindows(
      window,
      [](HWND child, LPARAM data) -> BOOL {
        auto* c = reinterpret_cast<Collect*>(data);
        char name[64] = {};
        ::GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, c->className) == 0)
          c->texts.push_back(win::WindowText(child));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&collect));
  return collect.texts;
}

}  // namespace velmora::testing

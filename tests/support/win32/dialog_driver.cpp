#include "tests/support/win32/dialog_driver.h"

#include <algorithm>
#include <utility>

#include "tests/support/win32/window_finders.h"

namespace velmora::testing {

SeenBox ReadMessageBox(HWND box) {
  SeenBox noted{win::WindowText(box), {}, true};
  int buttons = 0;
  // The text is the static control that has text (the icon's static has none); should there be
  // more, all of them, so that a comparison with one text fails.
  for (HWND child : Children(box)) {
    const std::string text = win::WindowText(child);
    if (HasClass(child, "Static") && !text.empty())
      noted.text += (noted.text.empty() ? "" : "\n") + text;
    if (HasClass(child, "Button") && ::IsWindowVisible(child)) {
      ++buttons;
      if (::GetDlgCtrlID(child) != IDOK)
        noted.onlyOk = false;
    }
  }
  noted.onlyOk = noted.onlyOk && buttons == 1;
  return noted;
}

void PrintTo(const SeenBox& box, std::ostream* out) {
  *out << "{\"" << box.caption << "\", \"" << box.text << "\""
       << (box.onlyOk ? ", OK alone}" : ", more buttons}");
}

DialogDriver::DialogDriver(Dialogs dialogs, UINT tickMs)
    : DialogDriver(dialogs == Dialogs::kLeftAlone ? Answer() : Answer([this](HWND box) {
                     seen.push_back(ReadMessageBox(box));
                     ::PostMessageA(box, WM_COMMAND, IDOK, 0);
                     return true;
                   }),
                   tickMs) {}

DialogDriver::DialogDriver(Answer answer, UINT tickMs, const char* windowClass)
    : answer_(std::move(answer)), windowClass_(windowClass) {
  CreateBound({.className = "VelmoraTestDialogDriver", .parent = HWND_MESSAGE});
  ::SetTimer(Hwnd(), kTickTimer, tickMs, nullptr);
}

void DialogDriver::Then(std::function<void()> step) {
  steps_.push_back(std::move(step));
}

void DialogDriver::Deadline(UINT milliseconds, std::function<void()> rescue) {
  rescue_ = std::move(rescue);
  ::SetTimer(Hwnd(), kDeadlineTimer, milliseconds, nullptr);
}

LRESULT DialogDriver::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kTickTimer) {
    AnswerOpenDialogs();
    RunNextStep();
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

void DialogDriver::AnswerOpenDialogs() {
  if (!answer_)
    return;
  for (HWND dialog : ThreadWindows(windowClass_)) {
    if (std::find(answered_.begin(), answered_.end(), dialog) == answered_.end() && answer_(dialog))
      answered_.push_back(dialog);
  }
}

void DialogDriver::RunNextStep() {
  if (steps_.empty())
    return;
  // Taken off the queue first: a step may open a modal loop in which the next ones run.
  std::function<void()> step = std::move(steps_.front());
  steps_.pop_front();
  step();
}

}  // namespace velmora::testing

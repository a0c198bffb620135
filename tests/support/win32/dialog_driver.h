// Drives what a test thread shows while it sits in a modal loop (a message box, the folder
// picker, the about window, a popup menu): a timer of the thread's own runs queued steps, one
// per tick, and answers the dialogs ("#32770", or windows of another class) that open meanwhile.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "windows/window_base.h"

namespace velmora::testing {

// Texts of what a message box showed.
struct SeenBox {
  std::string caption;
  std::string text;
  bool onlyOk = true;  // OK was its one button
  bool operator==(const SeenBox&) const = default;
};

void PrintTo(const SeenBox& box, std::ostream* out);

SeenBox ReadMessageBox(HWND box);

// Lives in a message-only window of its own, so that a modal loop never disables it.
class DialogDriver final : public win::BaseWindow {
 public:
  enum class Dialogs {
    kLeftAlone,   // the steps deal with them
    kNotedAndOk,  // each message box noted in `seen`, then OK pressed
  };
  // Called on every tick for each window not yet answered, until it returns true: a dialog may
  // need a tick to settle before it is answered.
  using Answer = std::function<bool(HWND dialog)>;

  explicit DialogDriver(Dialogs dialogs = Dialogs::kNotedAndOk, UINT tickMs = 30);
  // `answer` for the visible top-level windows of class `windowClass` this thread shows.
  explicit DialogDriver(Answer answer, UINT tickMs = 30, const char* windowClass = "#32770");

  // Queues `step`; the steps run in order, one per tick, after the dialogs are answered.
  void Then(std::function<void()> step);

  // Runs `rescue` once after `milliseconds` unless the driver has gone by then: the way out of
  // a modal loop that the steps failed to end.
  void Deadline(UINT milliseconds, std::function<void()> rescue);

  bool Created() const { return Hwnd() != nullptr; }

  std::vector<SeenBox> seen;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  static constexpr UINT_PTR kTickTimer = 1;
  static constexpr UINT_PTR kDeadlineTimer = 2;

  void AnswerOpenDialogs();
  void RunNextStep();

  Answer answer_;
  const char* windowClass_;
  std::vector<HWND> answered_;
  std::deque<std::function<void()>> steps_;
  std::function<void()> rescue_;
};

}  // namespace velmora::testing

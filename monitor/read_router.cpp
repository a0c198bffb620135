#include "monitor/read_router.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <utility>
#include <vector>

namespace velmora {

ReadRouter::ReadRouter(LocationTable& table,
                       std::shared_ptr<FileSystem> fs,
                       std::function<void()> answersWaiting,
                       ShowFigures showFigures,
                       ReaderLimits limits)
    : table_(table),
      showFigures_(std::move(showFigures)),
      reader_(std::move(fs), std::move(answersWaiting), std::move(limits)) {}

void ReadRouter::BeginPass(const PassClock& clock, std::chrono::milliseconds interval) {
  // Idle threads outlive an interval, so that each pass does not start them anew.
  reader_.SetIdleExit(std::max<std::chrono::milliseconds>(ReaderLimits{}.idleExit, 2 * interval));
  std::exception_ptr failure;
  try {
    TakeAnswers();
  } catch (...) {
    failure = std::current_exception();  // the pass still runs
  }
  Send(table_.BeginPass(clock, interval).reads);
  if (failure)
    std::rethrow_exception(failure);
}

bool ReadRouter::RequestFigures(FigureSlot slot,
                                const std::optional<SelectedRow>& selected,
                                Clock::time_point now) {
  FigureStep step = figures_.Request(slot, selected, now);
  if (step.showNow)
    Show({ShownFigures{slot, *step.showNow}});
  if (!step.read)
    return false;
  Send({std::move(*step.read)});
  return true;
}

void ReadRouter::Send(std::vector<ReadRequest> reads) {
  if (!held_) {
    reader_.Submit(std::move(reads));
    return;
  }
  heldReads_.insert(heldReads_.end(), std::make_move_iterator(reads.begin()), std::make_move_iterator(reads.end()));
}

void ReadRouter::Release() {
  held_ = false;
  reader_.Submit(std::exchange(heldReads_, {}));
}

void ReadRouter::TakeAnswers() {
  std::vector<ShownFigures> shown;
  std::exception_ptr failure;
  for (const ReadAnswer& answer : reader_.TakeAnswers()) {
    // Every answer is taken in, whatever one of them throws: an answer left out would keep its
    // row counted as read out, and unread, for good.
    try {
      if (answer.kind == ReadKind::kRow) {
        table_.ApplyAnswer(answer);
      } else {
        std::vector<ShownFigures> accepted = figures_.Accept(answer);
        std::move(accepted.begin(), accepted.end(), std::back_inserter(shown));
      }
    } catch (...) {
      if (!failure)
        failure = std::current_exception();
    }
  }
  if (failure)
    std::rethrow_exception(failure);
  Show(shown);
}

void ReadRouter::Settle(Clock::time_point now, std::chrono::milliseconds settle) {
  table_.Settle();
  Show(figures_.Overdue(now, settle));
}

bool ReadRouter::Settled() const {
  return !table_.PassOpen() && table_.ReadsOutstanding() == 0 && figures_.ReadsOutstanding() == 0;
}

void ReadRouter::Show(const std::vector<ShownFigures>& shown) const {
  if (!showFigures_)
    return;
  for (const ShownFigures& figures : shown)
    showFigures_(figures);
}

}  // namespace velmora

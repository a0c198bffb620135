// What the GUI benchmarks see of one refresh pass of the monitor window, now that its folder
// reads run on reading threads: the time the window's own thread spends on the pass (handing out
// the reads in RefreshLocations, then taking the answers in kAnswersWaiting and showing what is
// late in the settle timer), the time from the hand-out until every read has answered and been
// shown, and what all the pass's updates of the table changed together.
//
// A pass may reach the table in more than one update (what answered within the settle time, then
// each late answer), and LastRefresh() holds only the latest: the watch gathers every update. Two
// updates in a row may be equal (two passes that changed the same rows), so an update is also
// recognised by the list view's LVM_GETTOPINDEX that each update with changed rows sends to
// place its repaint requests.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <vector>

#include "bench/bench_checks.h"
#include "bench/subclass.h"
#include "monitor/location_table.h"
#include "monitor/win32/main_window.h"
#include "tests/gui/wait_for_reads.h"

namespace velmora::bench {

// The repaint requests a pass over `rows` must send: one per run of consecutive changed rows
// among those the table shows (the row cut off at the bottom included).
inline std::uint64_t ExpectedRepaints(const TfrmMain& window, const std::vector<std::size_t>& rows) {
  HWND table = window.Controls().lvMain;
  const auto top = static_cast<std::size_t>(::SendMessageA(table, LVM_GETTOPINDEX, 0, 0));
  const auto last = top + static_cast<std::size_t>(::SendMessageA(table, LVM_GETCOUNTPERPAGE, 0, 0));
  std::uint64_t runs = 0;
  std::size_t previous = 0;
  bool any = false;
  for (std::size_t row : rows) {
    if (row < top || row > last)
      continue;
    if (!any || row != previous + 1)
      ++runs;
    any = true;
    previous = row;
  }
  return runs;
}

struct PassFigures {
  double handOutMs = 0;       // RefreshLocations on the window's thread
  double answersMs = 0;       // handling kAnswersWaiting and the settle timer on the window's thread
  int answerMessages = 0;     // kAnswersWaiting and settle-timer messages handled
  double toLastResultMs = 0;  // RefreshLocations called .. ReadsSettled()
  bool settled = false;
  std::vector<std::size_t> changedRows;  // every update of the pass together, ascending
  bool countersChanged = false;
  int updates = 0;  // updates of the table that changed LastRefresh()
  // Row repaint requests the updates must have sent: for each, one per run of consecutive
  // changed rows on screen (the row cut off at the bottom included).
  std::uint64_t expectedRedraws = 0;

  double WindowThreadMs() const { return handOutMs + answersMs; }
};

// Subclasses the window and lvMain while `this` lives.
class PassWatch {
 public:
  explicit PassWatch(TfrmMain& window)
      : window_(window),
        windowSubclass_(window.Hwnd(),
                        [this](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
                          return Answer(hwnd, message, wParam, lParam);
                        }),
        tableSubclass_(window.Controls().lvMain,
                       [this](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
                         topIndexQueries_ += message == LVM_GETTOPINDEX;
                         return ::DefSubclassProc(hwnd, message, wParam, lParam);
                       }) {}

  bool Attached() const { return windowSubclass_.Attached() && tableSubclass_.Attached(); }

  // One pass as "Update all now" starts it, with the thread's messages delivered (paints left
  // pending) until every read has answered and been shown, or until `done` holds when given (a
  // pass beside folders that never answer is never settled).
  PassFigures Run(DWORD limit = 60000, std::function<bool()> done = {}) {
    figures_ = PassFigures{};
    changed_.clear();
    done_ = done ? std::move(done) : [this] { return window_.ReadsSettled(); };
    const double start = NowMs();
    settledAt_ = 0;
    Observe([this] { window_.RefreshLocations(); }, figures_.handOutMs);
    if (done_())
      settledAt_ = NowMs();
    figures_.settled = testing::PumpUntil(done_, limit);
    figures_.toLastResultMs = (settledAt_ > 0 ? settledAt_ : NowMs()) - start;
    figures_.changedRows.assign(changed_.begin(), changed_.end());
    return figures_;
  }

 private:
  LRESULT Answer(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool answers =
        message == TfrmMain::kAnswersWaiting || (message == WM_TIMER && wParam == TfrmMain::kSettleTimerId);
    if (!answers)
      return ::DefSubclassProc(hwnd, message, wParam, lParam);
    LRESULT result = 0;
    Observe([&] { result = ::DefSubclassProc(hwnd, message, wParam, lParam); }, figures_.answersMs);
    ++figures_.answerMessages;
    if (settledAt_ == 0 && done_ && done_())
      settledAt_ = NowMs();
    return result;
  }

  // Runs `step` on the window's thread, adds its time to `spent`, and gathers the update of the
  // table it made, if any.
  template <typename Step>
  void Observe(Step step, double& spent) {
    const RefreshOutcome before = window_.LastRefresh();
    const int queriesBefore = topIndexQueries_;
    spent += TimeMs(step);
    const RefreshOutcome& after = window_.LastRefresh();
    const bool rowsShown = topIndexQueries_ != queriesBefore;
    if (!rowsShown && after.ran == before.ran && after.changedRows == before.changedRows &&
        after.countersChanged == before.countersChanged) {
      return;  // nothing shown, or an update without changed rows equal to the last
    }
    ++figures_.updates;
    changed_.insert(after.changedRows.begin(), after.changedRows.end());
    figures_.countersChanged = figures_.countersChanged || after.countersChanged;
    figures_.expectedRedraws += ExpectedRepaints(window_, after.changedRows);
  }

  TfrmMain& window_;
  PassFigures figures_;
  std::set<std::size_t> changed_;
  std::function<bool()> done_;
  double settledAt_ = 0;
  int topIndexQueries_ = 0;
  Subclass windowSubclass_;  // last: attached after, and detached before, the members they use
  Subclass tableSubclass_;
};

}  // namespace velmora::bench

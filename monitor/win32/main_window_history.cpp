// The monitor window's side of the history: each pass's readings go to the history thread, its
// news comes back (units kept, notices for the user), and the History command opens its window.
#include <algorithm>
#include <condition_variable>
#include <ctime>
#include <mutex>

#include "monitor/win32/error_box.h"
#include "monitor/win32/history_place.h"
#include "monitor/win32/main_window.h"

namespace velmora {

void TfrmMain::StartHistory() {
  if (services_.historyFile.empty() || history_)
    return;
  HWND hwnd = Hwnd();
  historyNews_ =
      std::make_shared<HistoryMailbox<HistoryNews>>([hwnd] { ::PostMessageA(hwnd, kHistoryNews, 0, 0); });
  history_ = std::make_unique<HistoryThread>(HistoryPlaceOf(services_.historyFile));
  doneSent_ = std::make_shared<std::optional<std::vector<std::pair<std::string, std::int64_t>>>>();
  table_.KeepSightings(true);
}

void TfrmMain::HandOverSightings() {
  if (!history_)
    return;
  std::vector<UnitSighting> looks = table_.TakeSightings();
  if (looks.empty())
    return;
  // The window's part ends here: the looks are moved, never copied, and everything else happens
  // on the history thread.
  history_->Post(
      [looks = std::move(looks), news = historyNews_, sent = doneSent_](HistoryKeeper& keeper) mutable {
        const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
        const auto steadyNow = std::chrono::steady_clock::now();
        for (UnitSighting& look : looks)
          look.seenAt = now;
        HistoryNews told;
        told.added = keeper.Pass(looks, steadyNow).size();
        told.notices = keeper.TakeNotices();
        // Units leave the last 24 hours as time passes, so the counts are taken at every pass.
        if (HistoryStore* store = keeper.Store(steadyNow)) {
          std::vector<std::pair<std::string, std::int64_t>> done = store->FinishedSince(now - 86400);
          std::sort(done.begin(), done.end());
          if (!*sent || done != **sent) {
            *sent = done;
            told.doneCounts = std::move(done);
          }
        }
        if (told.added > 0 || !told.notices.empty() || told.doneCounts)
          news->Put(std::move(told));
      });
}

void TfrmMain::TakeHistoryNews() {
  if (!historyNews_)
    return;
  bool added = false;
  std::vector<std::string> notices;
  for (HistoryNews& news : historyNews_->Take()) {
    added = added || news.added > 0;
    notices.insert(notices.end(), news.notices.begin(), news.notices.end());
    if (news.doneCounts)
      table_.SetDoneCounts(*news.doneCounts);
  }
  ShowTableChanges();
  if (added && historyWindow_)
    historyWindow_->UnitsAdded();
  for (const std::string& notice : notices)
    ::MessageBoxA(Hwnd(), notice.c_str(), "Velmora", MB_OK | MB_ICONWARNING);
}

void TfrmMain::EndHistory() {
  HandOverSightings();
  // Kept for the settings, which are saved after this.
  historyBounds_ = HistoryPlacement();
  historyWindow_.reset();
  if (historyNews_)
    historyNews_->Close();
  // Runs what is queued, the last pass included, before the thread ends.
  history_.reset();
}

WindowBounds TfrmMain::HistoryPlacement() const {
  if (!historyWindow_)
    return historyBounds_;
  const HistoryBounds shown = historyWindow_->Bounds();
  return {shown.width, shown.height, shown.top, shown.left};
}

void TfrmMain::WaitForHistory() {
  if (!history_)
    return;
  std::mutex mutex;
  std::condition_variable wake;
  bool done = false;
  history_->Post([&](HistoryKeeper&) {
    std::lock_guard<std::mutex> lock(mutex);
    done = true;
    wake.notify_one();
  });
  std::unique_lock<std::mutex> lock(mutex);
  wake.wait(lock, [&] { return done; });
}

void TfrmMain::acHistoryExecute() {
  if (!historyWindow_) {
    historyWindow_ = std::make_unique<TfrmHistory>(Hwnd(), history_.get());
    historyWindow_->SetBounds(
        {historyBounds_.left, historyBounds_.top, historyBounds_.width, historyBounds_.height});
  }
  historyWindow_->ShowAndActivate();
}

}  // namespace velmora

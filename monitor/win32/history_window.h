// The "Location history" window: a location chooser ("All locations", then each location), a
// chart of the units finished per day over the last 30 days, a summary line, and the finished
// units newest first. It asks the history thread for everything and shows the answers as they
// come: the list is an owner-data list view that holds only the pages on screen, so a history
// of a million units costs it no more than an empty one. Owned by the monitor window; its
// Close button, Esc and the close box hide it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "monitor/history_store.h"
#include "monitor/history_thread.h"
#include "monitor/win32/history_chart.h"
#include "windows/handles.h"
#include "windows/list_view.h"
#include "windows/window_base.h"

namespace velmora {

enum HistoryControl : int {
  kHistoryLblLocation = 200,
  kHistoryCboLocation,
  kHistoryChart,
  kHistoryLblSummary,
  kHistoryLvUnits,
  kHistoryBtnCopy,
  kHistoryBtnSave,
  kHistoryBtnClose,
};

// What the history thread answers the window.
struct HistoryAnswer {
  enum class Kind { kOverview, kPage, kCopy, kSaved };
  Kind kind = Kind::kOverview;
  std::uint64_t generation = 0;
  bool paused = false;  // the database could not be read
  // kOverview
  std::vector<HistoryLocation> locations;
  std::int64_t total = 0;
  std::vector<std::int64_t> dayStarts;
  std::vector<std::int64_t> dayCounts;
  std::int64_t lastDay = 0;
  std::int64_t lastWeek = 0;
  // kOverview (the first page) and kPage
  std::int64_t first = 0;
  std::vector<HistoryRow> rows;
  // kCopy: the text; kSaved: the file, and whether it was written
  std::string text;
  bool written = false;
};

struct HistoryBounds {
  int left = 0, top = 0, width = 0, height = 0;  // pixels; width 0: not placed yet
};

class TfrmHistory final : public win::BaseWindow {
 public:
  static constexpr UINT kAnswersWaiting = WM_APP + 20;
  static constexpr std::int64_t kPageRows = 100;

  // Created hidden, owned by `owner`; `thread` may be null (no history kept): it shows nothing.
  // Throws std::runtime_error when the window cannot be created.
  TfrmHistory(HWND owner, HistoryThread* thread);
  ~TfrmHistory() override;

  // Shows and activates the window with "All locations" chosen, asking for what it shows.
  void ShowAndActivate();
  // New units were kept: an open window shows them.
  void UnitsAdded();
  bool PreTranslateMessage(MSG& message);

  void SetBounds(const HistoryBounds& bounds);
  HistoryBounds Bounds() const;

  // What it shows, for the tests and the bench.
  std::uint64_t ShownGeneration() const { return shownGeneration_; }
  std::uint64_t AskedGeneration() const { return generation_; }
  const THistoryChart& Chart() const { return *chart_; }
  std::string CellText(int item, int column);

  // Event handlers.
  void cboLocationChange();
  void btnCopyClick();
  void btnSaveClick();
  void btnCloseClick();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void ReportFailure(const char* what) override;

 private:
  void CreateControls();
  void ApplyDpi(int dpi);
  void LayoutControls();
  // Asks for the chosen location's chart, summary, count and first page.
  void Refresh();
  void AskPage(std::int64_t page);
  void TakeAnswers();
  void ShowOverview(HistoryAnswer& answer);
  // The chooser's list: "All locations", then each location; made when first wanted.
  void FillChooser();
  void KeepPage(std::int64_t first, std::vector<HistoryRow> rows);
  const HistoryRow* RowAt(std::int64_t item);
  LRESULT HandleListNotify(NMHDR* header);
  void Ask(std::function<void(HistoryKeeper&, HistoryAnswer&)> work, HistoryAnswer::Kind kind);

  HistoryThread* thread_;
  std::shared_ptr<HistoryMailbox<HistoryAnswer>> mailbox_;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  win::FontHandle font_;
  std::unique_ptr<THistoryChart> chart_;
  win::ListView lvUnits_;
  HWND cboLocation_ = nullptr;

  std::uint64_t generation_ = 0;       // of the last overview asked for
  std::uint64_t shownGeneration_ = 0;  // of the one shown
  std::int64_t location_ = kAllLocations;
  std::vector<HistoryLocation> locations_;
  bool chooserFilled_ = false;
  std::map<std::int64_t, std::vector<HistoryRow>> pages_;  // by first item
  std::set<std::int64_t> pagesAsked_;
  std::string cellText_;
  // Where it was when its window went (the monitor window's owned windows go before it saves).
  HistoryBounds lastBounds_;
};

}  // namespace velmora

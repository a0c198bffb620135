// The monitor window: toolbar with the interval settings, the location table, the statistics
// panel and the status bar, the refresh timer, and the commands. It mirrors the window-free
// LocationTable into its list view and gives and takes the stored settings as one value.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "monitor/figure_requests.h"
#include "monitor/history_thread.h"
#include "monitor/location_table.h"
#include "monitor/read_router.h"
#include "monitor/settings.h"
#include "monitor/table_text.h"
#include "monitor/win32/history_window.h"
#include "windows/check_box.h"
#include "windows/edit.h"
#include "windows/group_box.h"
#include "windows/handles.h"
#include "windows/images_ahead.h"
#include "windows/list_view.h"
#include "windows/notify_icon.h"
#include "windows/panel.h"
#include "windows/panel_hints.h"
#include "windows/shell_open.h"
#include "windows/static.h"
#include "windows/status_bar.h"
#include "windows/toolbar.h"
#include "windows/up_down.h"
#include "windows/version_view.h"
#include "windows/window_base.h"

namespace velmora {

class FileSystem;
class SettingsStore;

struct MainWindowServices {
  // Shared with the reading threads: a thread blocked on a folder may outlive the window.
  std::shared_ptr<FileSystem> fs;
  SettingsStore& settings;
  win::ShellOpener& shell;
  HWND owner = nullptr;  // the application's hidden window; null in tests
  std::string appDir;    // empty: the folder of the running executable
  // When a pass begins; empty: the system's clocks. Tests give a clock of their own.
  std::function<PassClock()> clock = {};
  // The notification area; null: the shell's.
  win::TrayShell* tray = nullptr;
  // The program's start: what the window does not need in order to show waits. The reads of
  // start-up go out once it has first painted (or its messages first run), not while it is
  // being built: thousands of them would compete with it for the processor. The notification
  // area's icon, a call into another process, comes once its messages run. Tests that look at
  // the reads or the icon right after Create leave this off.
  bool deferUntilShown = false;
  // The history database; empty: no history is kept (tests that do not look at it).
  std::string historyFile = {};
};

// What the history thread tells the monitor window after a pass.
struct HistoryNews {
  std::size_t added = 0;  // units newly kept
  std::vector<std::string> notices;
  // The units each location finished in the last 24 hours, when they changed.
  std::optional<std::vector<std::pair<std::string, std::int64_t>>> doneCounts;
};

// The controls of the window, by their names in the program. Children are owned by their parent
// windows and destroyed with them.
struct MainControls {
  win::Toolbar tlbMain;
  win::Panel pnlSettings;
  win::Static lblPollItv;
  win::Edit fldPollItv;
  win::UpDown spnPollItv;
  win::CheckBox chkActive;
  win::Panel pnlMain;
  win::ListView lvMain;
  win::Static bvlStats;
  win::Panel pnlStats;
  win::GroupBox frmUserStats;
  win::Static lblUserTotUnits;
  win::Static lblUserTotCPU;
  win::Static lblUserAvgCPU;
  win::GroupBox frmUnitStats;
  win::Static lblProgress;
  win::Static lblTimeTotal;
  win::Static lblTimeLeft;
  win::StatusBar sttBar;
};

class TfrmMain final : public win::BaseWindow {
 public:
  static constexpr UINT_PTR kMainTimerId = 1;
  // A pass (or a figures request) has waited for its folders long enough: show what answered.
  static constexpr UINT_PTR kSettleTimerId = 2;
  static constexpr UINT kSettleMilliseconds = 300;
  // Posted by a reading thread: answers are waiting.
  static constexpr UINT kAnswersWaiting = WM_APP + 1;
  // The notification-area icon's messages.
  static constexpr UINT kTrayCallback = WM_APP + 2;
  // Posted by Create: what start-up deferred follows (see MainWindowServices::deferUntilShown).
  static constexpr UINT kStartDeferred = WM_APP + 3;
  static constexpr UINT kTrayIconId = 1;
  // An icon the shell refused (no taskbar yet, at logon) is tried again this often until it is there.
  static constexpr UINT_PTR kTrayRetryTimerId = 3;
  static constexpr UINT kTrayRetryMilliseconds = 2000;
  // Posted by the history thread: news of a pass is waiting.
  static constexpr UINT kHistoryNews = WM_APP + 4;

  explicit TfrmMain(MainWindowServices services);
  ~TfrmMain() override;

  // Creates the window hidden with all its controls, then runs FormCreate.
  bool Create();
  // Shows the window (maximized when the settings say so); the table gets the keyboard focus.
  void Show(int showCommand);
  // The window's shortcuts and Tab moving between its controls. True when `message` was used.
  bool PreTranslateMessage(MSG& message);

  // Set by the program entry; nothing happens while unset.
  std::function<void()> onMoreInfo;
  std::function<void()> onAbout;
  std::function<void()> onDestroyed;  // the window is gone: end the event loop
  // The details window's figures for the row selected when it asked (RequestDetailsFigures).
  std::function<void(const SelectedFigures&)> onDetailsFigures;

  // Event handlers.
  void FormCreate(SettingsStore& settingsStore);
  void FormActivate();
  void FormDestroy();
  void tmrMainTimer();
  void fldPollItvChange();
  void chkActiveClick();
  void lvMainClick();
  void SyncViewMenu();
  void ShowSelectedStats();
  void RefreshLocations();
  // The details window was activated: its figures follow through onDetailsFigures.
  void RequestDetailsFigures();

  // Commands.
  void acExitExecute();
  void acViewToolbarExecute();
  void acViewStatsExecute();
  void acViewSttBarExecute();
  void acViewAllExecute();
  void acViewNoneExecute();
  void acAddLocationExecute();
  void acRemoveLocationExecute();
  void acRefreshExecute();
  void acMoreInfoExecute();
  void acHelpExecute();
  void acAboutExecute();
  void acViewTrayIconExecute();
  void acAlertStallsExecute();
  void acAlertResultsExecute();
  void acViewStateColumnExecute();
  void acViewFinishColumnExecute();
  void acCopyTableExecute();
  void acHistoryExecute();
  void acViewDoneColumnExecute();

  // The caption of the selected row, if any.
  std::optional<std::string> SelectedPath() const;
  // Every read handed out has answered and no pass waits to be shown.
  bool ReadsSettled() const;
  std::size_t ReadingThreads() const;
  const LocationTable& Table() const { return table_; }
  const MainControls& Controls() const { return ctl_; }
  HMENU Menu() const { return menu_.Get(); }
  HACCEL Accelerators() const { return accelerators_.Get(); }
  // The notification-area icon's menu as it opens now.
  win::MenuHandle TrayMenu() const;

  // The refresh timer as the window last set it.
  UINT TimerInterval() const { return timerInterval_; }
  bool TimerEnabled() const { return timerEnabled_; }
  // What the last update of the table changed.
  const RefreshOutcome& LastRefresh() const { return lastRefresh_; }

  // The settings as they would be stored now, and applying loaded ones (once, at creation: the
  // locations are added to the table).
  StoredSettings CurrentSettings() const;
  void ApplySettings(const StoredSettings& settings);
  // The settings one by one.
  std::string AppDir() const { return appDir_; }
  void SetBarVisible(Bar bar, bool visible);
  bool BarVisible(Bar bar) const;
  ShowState CurrentShowState() const;
  WindowBounds CurrentBounds() const;  // outer bounds in the normal state
  int ColumnCount() const;             // the six that are always shown
  int ColumnWidth(int column) const;
  void SetColumnWidth(int column, int width);
  int PollInterval() const;
  void SetAlertOptions(const AlertOptions& options);
  void SetOptionalColumns(const OptionalColumns& columns);
  // The history window's outer bounds: as stored until it is first opened.
  WindowBounds HistoryPlacement() const;
  // The history window once opened; null before.
  TfrmHistory* HistoryWindow() const { return historyWindow_.get(); }
  // Every pass handed to the history has been written (for tests: waits on the history thread).
  void WaitForHistory();
  // Dots per inch the window is drawn at.
  int Dpi() const { return dpi_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void ReportFailure(const char* what) override;

 private:
  // main_window_layout.cpp
  bool CreateControls();
  void SetStateImages();
  void CreateToolbar();
  void FillToolbar();
  void CreateSettingsPanel();
  void CreateStatsPanel();
  void CreateStatusBar();
  void SetStatusParts();
  // Scales fonts, images and every laid-out control to `dpi` (the window moved to a screen of
  // another dpi); column widths keep their proportion.
  void ApplyDpi(int dpi);
  void LayoutControls();
  void StartImagesAhead();
  void PlaceSettingsPanel();
  // main_window_commands.cpp
  void BuildMenu();
  // The items' pictures at dpi_ (again after a dpi change).
  void SetMenuImages();
  void BuildAccelerators();
  bool ExecuteCommand(UINT id);
  bool HandleTabKey(const MSG& message);
  bool FillToolTip(NMHDR* header);
  // main_window_table.cpp
  void CreateColumns();
  void InsertColumn(int index, TableColumn column, int width);
  // The list view's index of an optional column's width slot; -1 while it is hidden.
  int ShownIndexOfSlot(int slot) const;
  std::optional<std::size_t> InsertLocation(const std::string& path, bool enabled);
  // The rows of the stored locations, sorted once.
  void AddLocations(const std::vector<StoredLocation>& locations);
  // The list view gets every row of the table anew.
  void ShowAllRows();
  void DeleteLocation(std::size_t index);
  LRESULT HandleTableNotify(NMHDR* header);
  LRESULT DrawTableRow(NMLVCUSTOMDRAW* draw) const;
  void FillInfoTip(NMLVGETINFOTIPA* tip) const;
  std::optional<SelectedRow> SelectedLocation() const;
  void RequestFigures(FigureSlot slot);
  void ShowFigures(FigureSlot slot, const SelectedFigures& figures);
  void ShowStatsFigures(const SelectedFigures& figures);
  void TakeAnswers();
  void SettleReads();
  void ShowTableChanges();
  void WriteStatusPanel(int part, const std::string& text);
  // main_window_settings.cpp
  template <typename Change>
  void ChangeNormalBounds(Change change);
  // main_window_tray.cpp
  void SyncTrayIcon();
  void UpdateTray();
  void HandleTrayEvent(WPARAM wParam, LPARAM lParam);
  void ShowFromTray();
  void OpenTrayMenu(POINT at);
  // Adds the wanted icon anew at the notification area's dpi, or arms the retry timer.
  void AddTrayIcon();
  // The notices that waited for the icon, gathered into one.
  void ShowWaitingAlerts();
  // A click on the notice: the window, with the row the notice named selected.
  void ShowNoticeRow();
  // main_window_history.cpp
  void StartHistory();
  // The readings the last pass showed go to the history thread.
  void HandOverSightings();
  void TakeHistoryNews();
  // The last pass is written and the history's thread and window end.
  void EndHistory();
  // main_window.cpp
  void StartTimer();
  void StopTimer();
  void ArmSettleTimer();
  // Start-up held the reads back until the window has painted: they go out now.
  void StartHeldReads();
  void SetTimerInterval(UINT milliseconds);
  void SaveSettingsOnce();
  std::string VersionText();

  MainWindowServices services_;
  LocationTable table_;
  std::string appDir_;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;

  win::FontHandle font_;
  win::ImageListHandle stateImages_;
  win::ImageListHandle buttonImages_;
  std::optional<win::ImagesAhead> imagesAhead_;  // during start-up only
  std::vector<win::BitmapHandle> menuImages_;    // shown by menu_'s items: declared first, freed last
  win::MenuHandle menu_;
  win::AccelHandle accelerators_;

  MainControls ctl_;
  win::PanelHints sttBarHints_;
  win::TVersionView lblVsn_;  // hidden: the title's version text

  std::array<bool, 3> barVisible_{true, true, true};
  bool showMaximized_ = false;
  bool everShown_ = false;
  HWND lastFocus_ = nullptr;

  UINT timerInterval_ = kDefaultPollInterval * 1000u;
  bool timerEnabled_ = false;
  bool timerOffForRun_ = false;  // the settings failed to load: no timer until exit
  bool settingsSaved_ = false;
  bool loadingSettings_ = false;  // bounds come from the settings as stored, in pixels
  bool layoutHeld_ = false;       // one layout at the end of applying the settings, not one per step
  bool syncingRows_ = false;      // the window itself is changing check boxes
  // See MainWindowServices::deferUntilShown.
  bool trayHeld_ = false;
  bool settleHeld_ = false;

  // The list view's columns from left to right, and the widths of the two optional ones, in
  // pixels, kept while they are hidden.
  OptionalColumns optionalColumns_;
  std::vector<TableColumn> shownColumns_;
  std::array<int, std::size(kOptionalSlots)> optionalWidths_{};

  RefreshOutcome lastRefresh_;
  std::array<std::string, 4> statusTexts_;
  AlertOptions alertOptions_;
  std::unique_ptr<win::NotifyIcon> trayIcon_;
  std::string trayTip_;
  UINT taskbarCreated_ = 0;
  StallTransitions trayAlertsWaiting_;      // news for a notice while the icon is not there
  std::optional<std::uint64_t> noticeRow_;  // the row the last notice named
  bool trayMenuOpen_ = false;
  // The history thread before its window, which posts to it.
  std::unique_ptr<HistoryThread> history_;
  std::shared_ptr<HistoryMailbox<HistoryNews>> historyNews_;
  // The Done counts last sent; the history thread's alone.
  std::shared_ptr<std::optional<std::vector<std::pair<std::string, std::int64_t>>>> doneSent_;
  std::unique_ptr<TfrmHistory> historyWindow_;
  WindowBounds historyBounds_;
  // Last: destroyed first, so that no answer arrives for a half-destroyed window.
  std::unique_ptr<ReadRouter> reads_;
};

}  // namespace velmora

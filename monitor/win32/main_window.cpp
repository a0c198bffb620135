// The monitor window's life: creation and start-up, activation, the refresh timer and the end
// of the run.
#include "monitor/win32/main_window.h"

#include <commctrl.h>

#include <iterator>
#include <utility>

#include "core/char_sizes.h"
#include "core/text.h"
#include "monitor/settings_prefetch.h"
#include "monitor/settings_store.h"
#include "monitor/win32/error_box.h"
#include "windows/colour_change.h"
#include "windows/layout_table.h"
#include "windows/ui_font.h"

namespace velmora {

namespace {

constexpr char kWindowClass[] = "TfrmMain";
constexpr int kInitialWidth = 505;
constexpr int kInitialHeight = 422;
constexpr char kTitlePrefix[] = "Velmora v.";

int CompareCaptions(const char* a, const char* b) {
  return ::lstrcmpA(a, b);
}

// What lstrcmpA compares: the sort key in the thread's locale. A batch of thousands of stored
// locations is sorted by these, with one lstrcmpA a row to confirm.
std::string CaptionSortKey(const char* caption) {
  const LCID locale = ::GetThreadLocale();
  char key[512];
  const int size = ::LCMapStringA(locale, LCMAP_SORTKEY, caption, -1, key, sizeof key);
  if (size > 0)
    return std::string(key, static_cast<std::size_t>(size));
  const int needed = ::LCMapStringA(locale, LCMAP_SORTKEY, caption, -1, nullptr, 0);
  if (needed <= 0)
    return std::string();
  std::string longKey(static_cast<std::size_t>(needed), '\0');
  ::LCMapStringA(locale, LCMAP_SORTKEY, caption, -1, longKey.data(), needed);
  return longKey;
}

std::string ExecutableFolder() {
  // Under UTF-8 a path of MAX_PATH characters may take three times as many bytes.
  std::string folder(3 * MAX_PATH, '\0');
  folder.resize(::GetModuleFileNameA(nullptr, folder.data(), static_cast<DWORD>(folder.size())));
  const std::size_t slash = FindLastCharOf(folder, "\\", CharSizes::InForce());
  return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

}  // namespace

TfrmMain::TfrmMain(MainWindowServices services)
    : services_(std::move(services)), table_(&CompareCaptions, &CaptionSortKey) {}

TfrmMain::~TfrmMain() {
  // Destroy the window while this object is still whole: WM_DESTROY saves the settings and
  // the controls report their state.
  if (Hwnd())
    ::DestroyWindow(Hwnd());
}

bool TfrmMain::Create() {
  dpi_ = win::ScreenDpi();
  appDir_ = services_.appDir.empty() ? ExecutableFolder() : services_.appDir;
  if (!appDir_.empty())
    appDir_ = JoinPath(appDir_, "");
  SettingsPrefetch settings(services_.settings, dpi_, appDir_);
  StartImagesAhead();
  WNDCLASSEXA wc{};
  wc.style = CS_DBLCLKS;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  if (!CreateBound({.className = kWindowClass,
                    .wc = wc,
                    .exStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT,
                    .title = "Velmora",
                    .style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                    .x = CW_USEDEFAULT,
                    .y = CW_USEDEFAULT,
                    .width = win::ScaleToDpi(kInitialWidth, dpi_),
                    .height = win::ScaleToDpi(kInitialHeight, dpi_),
                    .parent = services_.owner})) {
    return false;
  }
  HWND hwnd = Hwnd();
  taskbarCreated_ = win::TaskbarCreatedMessage();
  reads_ = std::make_unique<ReadRouter>(
      table_, services_.fs, [hwnd] { ::PostMessageA(hwnd, kAnswersWaiting, 0, 0); },
      [this](const ShownFigures& shown) { ShowFigures(shown.slot, shown.figures); });
  if (services_.deferUntilShown)
    reads_->Hold();
  trayHeld_ = services_.deferUntilShown;
  FormCreate(settings.Ready());
  imagesAhead_.reset();
  if (services_.deferUntilShown)
    ::PostMessageA(hwnd, kStartDeferred, 0, 0);
  return true;
}

void TfrmMain::Show(int showCommand) {
  if (showMaximized_ &&
      (showCommand == SW_SHOWNORMAL || showCommand == SW_SHOW || showCommand == SW_SHOWDEFAULT)) {
    showCommand = SW_SHOWMAXIMIZED;
  }
  everShown_ = true;
  ::ShowWindow(Hwnd(), showCommand);
  ::UpdateWindow(Hwnd());
  StartHeldReads();
  ::SetFocus(ctl_.lvMain);
}

void TfrmMain::FormCreate(SettingsStore& settingsStore) {
  CreateColumns();
  StoredSettings settings = CurrentSettings();
  std::optional<std::string> loadFailure;
  try {
    LoadSettings(settingsStore, dpi_, appDir_, settings);
  } catch (const SettingsError& failure) {
    loadFailure = failure.what();
  }
  ApplySettings(settings);
  if (loadFailure) {
    // What was not read keeps its built-in value; without a complete start the window never
    // refreshes on its own ("Update all now" still works).
    timerOffForRun_ = true;
    ShowErrorBox(Hwnd(), *loadFailure);
    if (!trayHeld_)
      SyncTrayIcon();
    return;
  }
  if (!trayHeld_)
    SyncTrayIcon();
  StartHistory();
  SetTimerInterval(static_cast<UINT>(ctl_.spnPollItv.Position()) * 1000u);
  tmrMainTimer();
}

void TfrmMain::FormActivate() {
  ::SetWindowTextA(Hwnd(), (kTitlePrefix + VersionText()).c_str());
  SyncViewMenu();
  ShowSelectedStats();
}

void TfrmMain::FormDestroy() {
  SaveSettingsOnce();
}

void TfrmMain::SaveSettingsOnce() {
  if (settingsSaved_)
    return;
  settingsSaved_ = true;
  try {
    SaveSettings(services_.settings, CurrentSettings());
  } catch (const SettingsError& failure) {
    ShowErrorBox(Hwnd(), failure.what());
  }
}

void TfrmMain::tmrMainTimer() {
  StopTimer();
  // However the pass ends, the window keeps polling.
  struct Restart {
    TfrmMain& window;
    ~Restart() { window.StartTimer(); }
  } restart{*this};
  RefreshLocations();
  if (BarVisible(Bar::kStatusBar))
    ShowSelectedStats();
}

void TfrmMain::fldPollItvChange() {
  if (!ctl_.spnPollItv)
    return;
  SetTimerInterval(static_cast<UINT>(ctl_.spnPollItv.Position()) * 1000u);
}

void TfrmMain::StartTimer() {
  if (timerOffForRun_)
    return;
  timerEnabled_ = ::SetTimer(Hwnd(), kMainTimerId, timerInterval_, nullptr) != 0;
}

void TfrmMain::StopTimer() {
  ::KillTimer(Hwnd(), kMainTimerId);
  timerEnabled_ = false;
}

void TfrmMain::ArmSettleTimer() {
  // A pass waits from when its reads go out.
  if (reads_ && reads_->Held()) {
    settleHeld_ = true;
    return;
  }
  ::SetTimer(Hwnd(), kSettleTimerId, kSettleMilliseconds, nullptr);
}

void TfrmMain::StartHeldReads() {
  if (!reads_ || !reads_->Held())
    return;
  reads_->Release();
  if (std::exchange(settleHeld_, false))
    ArmSettleTimer();
}

void TfrmMain::SetTimerInterval(UINT milliseconds) {
  timerInterval_ = milliseconds;
  // A running timer starts its new period now.
  if (timerEnabled_)
    StartTimer();
}

std::string TfrmMain::VersionText() {
  return lblVsn_.DisplayText();
}

void TfrmMain::ReportFailure(const char* what) {
  ShowErrorBox(Hwnd(), what);
}

LRESULT TfrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = Hwnd();
  switch (message) {
    case WM_CREATE:
      return CreateControls() ? 0 : -1;
    case WM_SIZE:
      LayoutControls();
      return 0;
    case WM_DPICHANGED: {
      // The notification area keeps its own dpi, the primary screen's.
      ApplyDpi(LOWORD(wParam));
      // The system suggests the old bounds scaled to the new dpi. While the stored settings
      // place the window, the stored pixels are kept as they are.
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      if (suggested && !loadingSettings_) {
        ::SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(hwnd, focus))
          lastFocus_ = focus;
      } else {
        FormActivate();
      }
      break;
    case WM_SETFOCUS: {
      HWND target =
          lastFocus_ && ::IsWindow(lastFocus_) && ::IsWindowVisible(lastFocus_) ? lastFocus_ : ctl_.lvMain;
      ::SetFocus(target);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kMainTimerId) {
        tmrMainTimer();
        return 0;
      }
      if (wParam == kSettleTimerId) {
        SettleReads();
        return 0;
      }
      if (wParam == kTrayRetryTimerId) {
        AddTrayIcon();
        return 0;
      }
      break;
    case kAnswersWaiting:
      TakeAnswers();
      return 0;
    case kHistoryNews:
      TakeHistoryNews();
      return 0;
    case kStartDeferred:
      StartHeldReads();
      if (std::exchange(trayHeld_, false))
        SyncTrayIcon();
      return 0;
    case kTrayCallback:
      HandleTrayEvent(wParam, lParam);
      return 0;
    case WM_SYSCOLORCHANGE:
      win::ForwardSysColorChange(Hwnd(),
                                 {sttBarHints_.Hwnd(), ctl_.tlbMain.ToolTips(),
                                  reinterpret_cast<HWND>(ctl_.lvMain.Send(LVM_GETTOOLTIPS, 0, 0))},
                                 wParam, lParam);
      return 0;
    case WM_COMMAND: {
      HWND from = reinterpret_cast<HWND>(lParam);
      const WORD code = HIWORD(wParam);
      if (from == ctl_.fldPollItv) {
        if (code == EN_CHANGE)
          fldPollItvChange();
        return 0;
      }
      if (from == ctl_.chkActive) {
        if (code == BN_CLICKED)
          chkActiveClick();
        return 0;
      }
      if ((from == nullptr || from == ctl_.tlbMain) && ExecuteCommand(LOWORD(wParam)))
        return 0;
      break;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->hwndFrom == ctl_.lvMain)
        return HandleTableNotify(header);
      if ((header->code == TTN_GETDISPINFOA || header->code == TTN_GETDISPINFOW) && FillToolTip(header))
        return 0;
      break;
    }
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // The session ends with this window still open: save as at a normal exit, since the
      // process may be ended before WM_DESTROY arrives.
      if (wParam)
        SaveSettingsOnce();
      return 0;
    case WM_DESTROY:
      StopTimer();
      ::KillTimer(hwnd, kSettleTimerId);
      ::KillTimer(hwnd, kTrayRetryTimerId);
      // Nothing waits for a read that hangs: its thread ends on its own, its answer unseen.
      reads_.reset();
      trayIcon_.reset();
      EndHistory();
      FormDestroy();
      // The menu handle is ours: detach it so DestroyWindow does not free it as well.
      ::SetMenu(hwnd, nullptr);
      if (onDestroyed)
        onDestroyed();
      return 0;
    default:
      // Explorer started again (the icons it held are gone), or the screen's dpi changed.
      if (message == taskbarCreated_ && taskbarCreated_ != 0 && trayIcon_) {
        AddTrayIcon();
        return 0;
      }
      break;
  }
  return BaseWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace velmora

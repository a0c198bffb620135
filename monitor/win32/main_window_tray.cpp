// The monitor window's icon in the notification area: its tip with the counters, the notices of
// stalled rows and waiting results, a left click that brings the window back, and a menu of its
// own. The View menu switches the icon and its two kinds of notice.
//
// At logon the shell may refuse the icon (Explorer is not ready) and send no TaskbarCreated
// afterwards: the icon is tried again on a timer, and notices wait for it.
#include <windowsx.h>

#include <algorithm>

#include "monitor/alert_texts.h"
#include "monitor/win32/main_commands.h"
#include "monitor/win32/main_window.h"
#include "windows/code_page_chars.h"

namespace velmora {

namespace {

constexpr char kBalloonTitle[] = "Velmora";

// Whether Esc closed the icon's menu: set by the filter of the menu's loop, on the window's thread.
thread_local bool menuCancelledByEscape = false;

LRESULT CALLBACK MenuKeyFilter(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_MENU) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (message->message == WM_KEYDOWN && message->wParam == VK_ESCAPE)
      menuCancelledByEscape = true;
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Adds the ids of `news` that `into` does not hold yet.
void Gather(std::vector<std::uint64_t>& into, const std::vector<std::uint64_t>& news) {
  for (std::uint64_t id : news) {
    if (std::find(into.begin(), into.end(), id) == into.end())
      into.push_back(id);
  }
}

}  // namespace

void TfrmMain::SyncTrayIcon() {
  if (!alertOptions_.trayIcon) {
    trayIcon_.reset();  // removes it
    trayTip_.clear();
    trayAlertsWaiting_ = {};
    ::KillTimer(Hwnd(), kTrayRetryTimerId);
    return;
  }
  if (!trayIcon_) {
    win::TrayShell& shell = services_.tray ? *services_.tray : win::SystemTrayShell();
    trayIcon_ = std::make_unique<win::NotifyIcon>(shell, Hwnd(), kTrayIconId, kTrayCallback,
                                                  win::NotificationAreaDpi());
    trayTip_.clear();
    UpdateTray();
    if (trayIcon_->Show())
      ShowWaitingAlerts();
    else
      ::SetTimer(Hwnd(), kTrayRetryTimerId, kTrayRetryMilliseconds, nullptr);
  }
}

void TfrmMain::AddTrayIcon() {
  if (!trayIcon_ || !trayIcon_->Wanted()) {
    ::KillTimer(Hwnd(), kTrayRetryTimerId);
    return;
  }
  if (!trayIcon_->Readd(win::NotificationAreaDpi())) {
    ::SetTimer(Hwnd(), kTrayRetryTimerId, kTrayRetryMilliseconds, nullptr);
    return;
  }
  ::KillTimer(Hwnd(), kTrayRetryTimerId);
  ShowWaitingAlerts();
}

// After every change the table showed: the tip follows the counters, and what became news is
// told once, gathered into one notice.
void TfrmMain::UpdateTray() {
  const StallTransitions alerts = table_.TakeAlerts();
  if (!trayIcon_)
    return;
  const LocationCounters counters = table_.Counters();
  const std::string tip = TrayTip(counters.work, counters.ready, static_cast<int>(table_.StalledCount()));
  if (tip != trayTip_) {
    trayTip_ = tip;
    trayIcon_->SetTip(tip);
  }
  Gather(trayAlertsWaiting_.stallAlerts, alerts.stallAlerts);
  Gather(trayAlertsWaiting_.resultAlerts, alerts.resultAlerts);
  ShowWaitingAlerts();
}

void TfrmMain::ShowWaitingAlerts() {
  if (!trayIcon_ || !trayIcon_->Added() || trayAlertsWaiting_.Empty())
    return;
  const std::optional<Balloon> balloon = GatherAlerts(
      trayAlertsWaiting_, [this](std::uint64_t id) { return table_.CaptionOf(id); }, alertOptions_,
      win::CodePageCharSizes());
  if (balloon) {
    if (!trayIcon_->ShowBalloon(balloon->title.empty() ? kBalloonTitle : balloon->title, balloon->text))
      return;  // the shell lost the icon: the news waits for it
    const auto& stalls = trayAlertsWaiting_.stallAlerts;
    const auto& results = trayAlertsWaiting_.resultAlerts;
    noticeRow_ = alertOptions_.alertStalls && !stalls.empty() ? stalls.front() : results.front();
  }
  trayAlertsWaiting_ = {};
}

void TfrmMain::HandleTrayEvent(WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(lParam)) {
    // Enter or Space on the icon is the keyboard's click (NIN_KEYSELECT); the menu key and
    // Shift+F10 send WM_CONTEXTMENU, as a right click does.
    case NIN_SELECT:
    case NIN_KEYSELECT:
      ShowFromTray();
      break;
    case WM_CONTEXTMENU:
      OpenTrayMenu(POINT{GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)});
      break;
    case NIN_BALLOONUSERCLICK:
      ShowNoticeRow();
      break;
    default:
      break;
  }
}

void TfrmMain::ShowFromTray() {
  if (::IsIconic(Hwnd()))
    ::ShowWindow(Hwnd(), SW_RESTORE);
  else
    ::ShowWindow(Hwnd(), SW_SHOW);
  ::SetForegroundWindow(Hwnd());
  ::SetActiveWindow(Hwnd());
}

void TfrmMain::ShowNoticeRow() {
  ShowFromTray();
  if (!noticeRow_)
    return;
  for (std::size_t row = 0; row < table_.Count(); ++row) {
    if (table_.Row(row).id != *noticeRow_)
      continue;
    const int index = static_cast<int>(row);
    ctl_.lvMain.SetItemState(-1, 0, LVIS_SELECTED);
    ctl_.lvMain.SetItemState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ctl_.lvMain.EnsureVisible(index);
    ::SetFocus(ctl_.lvMain);
    lvMainClick();
    return;
  }
}

win::MenuHandle TfrmMain::TrayMenu() const {
  win::MenuHandle menu(::CreatePopupMenu());
  if (!menu)
    return menu;
  const auto item = [&](WORD id, bool checked) {
    const MainCommand* command = FindMainCommand(id);
    ::AppendMenuA(menu.Get(), MF_STRING | (checked ? MF_CHECKED : MF_UNCHECKED), id, command->caption);
  };
  item(kCmdRefresh, false);
  ::AppendMenuA(menu.Get(), MF_SEPARATOR, 0, nullptr);
  item(kCmdAlertStalls, alertOptions_.alertStalls);
  item(kCmdAlertResults, alertOptions_.alertResults);
  ::AppendMenuA(menu.Get(), MF_SEPARATOR, 0, nullptr);
  item(kCmdExit, false);
  return menu;
}

void TfrmMain::OpenTrayMenu(POINT at) {
  // Enter on the icon may arrive twice while the first menu is still open.
  if (trayMenuOpen_)
    return;
  const win::MenuHandle menu = TrayMenu();
  if (!menu)
    return;
  // Without the window in front the menu would not close when the user clicks elsewhere.
  ::SetForegroundWindow(Hwnd());
  trayMenuOpen_ = true;
  menuCancelledByEscape = false;
  UINT chosen = 0;
  {
    // TrackPopupMenuEx tells no cancel by Esc from a click elsewhere; the menu's own loop does.
    const win::HookHandle keyFilter(
        ::SetWindowsHookExA(WH_MSGFILTER, MenuKeyFilter, nullptr, ::GetCurrentThreadId()));
    chosen = static_cast<UINT>(::TrackPopupMenuEx(menu.Get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                                                  at.x, at.y, Hwnd(), nullptr));
  }
  trayMenuOpen_ = false;
  ::PostMessageA(Hwnd(), WM_NULL, 0, 0);
  if (chosen != 0)
    ExecuteCommand(chosen);
  else if (menuCancelledByEscape && trayIcon_)
    trayIcon_->ReturnFocus();  // the keyboard goes back to the notification area
}

void TfrmMain::acViewTrayIconExecute() {
  alertOptions_.trayIcon = !alertOptions_.trayIcon;
  SyncTrayIcon();
  SyncViewMenu();
}

void TfrmMain::acAlertStallsExecute() {
  alertOptions_.alertStalls = !alertOptions_.alertStalls;
  SyncViewMenu();
}

void TfrmMain::acAlertResultsExecute() {
  alertOptions_.alertResults = !alertOptions_.alertResults;
  SyncViewMenu();
}

}  // namespace velmora

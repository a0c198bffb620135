// The monitor window's icon in the notification area: its tip with the counters, the notices of
// stalled rows and waiting results, a left click that brings the window back, and a menu of its
// own. The View menu switches the icon and its two kinds of notice.
#include <windowsx.h>

#include "monitor/alert_texts.h"
#include "monitor/win32/main_commands.h"
#include "monitor/win32/main_window.h"

namespace velmora {

namespace {

constexpr char kBalloonTitle[] = "Velmora";

}  // namespace

void TfrmMain::SyncTrayIcon() {
  if (!alertOptions_.trayIcon) {
    trayIcon_.reset();  // removes it
    trayTip_.clear();
    return;
  }
  if (!trayIcon_) {
    win::TrayShell& shell = services_.tray ? *services_.tray : win::SystemTrayShell();
    trayIcon_ = std::make_unique<win::NotifyIcon>(shell, Hwnd(), kTrayIconId, kTrayCallback, dpi_);
    trayTip_.clear();
    UpdateTray();
    trayIcon_->Show();
  }
}

// After every change the table showed: the tip follows the counters, and what became news is
// told once, gathered into one notice.
void TfrmMain::UpdateTray() {
  const StallTransitions alerts = table_.TakeAlerts();
  if (!trayIcon_)
    return;
  const LocationCounters& counters = table_.Counters();
  const std::string tip = TrayTip(counters.work, counters.ready, static_cast<int>(table_.StalledCount()));
  if (tip != trayTip_) {
    trayTip_ = tip;
    trayIcon_->SetTip(tip);
  }
  if (alerts.Empty())
    return;
  const std::optional<Balloon> balloon = GatherAlerts(
      alerts, [this](std::uint64_t id) { return table_.CaptionOf(id); }, alertOptions_);
  if (balloon)
    trayIcon_->ShowBalloon(balloon->title.empty() ? kBalloonTitle : balloon->title, balloon->text);
}

void TfrmMain::HandleTrayEvent(WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(lParam)) {
    case NIN_SELECT:
    case NIN_KEYSELECT:
      ShowFromTray();
      break;
    case WM_CONTEXTMENU:
      OpenTrayMenu(POINT{GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)});
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
  const win::MenuHandle menu = TrayMenu();
  if (!menu)
    return;
  // Without the window in front the menu would not close when the user clicks elsewhere.
  ::SetForegroundWindow(Hwnd());
  const UINT chosen = static_cast<UINT>(::TrackPopupMenuEx(
      menu.Get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, Hwnd(), nullptr));
  ::PostMessageA(Hwnd(), WM_NULL, 0, 0);
  if (chosen != 0)
    ExecuteCommand(chosen);
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

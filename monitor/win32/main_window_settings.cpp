// The monitor window as the stored settings see it. Bounds are applied through the window
// placement, so that a maximized window keeps the normal bounds it returns to when restored.
#include <cstddef>

#include "monitor/win32/main_window.h"

namespace velmora {

namespace {

// Placement rectangles are in workspace coordinates, which differ from screen coordinates when
// a taskbar sits at the top or the left of the screen; the settings hold screen coordinates.
POINT WorkspaceOrigin(HWND hwnd) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetMonitorInfoA(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), &info))
    return POINT{0, 0};
  return POINT{info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top};
}

WindowBounds NormalBounds(HWND hwnd) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  ::GetWindowPlacement(hwnd, &placement);
  const POINT origin = WorkspaceOrigin(hwnd);
  const RECT& r = placement.rcNormalPosition;
  return WindowBounds{r.right - r.left, r.bottom - r.top, r.top + origin.y, r.left + origin.x};
}

}  // namespace

template <typename Change>
void TfrmMain::ChangeNormalBounds(Change change) {
  HWND hwnd = Hwnd();
  WindowBounds bounds = NormalBounds(hwnd);
  change(bounds);
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  ::GetWindowPlacement(hwnd, &placement);
  const POINT origin = WorkspaceOrigin(hwnd);
  placement.rcNormalPosition =
      RECT{bounds.left - origin.x, bounds.top - origin.y, bounds.left - origin.x + bounds.width,
           bounds.top - origin.y + bounds.height};
  placement.flags = 0;
  // Keep the window as it is shown (or hidden, during start-up); only the normal bounds move.
  if (!::IsWindowVisible(hwnd)) {
    placement.showCmd = SW_HIDE;
  } else if (::IsIconic(hwnd)) {
    placement.showCmd = SW_SHOWMINNOACTIVE;
  } else if (::IsZoomed(hwnd)) {
    placement.showCmd = SW_SHOWMAXIMIZED;
  } else {
    placement.showCmd = SW_SHOWNOACTIVATE;
  }
  ::SetWindowPlacement(hwnd, &placement);
}

StoredSettings TfrmMain::CurrentSettings() const {
  StoredSettings settings;
  settings.showState = CurrentShowState();
  settings.bounds = CurrentBounds();
  for (std::size_t column = 0; column < settings.columnWidths.size(); ++column)
    settings.columnWidths[column] = ColumnWidth(static_cast<int>(column));
  for (const LocationRow& row : table_.Rows())
    settings.locations.push_back(StoredLocation{row.caption, row.enabled});
  settings.barsShown = barVisible_;
  settings.pollInterval = PollInterval();
  settings.alerts = alertOptions_;
  settings.optionalColumns = optionalColumns_;
  settings.historyBounds = HistoryPlacement();
  settings.sizesDpi = dpi_;
  return settings;
}

void TfrmMain::ApplySettings(const StoredSettings& settings) {
  loadingSettings_ = true;
  // The bounds, a maximized state and each bar would lay the controls out again; every move of a
  // control is a round trip to the window server, so they are laid out once, at the end.
  struct LayoutOnce {
    TfrmMain& window;
    ~LayoutOnce() {
      window.layoutHeld_ = false;
      window.LayoutControls();
    }
  };
  layoutHeld_ = true;
  const LayoutOnce layoutOnce{*this};
  ChangeNormalBounds([&settings](WindowBounds& b) { b = settings.bounds; });
  // A hidden window is maximized when it is first shown.
  const bool maximized = settings.showState == ShowState::kMaximized;
  showMaximized_ = maximized;
  HWND hwnd = Hwnd();
  if (::IsWindowVisible(hwnd)) {
    if (maximized && !::IsZoomed(hwnd))
      ::ShowWindow(hwnd, SW_MAXIMIZE);
    if (!maximized && ::IsZoomed(hwnd))
      ::ShowWindow(hwnd, SW_RESTORE);
  }
  for (int column = 0; column < ColumnCount(); ++column)
    SetColumnWidth(column, settings.columnWidths[static_cast<std::size_t>(column)]);
  AddLocations(settings.locations);
  for (const Bar bar : {Bar::kToolbar, Bar::kStatsPanel, Bar::kStatusBar})
    SetBarVisible(bar, settings.barsShown[static_cast<std::size_t>(bar)]);
  ctl_.spnPollItv.SetPosition(settings.pollInterval);
  SetAlertOptions(settings.alerts);
  SetOptionalColumns(settings.optionalColumns);
  historyBounds_ = settings.historyBounds;
  for (const int slot : kOptionalSlots)
    SetColumnWidth(slot, settings.columnWidths[static_cast<std::size_t>(slot)]);
  loadingSettings_ = false;
}

ShowState TfrmMain::CurrentShowState() const {
  HWND hwnd = Hwnd();
  if (::IsIconic(hwnd))
    return ShowState::kMinimized;
  if (::IsZoomed(hwnd))
    return ShowState::kMaximized;
  // Not shown yet: what it will be shown as.
  if (!everShown_ && showMaximized_)
    return ShowState::kMaximized;
  return ShowState::kNormal;
}

WindowBounds TfrmMain::CurrentBounds() const {
  HWND hwnd = Hwnd();
  if (::IsIconic(hwnd) || ::IsZoomed(hwnd))
    return NormalBounds(hwnd);
  // In the normal state, the window as it stands: a window snapped to half the screen (Win+Left)
  // is in the normal state too, but its placement still holds the place it had before the snap.
  RECT outer{};
  ::GetWindowRect(hwnd, &outer);
  return WindowBounds{outer.right - outer.left, outer.bottom - outer.top, outer.top, outer.left};
}

int TfrmMain::PollInterval() const {
  return ctl_.spnPollItv.Position();
}

}  // namespace velmora

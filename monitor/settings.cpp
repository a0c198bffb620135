// The layout of the stored settings and the order in which the monitor window reads and writes
// them. Each entry is applied as soon as it is read: a store failure part-way through leaves the
// rest at the window's built-in values, which is what the user is told about.
#include "monitor/settings.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

#include "core/text.h"
#include "core/tools.h"
#include "monitor/poll_interval.h"
#include "monitor/settings_store.h"

namespace velmora {
namespace {

constexpr char kLayout[] = "Layout";
constexpr char kLocations[] = "Locations";
constexpr char kInterface[] = "Interface";
constexpr char kDefaults[] = "Defaults";

constexpr int kDefaultWidth = 534;
constexpr int kDefaultHeight = 300;
constexpr int kDefaultTop = 0;
constexpr int kDefaultLeft = 0;
constexpr int kStoredNormal = 1;
constexpr int kStoredMaximized = 2;

std::string ColumnKey(int column) {
  return "Col" + std::to_string(column);
}

const char* BarKey(Bar bar) {
  switch (bar) {
    case Bar::kToolbar:
      return "tlbMain";
    case Bar::kStatsPanel:
      return "pnlStats";
    case Bar::kStatusBar:
      return "sttBar";
  }
  return "";
}

constexpr Bar kBarsInOrder[] = {Bar::kToolbar, Bar::kStatsPanel, Bar::kStatusBar};

// The interval's up-down control holds a signed 16-bit position, so the stored number is first
// cut to its low 16 bits. A result below 1 would run the timer at 0 or a negative interval; it is
// brought into the control's own range instead.
int PollIntervalFromStored(int stored) {
  const int position =
      static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(stored)));
  if (position < kMinPollInterval)
    return kMinPollInterval;
  if (position > kMaxPollInterval)
    return kMaxPollInterval;
  return position;
}

}  // namespace

std::string LocationKey(std::size_t index) {
  return "Location" + PadLeftChars(std::to_string(index), 4, '0');
}

void LoadSettings(SettingsStore& store, SettingsTarget& target) {
  const int dpi = target.Dpi();
  target.SetWidth(store.ReadInteger(kLayout, "FormWidth", ScalePixels(kDefaultWidth, dpi)));
  target.SetHeight(store.ReadInteger(kLayout, "FormHeight", ScalePixels(kDefaultHeight, dpi)));
  target.SetTop(store.ReadInteger(kLayout, "FormTop", kDefaultTop));
  target.SetLeft(store.ReadInteger(kLayout, "FormLeft", kDefaultLeft));
  target.SetMaximized(store.ReadInteger(kLayout, "WindowState", kStoredNormal) == kStoredMaximized);

  for (int column = 0; column < static_cast<int>(std::size(kDefaultColumnWidths)); ++column)
    target.SetColumnWidth(column, store.ReadInteger(kLayout, ColumnKey(column),
                                                    ScalePixels(kDefaultColumnWidths[column], dpi)));

  // Only the last two characters are the flag, so a path may hold commas of its own. The rows
  // go to the window in one batch; when an entry cannot be read, those read before it still do.
  // They are read a chunk at a time, so that a count stored wrong cannot ask for more memory than
  // a chunk holds.
  const int count = store.ReadInteger(kLocations, "Count", 0);
  const std::size_t total = count > 0 ? static_cast<std::size_t>(count) : 0;
  constexpr std::size_t kChunk = 1024;
  std::vector<StoredLocation> locations;
  std::vector<std::string> keys;
  std::vector<std::string> values;
  const auto take = [&locations, &values] {
    for (const std::string& value : values)
      locations.push_back(StoredLocation{DropRightChars(value, 2), RightChars(value, 1) == "1"});
    values.clear();
  };
  try {
    for (std::size_t first = 0; first < total; first += kChunk) {
      keys.clear();
      for (std::size_t index = first; index < total && index < first + kChunk; ++index)
        keys.push_back(LocationKey(index));
      store.ReadTexts(kLocations, keys, "", values);
      take();
    }
  } catch (const SettingsError&) {
    take();
    target.AddLocations(locations);
    throw;
  }
  target.AddLocations(locations);
  // The stored count decides, not the rows added: a count of 3 with nothing behind it stays empty.
  if (count == 0)
    target.AddLocation(target.AppDir(), true);

  for (Bar bar : kBarsInOrder)
    target.SetBarVisible(bar, store.ReadBool(kInterface, BarKey(bar), true));

  target.SetPollInterval(
      PollIntervalFromStored(store.ReadInteger(kDefaults, "PollInterval", kDefaultPollInterval)));

  // Entries that earlier versions did not write come last: their store loads as it always did,
  // and a failure among these leaves every older entry applied.
  const AlertOptions defaults;
  AlertOptions alerts = target.CurrentAlertOptions();
  alerts.trayIcon = store.ReadBool(kInterface, "TrayIcon", defaults.trayIcon);
  target.SetAlertOptions(alerts);
  alerts.alertStalls = store.ReadBool(kInterface, "AlertStalls", defaults.alertStalls);
  target.SetAlertOptions(alerts);
  alerts.alertResults = store.ReadBool(kInterface, "AlertResults", defaults.alertResults);
  target.SetAlertOptions(alerts);
  alerts.stallMinutes = std::clamp(store.ReadInteger(kDefaults, "StallMinutes", defaults.stallMinutes),
                                   kMinStallMinutes, kMaxStallMinutes);
  target.SetAlertOptions(alerts);

  OptionalColumns columns = target.CurrentOptionalColumns();
  columns.state = store.ReadBool(kInterface, "StateColumn", false);
  target.SetOptionalColumns(columns);
  columns.finish = store.ReadBool(kInterface, "FinishColumn", false);
  target.SetOptionalColumns(columns);
  for (const int slot : {kStateColumnSlot, kFinishColumnSlot}) {
    const int builtIn = ScalePixels(kDefaultOptionalWidths[slot - kStateColumnSlot], dpi);
    target.SetColumnWidth(slot, store.ReadInteger(kLayout, ColumnKey(slot), builtIn));
  }
}

void SaveSettings(SettingsStore& store, const SettingsTarget& target) {
  // A minimized window is never stored: the state and bounds of the last normal or maximized
  // close stay. A maximized one keeps the bounds of the last normal close to restore to.
  switch (target.CurrentShowState()) {
    case ShowState::kNormal: {
      const WindowBounds bounds = target.CurrentBounds();
      store.WriteInteger(kLayout, "WindowState", kStoredNormal);
      store.WriteInteger(kLayout, "FormWidth", bounds.width);
      store.WriteInteger(kLayout, "FormHeight", bounds.height);
      store.WriteInteger(kLayout, "FormTop", bounds.top);
      store.WriteInteger(kLayout, "FormLeft", bounds.left);
      break;
    }
    case ShowState::kMaximized:
      store.WriteInteger(kLayout, "WindowState", kStoredMaximized);
      break;
    case ShowState::kMinimized:
      break;
  }

  for (int column = 0; column < target.ColumnCount(); ++column)
    store.WriteInteger(kLayout, ColumnKey(column), target.ColumnWidth(column));

  // Entries above the new count are left in place; loading never reads past the count.
  const std::size_t count = target.LocationCount();
  store.WriteInteger(kLocations, "Count", static_cast<int>(count));
  const std::string enabledSuffix = ",1";
  const std::string disabledSuffix = ",0";
  for (std::size_t index = 0; index < count; ++index) {
    store.WriteText(
        kLocations, LocationKey(index),
        target.LocationPath(index) + IfThenStr(target.LocationEnabled(index), enabledSuffix, disabledSuffix));
  }

  for (Bar bar : kBarsInOrder)
    store.WriteBool(kInterface, BarKey(bar), target.BarVisible(bar));

  store.WriteInteger(kDefaults, "PollInterval", target.PollInterval());

  const AlertOptions alerts = target.CurrentAlertOptions();
  store.WriteBool(kInterface, "TrayIcon", alerts.trayIcon);
  store.WriteBool(kInterface, "AlertStalls", alerts.alertStalls);
  store.WriteBool(kInterface, "AlertResults", alerts.alertResults);
  store.WriteInteger(kDefaults, "StallMinutes", alerts.stallMinutes);

  const OptionalColumns columns = target.CurrentOptionalColumns();
  store.WriteBool(kInterface, "StateColumn", columns.state);
  store.WriteBool(kInterface, "FinishColumn", columns.finish);
  for (const int slot : {kStateColumnSlot, kFinishColumnSlot})
    store.WriteInteger(kLayout, ColumnKey(slot), target.ColumnWidth(slot));
}

}  // namespace velmora

// The layout of the stored settings and the order in which the monitor window reads and writes
// them. Each entry goes into the value as soon as it is read: a store failure part-way through
// leaves the rest at the window's built-in values, which is what the user is told about.
#include "monitor/settings.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

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
// The dots per inch a stored size may have been taken at: 50 % to 2000 % of 96.
constexpr int kMinSizesDpi = 48;
constexpr int kMaxSizesDpi = 1920;

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

// Only the last two characters are the flag, so a path may hold commas of its own. The list is
// replaced once the count is read; when an entry cannot be read, those read before it are kept.
// They are read a chunk at a time, so that a count stored wrong cannot ask for more memory than
// a chunk holds.
void ReadLocations(SettingsStore& store, const std::string& appDir, std::vector<StoredLocation>& locations) {
  const int count = store.ReadInteger(kLocations, "Count", 0);
  const std::size_t total = count > 0 ? static_cast<std::size_t>(count) : 0;
  constexpr std::size_t kChunk = 1024;
  locations.clear();
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
    throw;
  }
  // The stored count decides, not the rows read: a count of 3 with nothing behind it stays empty.
  if (count == 0)
    locations.push_back(StoredLocation{appDir, true});
}

}  // namespace

std::string LocationKey(std::size_t index) {
  return "Location" + PadLeftChars(std::to_string(index), 4, '0');
}

void LoadSettings(SettingsStore& store, int dpi, const std::string& appDir, StoredSettings& settings) {
  WindowBounds& bounds = settings.bounds;
  bounds.width = store.ReadInteger(kLayout, "FormWidth", ScalePixels(kDefaultWidth, dpi));
  bounds.height = store.ReadInteger(kLayout, "FormHeight", ScalePixels(kDefaultHeight, dpi));
  bounds.top = store.ReadInteger(kLayout, "FormTop", kDefaultTop);
  bounds.left = store.ReadInteger(kLayout, "FormLeft", kDefaultLeft);
  settings.showState = store.ReadInteger(kLayout, "WindowState", kStoredNormal) == kStoredMaximized
                           ? ShowState::kMaximized
                           : ShowState::kNormal;

  for (std::size_t column = 0; column < std::size(kDefaultColumnWidths); ++column) {
    settings.columnWidths[column] = store.ReadInteger(kLayout, ColumnKey(static_cast<int>(column)),
                                                      ScalePixels(kDefaultColumnWidths[column], dpi));
  }

  ReadLocations(store, appDir, settings.locations);

  for (Bar bar : kBarsInOrder)
    settings.barsShown[static_cast<std::size_t>(bar)] = store.ReadBool(kInterface, BarKey(bar), true);

  settings.pollInterval =
      PollIntervalFromStored(store.ReadInteger(kDefaults, "PollInterval", kDefaultPollInterval));

  // Entries that earlier versions did not write come last: their store loads as it always did,
  // and a failure among these leaves every older entry read.
  const AlertOptions defaults;
  AlertOptions& alerts = settings.alerts;
  alerts.trayIcon = store.ReadBool(kInterface, "TrayIcon", defaults.trayIcon);
  alerts.alertStalls = store.ReadBool(kInterface, "AlertStalls", defaults.alertStalls);
  alerts.alertResults = store.ReadBool(kInterface, "AlertResults", defaults.alertResults);
  alerts.stallMinutes = std::clamp(store.ReadInteger(kDefaults, "StallMinutes", defaults.stallMinutes),
                                   kMinStallMinutes, kMaxStallMinutes);

  settings.optionalColumns.state = store.ReadBool(kInterface, "StateColumn", false);
  settings.optionalColumns.finish = store.ReadBool(kInterface, "FinishColumn", false);
  for (const int slot : {kStateColumnSlot, kFinishColumnSlot}) {
    const int builtIn = ScalePixels(kDefaultOptionalWidths[slot - kStateColumnSlot], dpi);
    settings.columnWidths[static_cast<std::size_t>(slot)] =
        store.ReadInteger(kLayout, ColumnKey(slot), builtIn);
  }

  // The Done column, after every older entry.
  settings.optionalColumns.done = store.ReadBool(kInterface, "DoneColumn", false);
  settings.columnWidths[kDoneColumnSlot] =
      store.ReadInteger(kLayout, ColumnKey(kDoneColumnSlot),
                        ScalePixels(kDefaultOptionalWidths[kDoneColumnSlot - kStateColumnSlot], dpi));
  WindowBounds& history = settings.historyBounds;
  history.width = std::max(0, store.ReadInteger(kLayout, "HistoryWidth", 0));
  history.height = std::max(0, store.ReadInteger(kLayout, "HistoryHeight", 0));
  history.top = store.ReadInteger(kLayout, "HistoryTop", 0);
  history.left = store.ReadInteger(kLayout, "HistoryLeft", 0);
  // The pixels of the sizes stored above were taken at this dpi; a store written before it was
  // taken at 96. The built-in sizes are at `dpi` already, so only those stored are scaled.
  const int storedDpi = store.ReadInteger(kLayout, "SizesDpi", kLayoutDpi);
  const int fromDpi = storedDpi >= kMinSizesDpi && storedDpi <= kMaxSizesDpi ? storedDpi : kLayoutDpi;
  if (fromDpi != dpi) {
    const auto scaleStored = [&store, dpi, fromDpi](const std::string& key, int& size) {
      std::string text;
      if (store.ReadRaw(kLayout, key, text))
        size = ScalePixels(size, dpi, fromDpi);
    };
    scaleStored("FormWidth", bounds.width);
    scaleStored("FormHeight", bounds.height);
    scaleStored("HistoryWidth", history.width);
    scaleStored("HistoryHeight", history.height);
    for (std::size_t column = 0; column < kColumnWidthSlots; ++column)
      scaleStored(ColumnKey(static_cast<int>(column)), settings.columnWidths[column]);
  }
  settings.sizesDpi = dpi;
}

void SaveSettings(SettingsStore& store, const StoredSettings& settings) {
  // A minimized window is never stored: the state and bounds of the last normal or maximized
  // close stay. A maximized one keeps the bounds of the last normal close to restore to.
  switch (settings.showState) {
    case ShowState::kNormal: {
      const WindowBounds& bounds = settings.bounds;
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

  for (std::size_t column = 0; column < std::size(kDefaultColumnWidths); ++column)
    store.WriteInteger(kLayout, ColumnKey(static_cast<int>(column)), settings.columnWidths[column]);

  // Entries above the new count are left in place; loading never reads past the count.
  store.WriteInteger(kLocations, "Count", static_cast<int>(settings.locations.size()));
  const std::string enabledSuffix = ",1";
  const std::string disabledSuffix = ",0";
  for (std::size_t index = 0; index < settings.locations.size(); ++index) {
    const StoredLocation& location = settings.locations[index];
    store.WriteText(kLocations, LocationKey(index),
                    location.path + IfThenStr(location.enabled, enabledSuffix, disabledSuffix));
  }

  for (Bar bar : kBarsInOrder)
    store.WriteBool(kInterface, BarKey(bar), settings.barsShown[static_cast<std::size_t>(bar)]);

  store.WriteInteger(kDefaults, "PollInterval", settings.pollInterval);

  const AlertOptions& alerts = settings.alerts;
  store.WriteBool(kInterface, "TrayIcon", alerts.trayIcon);
  store.WriteBool(kInterface, "AlertStalls", alerts.alertStalls);
  store.WriteBool(kInterface, "AlertResults", alerts.alertResults);
  store.WriteInteger(kDefaults, "StallMinutes", alerts.stallMinutes);

  store.WriteBool(kInterface, "StateColumn", settings.optionalColumns.state);
  store.WriteBool(kInterface, "FinishColumn", settings.optionalColumns.finish);
  for (const int slot : {kStateColumnSlot, kFinishColumnSlot})
    store.WriteInteger(kLayout, ColumnKey(slot), settings.columnWidths[static_cast<std::size_t>(slot)]);

  // The Done column, after every older entry.
  store.WriteBool(kInterface, "DoneColumn", settings.optionalColumns.done);
  store.WriteInteger(kLayout, ColumnKey(kDoneColumnSlot), settings.columnWidths[kDoneColumnSlot]);
  const WindowBounds& history = settings.historyBounds;
  store.WriteInteger(kLayout, "HistoryWidth", history.width);
  store.WriteInteger(kLayout, "HistoryHeight", history.height);
  store.WriteInteger(kLayout, "HistoryTop", history.top);
  store.WriteInteger(kLayout, "HistoryLeft", history.left);
  store.WriteInteger(kLayout, "SizesDpi", settings.sizesDpi);
}

}  // namespace velmora

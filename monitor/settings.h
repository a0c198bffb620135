// What the monitor window keeps between runs, and the order in which it is read and written.
// LoadSettings fills a value that starts as the window's built-in settings, so a failure
// part-way leaves what was not yet read at those values.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "core/tools.h"
#include "monitor/poll_interval.h"

namespace velmora {

class SettingsStore;

enum class Bar { kToolbar, kStatsPanel, kStatusBar };
enum class ShowState { kNormal, kMaximized, kMinimized };

// The notification-area icon and what it tells the user about.
struct AlertOptions {
  bool trayIcon = true;
  bool alertStalls = true;
  bool alertResults = false;
  int stallMinutes = 20;  // kMinStallMinutes..kMaxStallMinutes
  bool operator==(const AlertOptions&) const = default;
};

inline constexpr int kMinStallMinutes = 1;
inline constexpr int kMaxStallMinutes = 1440;

// The columns the user may add after "Last date".
struct OptionalColumns {
  bool state = false;
  bool finish = false;
  bool done = false;  // units finished in the last 24 hours
  bool operator==(const OptionalColumns&) const = default;
};

// One stored location: as read, the path not yet trimmed; as stored, the row's caption.
struct StoredLocation {
  std::string path;
  bool enabled = true;
  bool operator==(const StoredLocation&) const = default;
};

struct WindowBounds {
  int width = 0;
  int height = 0;
  int top = 0;
  int left = 0;
  bool operator==(const WindowBounds&) const = default;
};

// At 96 dots per inch.
inline constexpr int kDefaultColumnWidths[6] = {248, 46, 33, 33, 35, 100};
// The width slots of "State" and "Finishes", after the six, and their widths at 96 dots per inch.
inline constexpr int kStateColumnSlot = 6;
inline constexpr int kFinishColumnSlot = 7;
inline constexpr int kDoneColumnSlot = 8;
inline constexpr int kDefaultOptionalWidths[3] = {130, 110, 80};

// The six columns always shown, then the three optional slots.
inline constexpr std::size_t kColumnWidthSlots = 9;

// Everything the monitor window keeps between runs.
struct StoredSettings {
  // Loaded as kNormal or kMaximized; a minimized window stores neither state nor bounds.
  ShowState showState = ShowState::kNormal;
  WindowBounds bounds;  // outer bounds in the normal state
  // Pixels, by column and then the optional slots (kStateColumnSlot...), whether those are shown
  // or not.
  std::array<int, kColumnWidthSlots> columnWidths{};
  std::vector<StoredLocation> locations;            // display order
  std::array<bool, 3> barsShown{true, true, true};  // by Bar
  int pollInterval = kDefaultPollInterval;          // seconds, kMinPollInterval..kMaxPollInterval
  AlertOptions alerts;
  OptionalColumns optionalColumns;
  // The history window's outer bounds in pixels; width 0: never placed (it opens where the
  // system puts it).
  WindowBounds historyBounds;
  // The dots per inch the sizes (the bounds' width and height, the column widths) are in.
  int sizesDpi = kLayoutDpi;
  bool operator==(const StoredSettings&) const = default;
};

// "Location" + the index padded to four digits (never cut: Location10000).
std::string LocationKey(std::size_t index);

// Fills `settings` entry by entry. Absent entries take their built-in values: sizes given at 96
// dots per inch scaled to `dpi`, and `appDir` as the one location when none was ever stored.
// Stored sizes are scaled from the dpi stored with them (96 when none was) to `dpi`.
// Throws SettingsError from the store: the entries read before the failing one are in
// `settings`, the rest keep the values `settings` had.
void LoadSettings(SettingsStore& store, int dpi, const std::string& appDir, StoredSettings& settings);
// Throws SettingsError from the store; nothing after the failing entry is written.
void SaveSettings(SettingsStore& store, const StoredSettings& settings);

}  // namespace velmora

// What the monitor window keeps between runs, and the order in which it is read and written.
// LoadSettings applies each entry as soon as it is read, so a failure part-way leaves what was
// not yet read at the window's built-in values.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

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

// The two columns the user may add after "Last date".
struct OptionalColumns {
  bool state = false;
  bool finish = false;
  bool operator==(const OptionalColumns&) const = default;
};

// One stored location as read: the path not yet trimmed.
struct StoredLocation {
  std::string path;
  bool enabled = true;
};

struct WindowBounds {
  int width = 0;
  int height = 0;
  int top = 0;
  int left = 0;
};

// The monitor window as the settings see it.
class SettingsTarget {
 public:
  virtual ~SettingsTarget() = default;

  // Loading.
  virtual void SetWidth(int width) = 0;
  virtual void SetHeight(int height) = 0;
  virtual void SetTop(int top) = 0;
  virtual void SetLeft(int left) = 0;
  virtual void SetMaximized(bool maximized) = 0;
  virtual void SetColumnWidth(int column, int width) = 0;
  virtual void AddLocation(const std::string& path, bool enabled) = 0;
  // The stored locations in their stored order, all at once: the rows they give must be those
  // of AddLocation called for each in turn. A window that sorts its rows sorts them once.
  virtual void AddLocations(const std::vector<StoredLocation>& locations) {
    for (const StoredLocation& location : locations)
      AddLocation(location.path, location.enabled);
  }
  virtual std::string AppDir() const = 0;
  virtual void SetBarVisible(Bar bar, bool visible) = 0;
  virtual void SetPollInterval(int seconds) = 0;  // already within 1..32767
  // Once for each of its stored entries, the entry just read applied to CurrentAlertOptions().
  virtual void SetAlertOptions(const AlertOptions& options) = 0;
  // Likewise, to CurrentOptionalColumns(). Their widths come through SetColumnWidth as columns
  // kStateColumnSlot and kFinishColumnSlot, whether they are shown or not.
  virtual void SetOptionalColumns(const OptionalColumns& columns) = 0;

  // Saving.
  virtual ShowState CurrentShowState() const = 0;
  virtual WindowBounds CurrentBounds() const = 0;  // outer bounds in the normal state
  virtual int ColumnCount() const = 0;             // the six that are always shown
  virtual int ColumnWidth(int column) const = 0;
  virtual std::size_t LocationCount() const = 0;
  virtual std::string LocationPath(std::size_t index) const = 0;  // display order
  virtual bool LocationEnabled(std::size_t index) const = 0;
  virtual bool BarVisible(Bar bar) const = 0;
  virtual int PollInterval() const = 0;
  virtual AlertOptions CurrentAlertOptions() const = 0;
  virtual OptionalColumns CurrentOptionalColumns() const = 0;

  // Dots per inch the window is drawn at. Built-in sizes (given at 96) are scaled to it; stored
  // sizes are pixels and are used as they are.
  virtual int Dpi() const { return 96; }
};

// At 96 dots per inch.
inline constexpr int kDefaultColumnWidths[6] = {248, 46, 33, 33, 35, 100};
// The width slots of "State" and "Finishes", after the six, and their widths at 96 dots per inch.
inline constexpr int kStateColumnSlot = 6;
inline constexpr int kFinishColumnSlot = 7;
inline constexpr int kDefaultOptionalWidths[2] = {130, 110};

// "Location" + the index padded to four digits (never cut: Location10000).
std::string LocationKey(std::size_t index);

// Throw SettingsError from the store; nothing after the failing entry is applied or written.
void LoadSettings(SettingsStore& store, SettingsTarget& target);
void SaveSettings(SettingsStore& store, const SettingsTarget& target);

}  // namespace velmora

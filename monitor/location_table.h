// The location table without a window: rows kept in caption order, the refresh pass that
// rereads every enabled row's folder, and the three counters of the status bar. The monitor
// window only mirrors this model into its list view.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class FileSystem;

// Cells after the caption, in column order.
enum class Cell { kProgress, kWorkUnit, kState, kResult, kLastDate };
inline constexpr std::size_t kCellCount = 5;

// Indices into the small image list.
enum RowIcon : int {
  kIconNone = -1,
  kIconTempResult = 0,  // white ball
  kIconDisabled = 1,    // black ball
  kIconResult = 2,      // green ball
  kIconWorkUnit = 3,    // blue ball
  kIconNoFolder = 4,    // red ball
};

struct LocationRow {
  std::string caption;  // the folder path, trimmed, never empty
  bool enabled = true;
  std::array<std::string, kCellCount> cells{"?", "?", "?", "?", "?"};
  int icon = kIconNone;

  const std::string& CellText(Cell cell) const { return cells[static_cast<std::size_t>(cell)]; }
  bool operator==(const LocationRow&) const = default;
};

struct LocationCounters {
  int total = 0;
  int work = 0;
  int ready = 0;
  bool operator==(const LocationCounters&) const = default;
};

// What one refresh pass changed, so that a view repaints only that.
struct RefreshOutcome {
  bool ran = false;                      // false when spying is off
  std::vector<std::size_t> changedRows;  // rows whose cells or icon changed, ascending
  bool countersChanged = false;
};

// strcmp-like caption order; the Windows build passes lstrcmpA.
using CaptionOrder = int (*)(const char*, const char*);

class LocationTable {
 public:
  explicit LocationTable(CaptionOrder order);

  // Trims `path`; adds nothing for an empty result. The row takes its sorted place (after equal
  // captions) with "?" cells and no icon. Returns that place.
  std::optional<std::size_t> AddLocation(std::string_view path, bool enabled);
  void RemoveAt(std::size_t index);
  void Clear();

  const std::vector<LocationRow>& Rows() const { return rows_; }
  std::size_t Count() const { return rows_.size(); }
  const LocationRow& Row(std::size_t index) const { return rows_.at(index); }
  void SetEnabled(std::size_t index, bool enabled) { rows_.at(index).enabled = enabled; }

  bool SpyingEnabled() const { return spyingEnabled_; }
  void SetSpyingEnabled(bool on) { spyingEnabled_ = on; }

  // The refresh pass: does nothing while spying is off; otherwise reads every enabled row's
  // folder, rewrites cells and icons, and recounts.
  RefreshOutcome RefreshLocations(FileSystem& fs);

  const LocationCounters& Counters() const { return counters_; }
  // " Total: n", " Work: n", " Ready: n" for the first three status panels; empty before the
  // first pass.
  const std::array<std::string, 3>& StatusTexts() const { return statusTexts_; }

 private:
  CaptionOrder order_;
  std::vector<LocationRow> rows_;
  bool spyingEnabled_ = true;
  LocationCounters counters_;
  std::array<std::string, 3> statusTexts_;
};

}  // namespace velmora

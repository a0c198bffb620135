// What one look at a location's folder gives the table: the five cells and the icon of an
// enabled row, and what the counters need. Pure functions of the folder: the reading threads
// run them, the window's thread only applies their results.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/local_time.h"

namespace velmora {

class FileSystem;

// Cells after the caption, in column order.
enum class Cell { kProgress, kWorkUnit, kState, kResult, kLastDate };
inline constexpr std::size_t kCellCount = 5;
using RowCells = std::array<std::string, kCellCount>;

// Indices into the small image list.
enum RowIcon : int {
  kIconNone = -1,
  kIconTempResult = 0,  // white ball
  kIconDisabled = 1,    // black ball
  kIconResult = 2,      // green ball
  kIconWorkUnit = 3,    // blue ball
  kIconNoFolder = 4,    // red ball
};

struct RowReading {
  RowCells cells{"?", "?", "?", "?", "?"};
  int icon = kIconNone;
  bool countsAsWork = false;   // state.sah gave a progress value
  bool countsAsReady = false;  // result.sah is there
  bool hasWorkUnit = false;
  bool hasState = false;
  LocalDateTime stateTime;  // set only when hasState
  double progress = -1;     // percent, as read; -1 when state.sah gave none
  double cpu = -1;          // seconds, as read; -1 when state.sah gave none
  // See TState: what tells the unit in work from the next, and when its result came.
  std::int64_t workUnitSize = -1;
  std::int64_t workUnitSeconds = -1;
  std::int64_t resultSeconds = -1;

  bool operator==(const RowReading&) const = default;
};

// Reads `folder` with one work-unit state reader.
RowReading ReadLocation(FileSystem& fs, const std::string& folder);

}  // namespace velmora

// Readers that turn one client working folder into a plain record. -1 marks a number that was
// not found; a key whose value does not parse gives 0. Reading never fails loudly.
#pragma once

#include <cstdint>
#include <string>

#include "core/local_time.h"

namespace velmora {

class FileSystem;

// The current work unit: which client files are there, when state.sah was last written, how
// far the unit has got and how much CPU time it has used.
class TState {
 public:
  bool FolderExists = false;
  bool HasWorkUnit = false;
  bool HasState = false;
  bool HasResult = false;
  bool HasTempResult = false;
  bool Unreachable = false;  // the folder could not be reached: nothing else is known
  LocalDateTime StateTime;  // set only when HasState
  double Progress = -1;     // "prog=" x 100
  double CpuTime = -1;      // "cpu=", seconds
  // What tells one unit from the next and when its result came: work_unit.sah's size and
  // last-write time, result.sah's last-write time (seconds since 1970, UTC); -1 when unknown.
  std::int64_t WorkUnitSize = -1;
  std::int64_t WorkUnitSeconds = -1;
  std::int64_t ResultSeconds = -1;

  // True exactly when the folder exists and state.sah gave at least one line.
  bool Load(FileSystem& fs, const std::string& folder);
};

// The user's lifetime totals from user_info.sah.
class TUserInfo {
 public:
  bool FolderExists = false;
  bool HasUserInfo = false;
  bool Unreachable = false;  // the folder could not be reached: nothing else is known
  std::string UserName;
  std::int32_t ResultCount = -1;
  double TotalCpu = -1;

  // True exactly when the folder exists and user_info.sah gave at least one line.
  bool Load(FileSystem& fs, const std::string& folder);
};

}  // namespace velmora

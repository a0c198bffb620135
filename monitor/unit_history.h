// Which work units a location has finished, told from the looks at its folder, each unit once.
//
// A unit is told by its work_unit.sah (size and last-write time). It has finished when
// result.sah appears, at result.sah's time. A result that came and went between two looks
// leaves only a new work_unit.sah behind: the old unit counts as finished (at the time the new
// one was first seen, marked approximate) when it was last seen at 95 % or more, and as
// abandoned below that.
//
// The client rewrites state.sah in place, so a look may find it empty or half written. A look
// that gives no progress, or a lower one, for the same unit changes nothing until the next
// look confirms it. Only work_unit.sah tells a new unit, never the progress.
//
// This model remembers only what it saw in this run; the store keeps a unit once across runs
// and instances (it knows a unit by its location and result time, and by its work unit).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace velmora {

// One look at a location's folder, as the history needs it. Times are seconds since 1970, UTC.
struct UnitSighting {
  std::string location;
  std::int64_t seenAt = 0;
  bool folderExists = false;
  bool hasState = false;
  std::int64_t workUnitSize = -1;  // -1: no work_unit.sah
  std::int64_t workUnitSeconds = -1;
  std::int64_t resultSeconds = -1;  // -1: no result.sah
  double progress = -1;             // percent; -1 when state.sah gave none
  double cpu = -1;                  // seconds; -1 when state.sah gave none
};

// How a finish was seen: while Velmora watched the unit in work, only afterwards (its result
// was already there), or guessed from a new unit replacing one that was nearly done.
enum class FinishSeen : int { kAtEnd = 0, kAfterEnd = 1, kApproximate = 2 };

struct FinishedUnit {
  std::string location;
  std::int64_t finished = 0;  // seconds since 1970, UTC
  // The unit's work_unit.sah; -1 when it was never seen (a result found with no work unit).
  std::int64_t unitSeconds = -1;
  std::int64_t unitSize = -1;
  std::int64_t cpuSeconds = -1;   // the last "cpu=" seen for it; -1 when none was
  std::int64_t tookSeconds = -1;  // wall clock from when it was first seen in work; -1: not seen start
  FinishSeen seen = FinishSeen::kAtEnd;

  bool operator==(const FinishedUnit&) const = default;
};

class UnitHistory {
 public:
  static constexpr double kNearlyDonePercent = 95;

  // The units this look shows finished, in the order they finished.
  std::vector<FinishedUnit> Observe(const UnitSighting& sighting);

 private:
  struct Unit {
    std::int64_t seconds = -1;
    std::int64_t size = -1;
    std::int64_t firstSeen = 0;
    bool sawStart = false;    // it appeared while its location was watched
    bool seenInWork = false;  // seen at least once with no result beside it
    bool finished = false;
    double progress = -1;
    double cpu = -1;
    bool held = false;  // the last look looked torn: the next one decides
  };
  struct Watched {
    bool seenBefore = false;
    std::optional<Unit> unit;
    std::int64_t lastResult = -1;  // result.sah time of the last finish told
  };

  static void Follow(Unit& unit, const UnitSighting& sighting);
  static FinishedUnit Finish(const std::string& location, const Unit& unit, std::int64_t at, FinishSeen seen);

  std::unordered_map<std::string, Watched> watched_;
};

}  // namespace velmora

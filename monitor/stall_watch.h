// Which locations have stopped making progress, and what changed since the last look, without a
// window and without a clock of its own: the caller hands in what each row shows after a pass,
// with the time of that pass, and gets back the rows that became stalled, that stopped being
// stalled and whose result became ready.
//
// A row is stalled when it is enabled, in work (work unit and state file present, no result),
// not late, and its state file's time has not changed for longer than the stall time. Time is
// measured on this computer's steady clock from the observation at which the state time was
// last seen to change, since the client may run on a machine whose clock differs. The rules:
//
// - Watching starts at a row's first observation, which counts as a change: a row watched for
//   less than the stall time is never stalled, and a result already there raises no alert.
// - Any difference in the state time is a change, a time that moves backwards included (the
//   client's clock was set back, or the folder was restored). So is entering work: the unit
//   arriving is progress, whatever the state file says.
// - A late observation (the row's read is overdue) says nothing about the folder: its other
//   fields are ignored, the row is not stalled while late, and its clock and last values stay
//   as they were. An answer after lateness with the same state time therefore continues the old
//   clock and may be stalled at once; a different time is a change. A late first observation
//   starts nothing.
// - A disabled row is not watched: its observation forgets it, and re-enabling starts anew, like
//   a first observation. Removed rows are forgotten with Forget.
// - A stall is announced once per state time: a row that stops being stalled while late and
//   is stalled again with the same state time is reported as stalled again, but not alerted.
// - The clock may jump: after the computer slept, or while spying was off, no pass ran and
//   nothing can be said about that time. When more than the stall time plus two refresh
//   intervals pass between two Observe calls, the clock of every watched row that is not
//   stalled restarts at the later call. A row already stalled before the gap stays stalled.
//   With one Observe call per pass (an empty one when nothing answered) the gaps are about an
//   interval, whatever single folders do.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "core/local_time.h"

namespace velmora {

// What one row shows after an answer (or that its answer is overdue).
struct StallObservation {
  std::uint64_t id = 0;  // the row's id, stable while the row lives
  bool enabled = true;
  bool inWork = false;      // work unit and state file present, no result
  LocalDateTime stateTime;  // unset when the state file is missing
  bool late = false;        // its read has been out longer than an interval
  bool hasResult = false;
};

struct StallTimes {
  std::chrono::minutes stallTime{20};         // below a minute counts as one minute
  std::chrono::milliseconds interval{15000};  // the refresh interval
};

// Row ids, in the order of the observations that caused them.
struct StallTransitions {
  // IsStalled turned true or false: what a view repaints.
  std::vector<std::uint64_t> stalled;
  std::vector<std::uint64_t> unstalled;
  // What deserves a notice: rows stalled for the first time since their state time last
  // changed, and rows that hold a result now and held none at their previous observation.
  std::vector<std::uint64_t> stallAlerts;
  std::vector<std::uint64_t> resultAlerts;

  bool Empty() const {
    return stalled.empty() && unstalled.empty() && stallAlerts.empty() && resultAlerts.empty();
  }
};

class StallWatch {
 public:
  using SteadyTime = std::chrono::steady_clock::time_point;

  // One batch: every row of a pass that has been shown (late rows with `late` set), or a single
  // late answer. `now` is the steady time of the batch and `wall` the local wall time beside it,
  // kept for "No progress since". Rows not in `rows` are left as they are.
  StallTransitions Observe(std::span<const StallObservation> rows,
                           SteadyTime now,
                           const LocalDateTime& wall,
                           const StallTimes& times);
  // The row was removed. Nothing is reported for it.
  void Forget(std::uint64_t id);

  bool IsStalled(std::uint64_t id) const;
  // The local time at which the row was last seen to change (or first seen), while it is stalled.
  std::optional<LocalDateTime> NoProgressSince(std::uint64_t id) const;
  std::size_t StalledCount() const;

 private:
  struct Watched {
    LocalDateTime stateTime;
    bool inWork = false;
    bool hasResult = false;
    SteadyTime clockStart;  // the last change, or the restart after a gap
    LocalDateTime changedWall;
    std::uint64_t change = 0;     // counts the changes seen
    std::uint64_t announced = 0;  // the change whose stall was alerted; 0: none
    bool stalled = false;
  };

  void RestartAfterGap(SteadyTime now);
  void ObserveOne(const StallObservation& row,
                  SteadyTime now,
                  const LocalDateTime& wall,
                  std::chrono::steady_clock::duration stallTime,
                  StallTransitions& out);

  std::map<std::uint64_t, Watched> rows_;
  std::optional<SteadyTime> lastBatch_;
};

}  // namespace velmora

// When a unit in work will reach 100 %, from the rate at which its progress has moved on this
// computer's clock. The client may run on a machine whose clock differs, and its CPU time says
// nothing of how busy that machine is, so only what Velmora itself saw counts.
//
// A reading is kept when the progress moves (the time is when Velmora first saw that value), so a
// pass that finds nothing new changes nothing. The rate is the progress made over the last two
// fifths of the time watched: long enough to smooth a speed that varies from minute to minute,
// short enough to follow a machine that slows down for good (a slow-down is all the rate sees
// once the unit has run half as long again). Nothing honest can be said, and no time is given,
// with fewer than two readings or under a minute watched since the unit started. A new unit
// (progress going down, or no state file) starts afresh.
//
// The client rewrites state.sah in place, so one read may fall between the truncation and the
// writing and find no progress, or half a number. Such a read (no progress from a state file
// that is there, or a progress below the latest) is held: it changes nothing unless the next
// read confirms it, and a read that carries on from the latest drops it.
//
// At most kMaxReadings readings are kept: when full, the one whose neighbours stand closest
// together goes, so the kept ones stay about evenly spread over the time watched.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/local_time.h"

namespace velmora {

class FinishEstimate {
 public:
  using SteadyTime = std::chrono::steady_clock::time_point;
  static constexpr std::size_t kMaxReadings = 32;

  // `progress` in 0..1; below 0 when the state file gave none. `stateThere`: the state file was
  // found, so a missing progress may be a torn read. True when the estimate changed.
  bool Observe(SteadyTime now, double progress, bool stateThere = false);
  void Reset() {
    readings_.clear();
    held_.reset();
  }

  // Time still to go after the latest reading; none when nothing honest can be said.
  std::optional<std::chrono::seconds> RemainingAfterLatest() const;
  SteadyTime LatestTime() const { return readings_.empty() ? SteadyTime{} : readings_.back().time; }
  std::size_t ReadingCount() const { return readings_.size(); }

 private:
  struct Reading {
    SteadyTime time;
    double progress;
  };
  // Progress at `time`, between the readings around it.
  double ProgressAt(SteadyTime time) const;

  // Starts afresh from the held reading and the one that confirmed it.
  void RestartConfirmed(SteadyTime now, double progress);

  std::vector<Reading> readings_;
  std::optional<Reading> held_;  // a read that looked like a new unit, until the next confirms it
};

// "hh:nn" when `finish` falls on the day of `today`, "mm.dd hh:nn" later that year, "yyyy.mm.dd
// hh:nn" in a later year; empty when it lies more than a year after `today`.
std::string FormatFinish(const LocalDateTime& finish, const LocalDateTime& today);
// `time` moved on by `seconds` (0 or more), across days, months and years.
LocalDateTime AddSeconds(const LocalDateTime& time, long long seconds);

}  // namespace velmora

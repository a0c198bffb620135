#include "monitor/stall_watch.h"

#include <algorithm>

namespace velmora {

StallTransitions StallWatch::Observe(std::span<const StallObservation> rows,
                                     SteadyTime now,
                                     const LocalDateTime& wall,
                                     const StallTimes& times) {
  const std::chrono::steady_clock::duration stallTime = std::max(times.stallTime, std::chrono::minutes(1));
  const std::chrono::steady_clock::duration interval = std::max(times.interval, std::chrono::milliseconds(0));
  // A clock that went backwards cannot come from the steady clock; it is treated as a gap too.
  if (lastBatch_ && (now - *lastBatch_ > stallTime + 2 * interval || now < *lastBatch_))
    RestartAfterGap(now);
  lastBatch_ = now;

  StallTransitions out;
  for (const StallObservation& row : rows)
    ObserveOne(row, now, wall, stallTime, out);
  return out;
}

void StallWatch::RestartAfterGap(SteadyTime now) {
  for (auto& [id, watched] : rows_) {
    if (!watched.stalled)
      watched.clockStart = now;
  }
}

void StallWatch::ObserveOne(const StallObservation& row,
                            SteadyTime now,
                            const LocalDateTime& wall,
                            std::chrono::steady_clock::duration stallTime,
                            StallTransitions& out) {
  auto found = rows_.find(row.id);
  if (!row.enabled) {
    if (found != rows_.end()) {
      if (found->second.stalled)
        out.unstalled.push_back(row.id);
      rows_.erase(found);
    }
    return;
  }
  if (row.late) {
    // Nothing is known of the folder: the clock and the last values stay for the answer.
    if (found != rows_.end() && found->second.stalled) {
      found->second.stalled = false;
      out.unstalled.push_back(row.id);
    }
    return;
  }
  if (found == rows_.end()) {
    Watched first;
    first.stateTime = row.stateTime;
    first.inWork = row.inWork;
    first.hasResult = row.hasResult;
    first.clockStart = now;
    first.changedWall = wall;
    first.change = 1;
    rows_.emplace(row.id, first);
    return;
  }

  Watched& watched = found->second;
  if (row.hasResult && !watched.hasResult)
    out.resultAlerts.push_back(row.id);
  if (row.stateTime != watched.stateTime || (row.inWork && !watched.inWork)) {
    watched.clockStart = now;
    watched.changedWall = wall;
    ++watched.change;
  }
  watched.stateTime = row.stateTime;
  watched.inWork = row.inWork;
  watched.hasResult = row.hasResult;

  const bool stalled = row.inWork && now - watched.clockStart > stallTime;
  if (stalled == watched.stalled)
    return;
  watched.stalled = stalled;
  if (!stalled) {
    out.unstalled.push_back(row.id);
    return;
  }
  out.stalled.push_back(row.id);
  if (watched.announced != watched.change) {
    watched.announced = watched.change;
    out.stallAlerts.push_back(row.id);
  }
}

void StallWatch::Forget(std::uint64_t id) {
  rows_.erase(id);
}

bool StallWatch::IsStalled(std::uint64_t id) const {
  const auto found = rows_.find(id);
  return found != rows_.end() && found->second.stalled;
}

std::optional<LocalDateTime> StallWatch::NoProgressSince(std::uint64_t id) const {
  const auto found = rows_.find(id);
  if (found == rows_.end() || !found->second.stalled)
    return std::nullopt;
  return found->second.changedWall;
}

std::size_t StallWatch::StalledCount() const {
  return static_cast<std::size_t>(
      std::count_if(rows_.begin(), rows_.end(), [](const auto& entry) { return entry.second.stalled; }));
}

}  // namespace velmora

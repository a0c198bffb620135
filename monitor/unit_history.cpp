#include "monitor/unit_history.h"

#include <algorithm>
#include <cmath>

namespace velmora {

std::vector<FinishedUnit> UnitHistory::Observe(const UnitSighting& sighting) {
  // A folder that cannot be seen says nothing about its units (a share may be away a while).
  if (!sighting.folderExists)
    return {};
  Watched& watched = watched_[sighting.location];
  const bool firstLook = !watched.seenBefore;
  watched.seenBefore = true;

  std::vector<FinishedUnit> done;
  const bool hasWorkUnit = sighting.workUnitSeconds >= 0 || sighting.workUnitSize >= 0;
  if (hasWorkUnit && (!watched.unit || watched.unit->seconds != sighting.workUnitSeconds ||
                      watched.unit->size != sighting.workUnitSize)) {
    const std::optional<Unit>& old = watched.unit;
    if (old && !old->finished && old->progress >= kNearlyDonePercent)
      done.push_back(Finish(sighting.location, *old, sighting.seenAt, FinishSeen::kApproximate));
    Unit fresh;
    fresh.seconds = sighting.workUnitSeconds;
    fresh.size = sighting.workUnitSize;
    fresh.firstSeen = sighting.seenAt;
    fresh.sawStart = !firstLook;
    watched.unit = fresh;
  }
  if (watched.unit && !watched.unit->finished)
    Follow(*watched.unit, sighting);

  if (sighting.resultSeconds < 0) {
    if (watched.unit && !watched.unit->finished)
      watched.unit->seenInWork = true;
    return done;
  }
  // A result that waits is told once, however many looks find it.
  if (sighting.resultSeconds == watched.lastResult)
    return done;
  watched.lastResult = sighting.resultSeconds;
  if (!watched.unit) {
    // A result found with no work unit ever seen here: Velmora started (or the location was
    // added) while it waited.
    Unit unknown;
    if (sighting.hasState)
      unknown.cpu = sighting.cpu;
    done.push_back(Finish(sighting.location, unknown, sighting.resultSeconds, FinishSeen::kAfterEnd));
  } else if (!watched.unit->finished) {
    const FinishSeen seen = watched.unit->seenInWork ? FinishSeen::kAtEnd : FinishSeen::kAfterEnd;
    done.push_back(Finish(sighting.location, *watched.unit, sighting.resultSeconds, seen));
    watched.unit->finished = true;
  }
  return done;
}

void UnitHistory::Follow(Unit& unit, const UnitSighting& sighting) {
  if (!sighting.hasState)
    return;
  const bool looksTorn = sighting.progress < 0 || sighting.progress < unit.progress;
  if (looksTorn && !unit.held) {
    unit.held = true;
    return;
  }
  // Either it carries on from the last look, or a second look in a row confirmed the change.
  unit.held = false;
  if (sighting.progress >= 0)
    unit.progress = sighting.progress;
  if (sighting.cpu >= 0)
    unit.cpu = sighting.cpu;
}

FinishedUnit UnitHistory::Finish(const std::string& location,
                                 const Unit& unit,
                                 std::int64_t at,
                                 FinishSeen seen) {
  FinishedUnit finished;
  finished.location = location;
  finished.finished = at;
  finished.unitSeconds = unit.seconds;
  finished.unitSize = unit.size;
  finished.cpuSeconds = unit.cpu >= 0 ? std::llround(unit.cpu) : -1;
  finished.tookSeconds = unit.sawStart ? std::max<std::int64_t>(0, at - unit.firstSeen) : -1;
  finished.seen = seen;
  return finished;
}

}  // namespace velmora

// Which units a location finished, from a run of looks at its folder.
#include "monitor/unit_history.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

constexpr std::int64_t kNone = -1;
constexpr std::int64_t kSize = 4096;  // every work unit here has this size

struct Look {
  std::int64_t at;
  std::int64_t workUnit;  // its time; kNone: no work_unit.sah
  double percent;         // kNone: state.sah gave no progress
  std::int64_t result = kNone;
  double cpu = kNone;
};

UnitSighting SightingOf(const Look& look) {
  UnitSighting sighting;
  sighting.location = "C:\\seti";
  sighting.seenAt = look.at;
  sighting.folderExists = true;
  sighting.hasState = true;
  sighting.workUnitSeconds = look.workUnit;
  sighting.workUnitSize = look.workUnit == kNone ? kNone : kSize;
  sighting.resultSeconds = look.result;
  sighting.progress = look.percent;
  sighting.cpu = look.cpu;
  return sighting;
}

FinishedUnit Unit(std::int64_t finished,
                  std::int64_t workUnit,
                  std::int64_t cpu,
                  std::int64_t took,
                  FinishSeen seen) {
  return {"C:\\seti", finished, workUnit, workUnit == kNone ? kNone : kSize, cpu, took, seen};
}

std::vector<FinishedUnit> Replay(UnitHistory& history, const std::vector<Look>& looks) {
  std::vector<FinishedUnit> all;
  for (const Look& look : looks) {
    std::vector<FinishedUnit> found = history.Observe(SightingOf(look));
    all.insert(all.end(), found.begin(), found.end());
  }
  return all;
}

struct HistoryCase {
  const char* name;
  std::vector<Look> looks;
  std::vector<FinishedUnit> finished;
};

TEST(UnitHistoryTest, EachFinishedUnitIsToldOnce) {
  const std::int64_t a = 1000;
  const std::int64_t b = 2000;
  const HistoryCase cases[] = {
      {"SeenAtItsEnd",
       {{0, kNone, kNone},
        {10, a, 1, kNone, 5},
        {70, a, 99, kNone, 700},
        {100, kNone, 100, kNone, 720},
        {130, kNone, 100, 115, 720},
        {160, kNone, 100, 115, 720}},
       {Unit(115, a, 720, 105, FinishSeen::kAtEnd)}},
      {"FoundAtStart",
       {{0, kNone, 100, 50, 3600}, {30, kNone, 100, 50, 3600}},
       {Unit(50, kNone, 3600, kNone, FinishSeen::kAfterEnd)}},
      {"FoundAtStartBesideItsWorkUnit",
       {{0, a, 100, 50, 3600}, {30, a, 100, 50, 3600}, {60, b, 0}},
       {Unit(50, a, 3600, kNone, FinishSeen::kAfterEnd)}},
      {"MissedWithANewUnitAt96",
       {{0, a, 90, kNone, 900}, {60, a, 96, kNone, 960}, {120, b, 0, kNone, 0}},
       {Unit(120, a, 960, kNone, FinishSeen::kApproximate)}},
      {"MissedWithANewUnitAt40", {{0, a, 30}, {60, a, 40}, {120, b, 0}, {180, b, 1}}, {}},
      {"EmptyReadBeforeTheNewUnit",
       {{0, a, 96, kNone, 960}, {60, a, kNone}, {120, b, 0}},
       {Unit(120, a, 960, kNone, FinishSeen::kApproximate)}},
      {"HalfWrittenNumberBeforeTheNewUnit",
       {{0, a, 96, kNone, 960}, {60, a, 9, kNone, 96}, {120, b, 0}},
       {Unit(120, a, 960, kNone, FinishSeen::kApproximate)}},
      {"LowerProgressConfirmed", {{0, a, 96}, {60, a, 2}, {90, a, 3}, {120, b, 0}}, {}},
      {"TornReadsAroundTheResult",
       {{0, kNone, kNone},
        {10, a, 50},
        {40, a, kNone},
        {70, a, 99, kNone, 800},
        {100, a, kNone, 90},
        {130, a, 100, 90, 810},
        {160, b, kNone},
        {190, b, 1}},
       {Unit(90, a, 800, 80, FinishSeen::kAtEnd)}},
      {"TwoUnitsInARow",
       {{0, kNone, kNone},
        {10, a, 1},
        {20, kNone, 100, 25, 60},
        {30, b, 0},
        {40, b, 50},
        {50, kNone, 100, 55, 70}},
       {Unit(25, a, 60, 15, FinishSeen::kAtEnd), Unit(55, b, 70, 25, FinishSeen::kAtEnd)}}};
  for (const HistoryCase& c : cases) {
    UnitHistory history;
    EXPECT_EQ(Replay(history, c.looks), c.finished) << c.name;
  }
}

// A second Velmora, or the same one started again while a result waits, knows a unit by the
// same result time and work unit as the first, so the store keeps it once.
TEST(UnitHistoryTest, AnotherWatcherTellsTheSameUnit) {
  const std::int64_t a = 1000;
  const std::vector<Look> first = {{0, kNone, kNone}, {10, a, 50}, {40, kNone, 100, 35, 400}};
  const std::vector<std::vector<Look>> others = {
      {{20, a, 60}, {50, kNone, 100, 35, 400}},  // a second window, started later
      {{45, kNone, 100, 35, 400}},               // started again while the result waits
  };
  UnitHistory history;
  const std::vector<FinishedUnit> told = Replay(history, first);
  ASSERT_EQ(told.size(), 1u);
  for (const std::vector<Look>& looks : others) {
    UnitHistory other;
    const std::vector<FinishedUnit> again = Replay(other, looks);
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].location, told[0].location);
    EXPECT_EQ(again[0].finished, told[0].finished);
  }
}

TEST(UnitHistoryTest, AFolderOutOfSightChangesNothing) {
  UnitHistory history;
  const std::int64_t a = 1000;
  Replay(history, {{0, a, 97}});
  UnitSighting away = SightingOf({60, kNone, kNone});
  away.folderExists = false;
  EXPECT_TRUE(history.Observe(away).empty());
  EXPECT_TRUE(Replay(history, {{90, a, 98}}).empty());
}

}  // namespace
}  // namespace velmora

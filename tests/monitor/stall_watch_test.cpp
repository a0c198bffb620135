// The stall rule, driven by a clock of the test's own: each case is a script of batches at given
// times, with the transitions each batch must report and the rows stalled after it.
#include "monitor/stall_watch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/named_rows.h"

namespace velmora {
namespace {

using std::chrono::minutes;
using std::chrono::seconds;
using testing::PrintTo;
using testing::RowName;
using Ids = std::vector<std::uint64_t>;

// The client's state file time, `minute` minutes after 10:00 on the client's own clock.
LocalDateTime StateAt(int minute) {
  return LocalDateTime{2024, 5, 17, 10 + minute / 60, minute % 60, 0};
}

StallObservation Work(std::uint64_t id, int stateMinute) {
  return StallObservation{id, true, true, StateAt(stateMinute), false, false};
}
StallObservation Ready(std::uint64_t id, int stateMinute) {
  return StallObservation{id, true, false, StateAt(stateMinute), false, true};
}
// The state file is there, but neither a unit nor a result: the client is between units.
StallObservation Idle(std::uint64_t id, int stateMinute) {
  return StallObservation{id, true, false, StateAt(stateMinute), false, false};
}
// A late row: what the table still shows for it is passed on, and must not count.
StallObservation Late(std::uint64_t id, int stateMinute) {
  return StallObservation{id, true, true, StateAt(stateMinute), true, false};
}
StallObservation Disabled(std::uint64_t id, int stateMinute) {
  return StallObservation{id, false, true, StateAt(stateMinute), false, false};
}

struct Batch {
  seconds at;  // steady time since the start of the script
  std::vector<StallObservation> rows;
  Ids stalled = {};
  Ids unstalled = {};
  Ids stallAlerts = {};
  Ids resultAlerts = {};
  Ids stalledAfter = {};  // every row stalled after the batch, ascending
  std::vector<std::uint64_t> forgetAfter = {};
};

struct ScriptCase {
  const char* name;
  std::vector<Batch> batches;
  StallTimes times = {minutes(20), minutes(1)};
};

seconds Min(int m) {
  return minutes(m);
}

class StallScriptTest : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(StallScriptTest, ReportsTheTransitionsOfEachBatch) {
  const std::chrono::steady_clock::time_point start{std::chrono::hours(1000)};
  StallWatch watch;
  for (std::size_t i = 0; i < GetParam().batches.size(); ++i) {
    const Batch& batch = GetParam().batches[i];
    SCOPED_TRACE("batch " + std::to_string(i) + " at " + std::to_string(batch.at.count()) + " s");
    const LocalDateTime wall{2024, 5, 17, 20, static_cast<int>(batch.at.count() / 60 % 60), 0};
    const StallTransitions out = watch.Observe(batch.rows, start + batch.at, wall, GetParam().times);
    EXPECT_EQ(std::tie(out.stalled, out.unstalled, out.stallAlerts, out.resultAlerts),
              std::tie(batch.stalled, batch.unstalled, batch.stallAlerts, batch.resultAlerts));
    Ids stalledNow;
    for (std::uint64_t id = 1; id <= 4; ++id) {
      if (watch.IsStalled(id))
        stalledNow.push_back(id);
    }
    EXPECT_EQ(std::tuple(stalledNow, watch.StalledCount()),
              std::tuple(batch.stalledAfter, batch.stalledAfter.size()));
    for (std::uint64_t id : batch.forgetAfter)
      watch.Forget(id);
  }
}

// Unless a case says otherwise the stall time is 20 minutes and the interval one minute, so a
// gap is a pause of more than 22 minutes between two batches.
const ScriptCase kScripts[] = {
    {"StalledOnlyAfterMoreThanTheStallTime",
     {{Min(0), {Work(1, 0)}},
      {Min(10), {Work(1, 0)}},
      {Min(20), {Work(1, 0)}},
      {Min(20) + seconds(1), {Work(1, 0)}, {1}, {}, {1}, {}, {1}},
      {Min(25), {Work(1, 0)}, {}, {}, {}, {}, {1}}}},
    // The state time was old already at start-up: the clock runs from the first look.
    {"FirstObservationStartsTheClock",
     {{Min(0), {Work(1, -300)}},
      {Min(5), {Work(1, -300)}},
      {Min(15), {Work(1, -300)}},
      {Min(20), {Work(1, -300)}},
      {Min(21), {Work(1, -300)}, {1}, {}, {1}, {}, {1}}}},
    {"AChangeRestartsTheClockAndEndsTheStall",
     {{Min(0), {Work(1, 0)}},
      {Min(15), {Work(1, 14)}},
      {Min(30), {Work(1, 14)}},
      {Min(36), {Work(1, 14)}, {1}, {}, {1}, {}, {1}},
      {Min(40), {Work(1, 38)}, {}, {1}, {}, {}, {}},
      {Min(55), {Work(1, 38)}},
      {Min(61), {Work(1, 38)}, {1}, {}, {1}, {}, {1}}}},
    {"StateTimeMovingBackwardsIsAChange",
     {{Min(0), {Work(1, 30)}},
      {Min(15), {Work(1, 5)}},
      {Min(30), {Work(1, 5)}},
      {Min(36), {Work(1, 5)}, {1}, {}, {1}, {}, {1}},
      {Min(40), {Work(1, 2)}, {}, {1}, {}, {}, {}}}},
    {"NotInWorkNeverStalls",
     {{Min(0), {Ready(1, 0), Idle(2, 0), {3, true, false, {}, false, false}}},
      {Min(15), {Ready(1, 0), Idle(2, 0), {3, true, false, {}, false, false}}},
      {Min(30), {Ready(1, 0), Idle(2, 0), {3, true, false, {}, false, false}}},
      {Min(45), {Ready(1, 0), Idle(2, 0), {3, true, false, {}, false, false}}}}},
    // The unit arriving is progress, even when the state file has not been written yet.
    {"EnteringWorkRestartsTheClock",
     {{Min(0), {Idle(1, 0)}},
      {Min(15), {Idle(1, 0)}},
      {Min(30), {Work(1, 0)}},
      {Min(45), {Work(1, 0)}},
      {Min(50), {Work(1, 0)}},
      {Min(51), {Work(1, 0)}, {1}, {}, {1}, {}, {1}}}},
    {"LateRowIsNotStalledAndItsClockKeepsRunning",
     {{Min(0), {Work(1, 0)}},
      {Min(10), {Work(1, 0)}},
      {Min(15), {Late(1, 0)}},
      {Min(20), {Late(1, 0)}},
      {Min(25), {Late(1, 0)}},
      // The answer with the same time: no progress since minute 0.
      {Min(26), {Work(1, 0)}, {1}, {}, {1}, {}, {1}}}},
    {"LateValuesAreNotTakenAsAChange",
     {{Min(0), {Work(1, 0)}}, {Min(10), {Late(1, 7)}}, {Min(21), {Work(1, 0)}, {1}, {}, {1}, {}, {1}}}},
    {"AnswerAfterLatenessWithANewTimeIsAChange",
     {{Min(0), {Work(1, 0)}},
      {Min(15), {Late(1, 0)}},
      {Min(25), {Work(1, 24)}},
      {Min(45), {Work(1, 24)}},
      {Min(46), {Work(1, 24)}, {1}, {}, {1}, {}, {1}}}},
    // A stall interrupted by lateness is shown again but not announced again.
    {"StallSeenAgainAfterLatenessIsNotAlertedTwice",
     {{Min(0), {Work(1, 0)}},
      {Min(21), {Work(1, 0)}, {1}, {}, {1}, {}, {1}},
      {Min(22), {Late(1, 0)}, {}, {1}, {}, {}, {}},
      {Min(23), {Work(1, 0)}, {1}, {}, {}, {}, {1}},
      {Min(24), {Work(1, 23)}, {}, {1}, {}, {}, {}},
      {Min(45), {Work(1, 23)}, {1}, {}, {1}, {}, {1}}}},
    {"LateFirstObservationStartsNothing",
     {{Min(0), {Late(1, 0), {2, true, true, {}, true, true}}},
      {Min(5), {Work(1, 0), Ready(2, 0)}},
      {Min(21), {Work(1, 0), Ready(2, 0)}},
      {Min(26), {Work(1, 0), Ready(2, 0)}, {1}, {}, {1}, {}, {1}}}},
    {"DisablingForgetsAndReenablingStartsAnew",
     {{Min(0), {Work(1, 0), Ready(2, 0)}},
      {Min(21), {Work(1, 0), Ready(2, 0)}, {1}, {}, {1}, {}, {1}},
      {Min(22), {Disabled(1, 0), {2, false, false, StateAt(0), false, true}}, {}, {1}, {}, {}, {}},
      {Min(30), {Disabled(1, 0), {2, false, false, StateAt(0), false, true}}},
      // Back on: no result alert for what was there, and a fresh clock.
      {Min(31), {Work(1, 0), Ready(2, 0)}},
      {Min(51), {Work(1, 0), Ready(2, 0)}},
      {Min(52), {Work(1, 0), Ready(2, 0)}, {1}, {}, {1}, {}, {1}}}},
    {"DisabledRowNeverStallsOrAlerts",
     {{Min(0), {Disabled(1, 0)}},
      {Min(15), {Disabled(1, 0), {2, false, false, StateAt(0), false, true}}},
      {Min(30), {Disabled(1, 0), {2, false, false, StateAt(0), false, true}}}}},
    {"ResultAlertOnlyWhenAResultAppears",
     {{Min(0), {Work(1, 0), Ready(2, 0)}},
      {Min(1), {Ready(1, 1), Ready(2, 0)}, {}, {}, {}, {1}, {}},
      {Min(2), {Ready(1, 1), Ready(2, 0)}},
      {Min(3), {Work(1, 3), Work(2, 3)}},
      {Min(4), {Ready(1, 4), Ready(2, 4)}, {}, {}, {}, {1, 2}, {}}}},
    // A late look at a row with a result says nothing: the result is not new afterwards.
    {"LatenessDoesNotMakeAResultNew",
     {{Min(0), {Ready(1, 0)}},
      {Min(1), {{1, true, false, StateAt(0), true, false}}},
      {Min(2), {Ready(1, 0)}}}},
    {"AStalledRowWhoseResultAppears",
     {{Min(0), {Work(1, 0)}},
      {Min(21), {Work(1, 0)}, {1}, {}, {1}, {}, {1}},
      {Min(22), {Ready(1, 0)}, {}, {1}, {}, {1}, {}}}},
    // After the computer slept (or spying was off) every row gets a fresh clock.
    {"ClockJumpDoesNotStallEveryRowAtOnce",
     {{Min(0), {Work(1, 0), Work(2, 0)}},
      {Min(5), {Work(1, 0), Work(2, 5)}},
      {Min(8 * 60), {Work(1, 0), Work(2, 5)}},
      {Min(8 * 60 + 20), {Work(1, 0), Work(2, 5)}},
      {Min(8 * 60 + 21), {Work(1, 0), Work(2, 5)}, {1, 2}, {}, {1, 2}, {}, {1, 2}}}},
    {"RowStalledBeforeAJumpStaysStalled",
     {{Min(0), {Work(1, 0), Work(2, 0)}},
      {Min(15), {Work(1, 0), Work(2, 14)}},
      {Min(21), {Work(1, 0), Work(2, 14)}, {1}, {}, {1}, {}, {1}},
      {Min(9 * 60), {Work(1, 0), Work(2, 14)}, {}, {}, {}, {}, {1}},
      {Min(9 * 60 + 21), {Work(1, 0), Work(2, 14)}, {2}, {}, {2}, {}, {1, 2}}}},
    // The jump is between batches, not between looks at one row: while other rows keep the
    // batches coming, a row looked at again after 25 minutes is stalled.
    {"BatchesWithoutTheRowAreNoGap",
     {{Min(0), {Work(1, 0)}},
      {Min(5), {}},
      {Min(10), {Work(2, 10)}},
      {Min(15), {}},
      {Min(20), {}},
      {Min(25), {Work(1, 0)}, {1}, {}, {1}, {}, {1}}}},
    {"SameLooksWithoutBatchesBetweenAreAGap",
     {{Min(0), {Work(1, 0)}},
      {Min(25), {Work(1, 0)}},
      {Min(45), {Work(1, 0)}},
      {Min(46), {Work(1, 0)}, {1}, {}, {1}, {}, {1}}}},
    // The gap grows with the interval, so an interval longer than the stall time still stalls.
    {"LongIntervalIsNoGap",
     {{Min(0), {Work(1, 0)}}, {Min(60), {Work(1, 0)}, {1}, {}, {1}, {}, {1}}},
     StallTimes{minutes(20), minutes(60)}},
    {"OneMinuteStallTime",
     {{seconds(0), {Work(1, 0)}},
      {seconds(60), {Work(1, 0)}},
      {seconds(61), {Work(1, 0)}, {1}, {}, {1}, {}, {1}}},
     StallTimes{minutes(1), seconds(15)}},
    {"StallTimeBelowAMinuteCountsAsOne",
     {{seconds(0), {Work(1, 0)}},
      {seconds(30), {Work(1, 0)}},
      {seconds(60), {Work(1, 0)}},
      {seconds(61), {Work(1, 0)}, {1}, {}, {1}, {}, {1}}},
     StallTimes{minutes(0), seconds(15)}},
    {"ForgottenRowStartsAnewWhenSeenAgain",
     {{Min(0), {Work(1, 0), Work(2, 0)}},
      {Min(21), {Work(1, 0), Work(2, 0)}, {1, 2}, {}, {1, 2}, {}, {1, 2}, {1}},
      {Min(22), {Work(2, 0)}, {}, {}, {}, {}, {2}},
      {Min(23), {Ready(1, 0), Work(2, 0)}, {}, {}, {}, {}, {2}}}},
    {"TransitionsComeInTheOrderOfTheRows",
     {{Min(0), {Work(3, 0), Work(1, 0), Work(2, 0)}},
      {Min(21), {Work(3, 0), Work(1, 0), Ready(2, 21)}, {3, 1}, {}, {3, 1}, {2}, {1, 3}}}},
};

INSTANTIATE_TEST_SUITE_P(Scripts, StallScriptTest, ::testing::ValuesIn(kScripts), RowName());

// The tip's time is that of the batch at which the change was seen, kept across a jump.
TEST(StallWatchTest, NoProgressSinceIsTheWallTimeOfTheLastChangeSeen) {
  const std::chrono::steady_clock::time_point start{std::chrono::hours(5)};
  const StallTimes times;
  StallWatch watch;
  const std::vector<StallObservation> first = {Work(1, 0)};
  const std::vector<StallObservation> changed = {Work(1, 9)};
  watch.Observe(first, start, LocalDateTime{2024, 5, 17, 21, 50, 0}, times);
  watch.Observe(changed, start + minutes(5), LocalDateTime{2024, 5, 17, 21, 55, 0}, times);
  EXPECT_EQ(watch.NoProgressSince(1), std::nullopt);
  // Asleep for nine hours: a fresh clock, but the last change seen is still the one at 21:55.
  const auto awake = start + std::chrono::hours(9);
  watch.Observe(changed, awake, LocalDateTime{2024, 5, 18, 6, 55, 0}, times);
  watch.Observe(changed, awake + minutes(15), LocalDateTime{2024, 5, 18, 7, 10, 0}, times);
  EXPECT_FALSE(watch.IsStalled(1));
  watch.Observe(changed, awake + minutes(21), LocalDateTime{2024, 5, 18, 7, 16, 0}, times);
  ASSERT_TRUE(watch.IsStalled(1));
  EXPECT_EQ(std::tuple(watch.NoProgressSince(1), watch.NoProgressSince(2)),
            std::tuple(LocalDateTime{2024, 5, 17, 21, 55, 0}, std::nullopt));
}

}  // namespace
}  // namespace velmora

// When a unit will finish, on the test's own clock; and the finish time's text.
#include "monitor/finish_estimate.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <vector>

namespace velmora {
namespace {

using namespace std::chrono_literals;
using Minutes = std::chrono::duration<double, std::ratio<60>>;

struct Reading {
  double minute;
  double percent;  // below 0: no progress to read
};

struct EstimateCase {
  const char* name;
  std::vector<Reading> readings;
  std::optional<double> minutesLeft;  // none: nothing honest to say
};

TEST(FinishEstimateTest, RemainingTimeFollowsTheRateWatched) {
  std::vector<Reading> steadyForHours;
  for (int minute = 0; minute <= 300; minute += 3)
    steadyForHours.push_back({static_cast<double>(minute), minute / 6.0});
  const EstimateCase cases[] = {
      {"SteadyProgress", {{0, 0}, {5, 5}, {10, 10}}, 90},
      {"OneReading", {{0, 40}}, std::nullopt},
      {"UnderAMinuteWatched", {{0, 10}, {0.9, 11}}, std::nullopt},
      {"ProgressThatNeverMoved", {{0, 10}, {5, 10}, {10, 10}}, std::nullopt},
      // Two fifths of the time watched are at the new speed: it alone counts.
      {"SpeedHalves",
       {{0, 0}, {10, 10}, {20, 20}, {30, 30}, {35, 32.5}, {40, 35}, {45, 37.5}, {50, 40}},
       120},
      {"NewUnitStartsAfresh", {{0, 80}, {10, 90}, {11, 1}, {11.5, 2}}, std::nullopt},
      {"NewUnitAfterAMinute", {{0, 80}, {10, 90}, {11, 1}, {12, 2}}, 98},
      {"StateFileGone", {{0, 10}, {10, 20}, {11, -1}, {11.5, 21}}, std::nullopt},
      // Thinned to the limit, the kept readings still give the rate.
      {"ManyReadings", steadyForHours, 300}};
  for (const EstimateCase& c : cases) {
    FinishEstimate estimate;
    for (const Reading& reading : c.readings)
      estimate.Observe(
          FinishEstimate::SteadyTime{} +
              std::chrono::duration_cast<std::chrono::steady_clock::duration>(Minutes(reading.minute)),
          reading.percent / 100.0);
    const std::optional<std::chrono::seconds> left = estimate.RemainingAfterLatest();
    EXPECT_LE(estimate.ReadingCount(), FinishEstimate::kMaxReadings) << c.name;
    ASSERT_EQ(left.has_value(), c.minutesLeft.has_value()) << c.name;
    if (left) {
      EXPECT_NEAR(std::chrono::duration<double>(*left).count() / 60, *c.minutesLeft, 0.05) << c.name;
    }
  }
}

TEST(FinishEstimateTest, OnlyAMovedProgressChangesTheEstimate) {
  FinishEstimate estimate;
  const auto t0 = FinishEstimate::SteadyTime{};
  EXPECT_TRUE(estimate.Observe(t0, 0.1));
  EXPECT_TRUE(estimate.Observe(t0 + 2min, 0.2));
  EXPECT_FALSE(estimate.Observe(t0 + 3min, 0.2));
  EXPECT_EQ(estimate.RemainingAfterLatest(), std::chrono::seconds(16 * 60));
  EXPECT_TRUE(estimate.Observe(t0 + 4min, -1));
  EXPECT_FALSE(estimate.Observe(t0 + 5min, -1));
}

// Reads from a state file that is there: -1 is a read that found no progress in it.
TEST(FinishEstimateTest, KeepsItsTimeThroughTornReads) {
  const std::vector<Reading> steady = {{0, 0}, {5, 5}, {10, 10}};
  const auto then = [&](std::vector<Reading> more) {
    std::vector<Reading> all = steady;
    all.insert(all.end(), more.begin(), more.end());
    return all;
  };
  const EstimateCase cases[] = {
      {"EmptyRead", then({{10.5, -1}, {11, 11}}), 89},
      {"HalfWrittenNumber", then({{10.5, 0.1}, {11, 11}}), 89},
      {"TornReadThenNoMove", then({{10.5, -1}, {11, 10}}), 90},
      {"TwoTornReadsApart", then({{10.5, -1}, {11, 11}, {11.5, 1}, {12, 12}}), 88},
      // Confirmed by the next read: a new unit, watched from the read that first showed it.
      {"NewUnitConfirmed", then({{11, 1}, {12, 2}}), 98},
      {"NoProgressConfirmed", then({{11, -1}, {12, -1}}), std::nullopt}};
  for (const EstimateCase& c : cases) {
    FinishEstimate estimate;
    bool changed = false;
    for (const Reading& reading : c.readings) {
      const auto at =
          FinishEstimate::SteadyTime{} +
          std::chrono::duration_cast<std::chrono::steady_clock::duration>(Minutes(reading.minute));
      changed = estimate.Observe(at, reading.percent / 100.0, true);
      if (reading.minute == 10.5) {
        EXPECT_FALSE(changed) << c.name;
      }
    }
    const std::optional<std::chrono::seconds> left = estimate.RemainingAfterLatest();
    ASSERT_EQ(left.has_value(), c.minutesLeft.has_value()) << c.name;
    if (left) {
      EXPECT_NEAR(std::chrono::duration<double>(*left).count() / 60, *c.minutesLeft, 0.05) << c.name;
    }
  }
}

TEST(FinishEstimateTest, FinishTimeIsTheClockTodayTheDateLaterAndNothingAYearOn) {
  // Now, the seconds to the finish, and its text.
  const std::tuple<LocalDateTime, long long, const char*> rows[] = {
      {{2024, 5, 17, 9, 41, 7}, 3600, "10:41"},
      {{2024, 5, 17, 23, 30, 0}, 29 * 60 + 59, "23:59"},
      {{2024, 5, 17, 23, 30, 0}, 30 * 60, "05.18 00:00"},
      {{2024, 2, 28, 12, 0, 0}, 86400, "02.29 12:00"},
      {{2023, 12, 31, 22, 0, 0}, 3 * 3600, "2024.01.01 01:00"},
      {{2024, 4, 30, 8, 5, 0}, 40 * 86400, "06.09 08:05"},
      {{2024, 4, 30, 8, 5, 0}, 365 * 86400, "2025.04.30 08:05"},
      {{2024, 4, 30, 8, 5, 0}, 365 * 86400 + 60, ""},
      {{2024, 5, 17, 9, 41, 0}, 7LL * 365 * 86400, ""}};
  for (const auto& [now, seconds, text] : rows)
    EXPECT_EQ(FormatFinish(AddSeconds(now, seconds), now), text) << seconds;
}

}  // namespace
}  // namespace velmora

#include "core/tools.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <cmath>
#include <cstdint>
#include <limits>

#include "core/local_time.h"

namespace velmora {
namespace {

TEST(RoundToDigits, RoundsHalvesAwayFromZero) {
  const std::tuple<double, int, double> rows[] = {
      {45.3216, 2, 45.32},
      {0.125, 2, 0.13},
      {-0.125, 2, -0.13},
      {2.5, 0, 3},
      {-2.5, 0, -3},
      {0.5, 0, 1},
      {-0.5, 0, -1},
      {1.6, -3, 2},    // negative decimals count as 0
      {0.5, 25, 0.5},  // more than 19 decimals count as 19
      {0.125, 19, 0.125},
      {0.49999999999999994, 0, 0},  // extended precision keeps it below the half
      {-0.49999999999999994, 0, 0},
      {0.155, 2, 0.15},  // stored just below 0.155; plain doubles would round the product up to 15.5
      {-0.155, 2, -0.15},
      {99.9951, 2, 100},
      {12.344, 2, 12.34},
      {-12.345678, 3, -12.346},
      {100, 2, 100},
      {0, 2, 0},
      {-0.001, 2, 0},
      {1e15, 2, 1e15},
      {9.2e16, 2, 9.2e16},  // just below 2^63 once scaled
      {-9.2e16, 2, -9.2e16},
  };
  for (const auto& [value, decimals, expected] : rows) {
    EXPECT_EQ(RoundToDigits(value, decimals), expected) << value << " at " << decimals << " decimals";
  }
}

TEST(RoundToDigits, NegativeZeroRoundsToPositiveZero) {
  const double rounded = RoundToDigits(-0.0, 2);
  EXPECT_EQ(rounded, 0.0);
  EXPECT_FALSE(std::signbit(rounded));
}

TEST(RoundToDigits, ReturnsValuesBeyondTheScaledRangeUnchanged) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_TRUE(std::isnan(RoundToDigits(std::numeric_limits<double>::quiet_NaN(), 2)));
  const double unchanged[] = {
      inf, -inf, 1e300, -1e300, 9.3e16, -9.3e16, 1.0000000000000002e17, std::numeric_limits<double>::max()};
  for (double value : unchanged)
    EXPECT_EQ(RoundToDigits(value, 2), value) << value;
  // 0.25 scaled by 10^19 stays below 2^63, 1.25 does not.
  EXPECT_EQ(RoundToDigits(1.25, 19), 1.25);
  EXPECT_EQ(RoundToDigits(0.25, 19), 0.25);
}

TEST(SplitSeconds, TruncatesHoursAndMinutesTowardZero) {
  const std::tuple<std::int32_t, std::int32_t, std::int32_t> rows[] = {
      {0, 0, 0},
      {59, 0, 0},
      {60, 0, 1},
      {3599, 0, 59},
      {3600, 1, 0},
      {3725, 1, 2},
      {86399, 23, 59},
      {360000, 100, 0},
      {-1, 0, 0},
      {-59, 0, 0},
      {-60, 0, -1},
      {-90, 0, -1},
      {-3600, -1, 0},
      {-3700, -1, -1},
      {-3725, -1, -2},
      {2147483647, 596523, 14},
      {-2147483647 - 1, -596523, -14},
  };
  for (const auto& [seconds, expectedHours, expectedMinutes] : rows) {
    std::int32_t hours = 12345;
    std::int32_t minutes = 12345;
    SplitSeconds(seconds, hours, minutes);
    EXPECT_EQ(std::tuple(hours, minutes), std::tuple(expectedHours, expectedMinutes)) << seconds;
  }
}

// The original definition works through a double: seconds / 60, then hours and minutes from it.
TEST(SplitSeconds, AgreesWithTheFloatingPointDefinition) {
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  const std::int32_t inputs[] = {kMin, kMin + 1, kMax, kMax - 1, -7199,  -7200,  -7201,
                                 7199, 7200,     7201, 215999,   216000, 215940, 215939};
  for (std::int32_t seconds : inputs) {
    const double m = static_cast<double>(seconds) / 60.0;
    const auto expectedHours = static_cast<std::int32_t>(m / 60.0);
    const auto expectedMinutes = static_cast<std::int32_t>(m - expectedHours * 60.0);
    std::int32_t hours = 0;
    std::int32_t minutes = 0;
    SplitSeconds(seconds, hours, minutes);
    EXPECT_EQ(std::tuple(hours, minutes), std::tuple(expectedHours, expectedMinutes)) << seconds;
  }
}

TEST(TruncToInt32, TruncatesTowardZeroAndSaturates) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::tuple<double, std::int32_t> rows[] = {
      {std::numeric_limits<double>::quiet_NaN(), 0},
      {inf, 2147483647},
      {-inf, -2147483647 - 1},
      {2147483648.0, 2147483647},
      {2147483647.9, 2147483647},
      {2147483647.0, 2147483647},
      {-2147483648.0, -2147483647 - 1},
      {-2147483648.9, -2147483647 - 1},
      {-2147483649.0, -2147483647 - 1},
      {1e300, 2147483647},
      {-1e300, -2147483647 - 1},
      {-0.5, 0},
      {0.5, 0},
      {2.9, 2},
      {-2.9, -2},
      {-0.0, 0},
      {123456.0, 123456},
  };
  for (const auto& [value, expected] : rows)
    EXPECT_EQ(TruncToInt32(value), expected) << value;
}

TEST(TruncToInt64, TruncatesTowardZeroAndSaturates) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::int64_t max = std::numeric_limits<std::int64_t>::max();
  const std::int64_t min = std::numeric_limits<std::int64_t>::min();
  const std::tuple<double, std::int64_t> rows[] = {
      {std::numeric_limits<double>::quiet_NaN(), 0},
      {inf, max},
      {-inf, min},
      {9223372036854775808.0, max},                  // 2^63
      {9223372036854774784.0, 9223372036854774784},  // the largest double below 2^63
      {-9223372036854775808.0, min},
      {-9223372036854777856.0, min},  // the next double below -2^63
      {2147483648.0, 2147483648},
      {-2147483649.0, -2147483649},
      {1e300, max},
      {-1e300, min},
      {-0.5, 0},
      {2.9, 2},
      {-2.9, -2},
  };
  for (const auto& [value, expected] : rows)
    EXPECT_EQ(TruncToInt64(value), expected) << value;
}

TEST(ScalePixels, RoundsHalvesAwayFromZeroAndSaturates) {
  const std::tuple<int, int, int> rows[] = {
      {534, 96, 534},
      {33, 96, 33},  // the layouts' own 96 dpi changes nothing
      {23, 144, 35},
      {5, 144, 8},  // 34.5 and 7.5 round up
      {33, 144, 50},
      {35, 144, 53},  // 49.5, 52.5
      {-5, 144, -8},
      {-1, 144, -2},  // halves away from zero on both sides
      {35, 120, 44},
      {33, 120, 41},  // 43.75, 41.25
      {80, 192, 160},
      {2, 72, 2},  // 1.5 rounds to 2
      {0, 144, 0},
      {100, 0, 0},
      {2147483647, 192, 2147483647},  // beyond the range: the nearest limit
      {-2147483647 - 1, 192, -2147483647 - 1},
  };
  for (const auto& [pixels, dpi, expected] : rows)
    EXPECT_EQ(ScalePixels(pixels, dpi), expected) << pixels << " at " << dpi;
}

#ifdef _WIN32
// The layouts were first scaled with MulDiv; the portable helper must give the same pixels.
TEST(ScalePixels, AgreesWithMulDivOverTheUsualRange) {
  for (const int dpi : {72, 96, 120, 144, 168, 192, 240, 288}) {
    for (int pixels = -600; pixels <= 2000; ++pixels)
      ASSERT_EQ(ScalePixels(pixels, dpi), ::MulDiv(pixels, dpi, 96)) << pixels << " at " << dpi;
  }
}
#endif

TEST(FormatTableDate, WritesZeroPaddedFieldsWithTwoBlanks) {
  const std::tuple<LocalDateTime, std::string> rows[] = {
      {{2003, 7, 4, 9, 5, 59}, "2003.07.04  09:05"},
      {{1999, 12, 31, 23, 59, 0}, "1999.12.31  23:59"},
      {{2024, 1, 1, 0, 0, 0}, "2024.01.01  00:00"},
      {{812, 10, 11, 12, 13, 14}, "0812.10.11  12:13"},
      {LocalDateTime{}, ""},  // no time: an empty cell, never "0000.00.00  00:00"
  };
  for (const auto& [time, expected] : rows)
    EXPECT_EQ(FormatTableDate(time), expected);
}

}  // namespace
}  // namespace velmora

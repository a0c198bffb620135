#include "core/decimal_rule.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <tuple>

#include "core/text.h"
#include "core/tools.h"

namespace velmora {
namespace {

TEST(FormatFixed, WritesAPointAndNoSignedZero) {
  const std::tuple<double, int, std::string> rows[] = {
      {45.32, 2, "45.32"},
      {45.3216, 2, "45.32"},
      {0.125, 2, "0.12"},  // the runtime's own rounding of the stored binary value
      {0.135, 2, "0.14"},
      {-1.5, 2, "-1.50"},
      {-0.001, 2, "0.00"},
      {-0.004, 2, "0.00"},
      {-0.005, 2, "-0.01"},  // -0.005 is stored just beyond -0.005
      {-0.0, 2, "0.00"},
      {-0.4, 0, "0"},
      {-0.6, 0, "-1"},
      {0, 3, "0.000"},
      {1234567.891, 3, "1234567.891"},
      {1e20, 0, "100000000000000000000"},
      {2.5, -1, "2"},
      {std::numeric_limits<double>::infinity(), 2, "inf"},
      {-std::numeric_limits<double>::infinity(), 2, "-inf"},
  };
  for (const auto& [value, decimals, expected] : rows)
    EXPECT_EQ(FormatFixed(value, decimals), expected) << value << " " << decimals;
}

TEST(FormatFixed, WritesTheLargestDouble) {
  const std::string text = FormatFixed(std::numeric_limits<double>::max(), 2);
  EXPECT_EQ(std::tuple(text.size(), text.substr(0, 5), text.substr(text.size() - 3)),
            std::tuple(309u + 3u, "17976", ".00"));
}

struct RestoreCLocale {
  ~RestoreCLocale() { std::setlocale(LC_ALL, "C"); }
};

// Run once as is, and once more by ctest with a regional setting whose decimal mark is ",".
TEST(DecimalRule, PointSurvivesACommaLocale) {
  const RestoreCLocale restore;
  const char* userLocale = std::setlocale(LC_ALL, "");
  const char* expectComma = std::getenv("VELMORA_EXPECT_DECIMAL_COMMA");
  if (expectComma != nullptr && std::strcmp(expectComma, "1") == 0) {
    ASSERT_NE(userLocale, nullptr) << "the regional setting asked for is not installed";
    // Without this the second run would prove nothing: the environment must really be a comma locale.
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  }

  EXPECT_EQ(std::tuple(FormatFixed(RoundToDigits(45.3216, 2), 2), SafeStrToFloat("0.5"),
                       SafeStrToFloat("0,5"), SafeStrToFloat("-1.25e1")),
            std::tuple("45.32", 0.5, 0.5, -12.5));

  ApplyDecimalRule();
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.2f", 45.32);
  EXPECT_STREQ(buffer, "45.32");
  EXPECT_EQ(SafeStrToFloat("0,5"), 0.5);
}

}  // namespace
}  // namespace velmora

// The info tips of a late row and of a stalled row, and how the list view shows them beside a
// cell cut off on screen.
#include "monitor/row_tips.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace velmora {
namespace {

struct ClockCase {
  LocalDateTime since;
  const char* expected;
};

void PrintTo(const ClockCase& c, std::ostream* os) {
  *os << c.expected;
}

class NoProgressTipTest : public ::testing::TestWithParam<ClockCase> {};

TEST_P(NoProgressTipTest, LocalHoursAndMinutes) {
  EXPECT_EQ(NoProgressTip(GetParam().since), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Times,
                         NoProgressTipTest,
                         ::testing::Values(ClockCase{{2024, 5, 17, 7, 5, 59}, "No progress since 07:05"},
                                           ClockCase{{2024, 5, 17, 0, 0, 0}, "No progress since 00:00"},
                                           ClockCase{{2024, 12, 31, 23, 59, 1}, "No progress since 23:59"},
                                           ClockCase{{2024, 5, 17, 13, 30, 0}, "No progress since 13:30"}));

class NoAnswerTipTest : public ::testing::TestWithParam<ClockCase> {};

TEST_P(NoAnswerTipTest, LocalHoursAndMinutes) {
  EXPECT_EQ(NoAnswerTip(GetParam().since), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Times,
                         NoAnswerTipTest,
                         ::testing::Values(ClockCase{{2024, 5, 17, 9, 41, 30}, "No answer since 09:41"},
                                           ClockCase{{2024, 5, 17, 0, 0, 0}, "No answer since 00:00"},
                                           ClockCase{{2024, 12, 31, 23, 59, 59}, "No answer since 23:59"}));

struct RowTipCase {
  const char* name;
  std::optional<LocalDateTime> lateSince;
  std::optional<LocalDateTime> stalledSince;
  const char* expected;
};

void PrintTo(const RowTipCase& c, std::ostream* os) {
  *os << c.name;
}

class RowTipTest : public ::testing::TestWithParam<RowTipCase> {};

TEST_P(RowTipTest, TellsLatenessBeforeStall) {
  EXPECT_EQ(RowTip(GetParam().lateSince, GetParam().stalledSince), GetParam().expected);
}

constexpr LocalDateTime kLate{2024, 5, 17, 9, 41, 0};
constexpr LocalDateTime kStalled{2024, 5, 17, 8, 5, 0};

INSTANTIATE_TEST_SUITE_P(Rows,
                         RowTipTest,
                         ::testing::Values(RowTipCase{"Neither", std::nullopt, std::nullopt, ""},
                                           RowTipCase{"Late", kLate, std::nullopt, "No answer since 09:41"},
                                           RowTipCase{"Stalled", std::nullopt, kStalled,
                                                      "No progress since 08:05"},
                                           RowTipCase{"Both", kLate, kStalled, "No answer since 09:41"}),
                         [](const auto& row) { return std::string(row.param.name); });

struct InfoTipCase {
  const char* name;
  std::optional<std::string_view> cutOffCell;
  const char* expected;
};

void PrintTo(const InfoTipCase& c, std::ostream* os) {
  *os << c.name;
}

class InfoTipTextTest : public ::testing::TestWithParam<InfoTipCase> {};

TEST_P(InfoTipTextTest, PutsTheTipBelowACutOffCell) {
  EXPECT_EQ(InfoTipText("No progress since 09:41", GetParam().cutOffCell), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cells,
                         InfoTipTextTest,
                         ::testing::Values(InfoTipCase{"Unfolded", std::nullopt, "No progress since 09:41"},
                                           InfoTipCase{"CutOff", "C:\\seti\\alpha",
                                                       "C:\\seti\\alpha\r\nNo progress since 09:41"},
                                           InfoTipCase{"CutOffEmpty", "", "\r\nNo progress since 09:41"}),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace velmora

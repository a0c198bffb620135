// The info tips of a late row and of a stalled row, and how the list view shows them beside a
// cell cut off on screen.
#include "monitor/row_tips.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <tuple>

#include "tests/support/named_rows.h"

namespace velmora {
namespace {

using testing::PrintTo;
using testing::RowName;

// The time since when, and the tip.
using ClockCase = std::tuple<LocalDateTime, const char*>;

class NoProgressTipTest : public ::testing::TestWithParam<ClockCase> {};

TEST_P(NoProgressTipTest, LocalHoursAndMinutes) {
  EXPECT_EQ(NoProgressTip(std::get<0>(GetParam())), std::get<1>(GetParam()));
}

const ClockCase kNoProgressTimes[] = {{{2024, 5, 17, 7, 5, 59}, "No progress since 07:05"},
                                      {{2024, 5, 17, 0, 0, 0}, "No progress since 00:00"},
                                      {{2024, 12, 31, 23, 59, 1}, "No progress since 23:59"},
                                      {{2024, 5, 17, 13, 30, 0}, "No progress since 13:30"}};

INSTANTIATE_TEST_SUITE_P(Times, NoProgressTipTest, ::testing::ValuesIn(kNoProgressTimes));

class NoAnswerTipTest : public ::testing::TestWithParam<ClockCase> {};

TEST_P(NoAnswerTipTest, LocalHoursAndMinutes) {
  EXPECT_EQ(NoAnswerTip(std::get<0>(GetParam())), std::get<1>(GetParam()));
}

const ClockCase kNoAnswerTimes[] = {{{2024, 5, 17, 9, 41, 30}, "No answer since 09:41"},
                                    {{2024, 5, 17, 0, 0, 0}, "No answer since 00:00"},
                                    {{2024, 12, 31, 23, 59, 59}, "No answer since 23:59"}};

INSTANTIATE_TEST_SUITE_P(Times, NoAnswerTipTest, ::testing::ValuesIn(kNoAnswerTimes));

struct RowTipCase {
  const char* name;
  std::optional<LocalDateTime> lateSince;
  std::optional<LocalDateTime> stalledSince;
  const char* expected;
};

class RowTipTest : public ::testing::TestWithParam<RowTipCase> {};

TEST_P(RowTipTest, TellsLatenessBeforeStall) {
  EXPECT_EQ(RowTip(GetParam().lateSince, GetParam().stalledSince), GetParam().expected);
}

constexpr LocalDateTime kLate{2024, 5, 17, 9, 41, 0};
constexpr LocalDateTime kStalled{2024, 5, 17, 8, 5, 0};

const RowTipCase kRowTips[] = {{"Neither", std::nullopt, std::nullopt, ""},
                               {"Late", kLate, std::nullopt, "No answer since 09:41"},
                               {"Stalled", std::nullopt, kStalled, "No progress since 08:05"},
                               {"Both", kLate, kStalled, "No answer since 09:41"}};

INSTANTIATE_TEST_SUITE_P(Rows, RowTipTest, ::testing::ValuesIn(kRowTips), RowName());

struct InfoTipCase {
  const char* name;
  std::optional<std::string_view> cutOffCell;
  const char* expected;
};

class InfoTipTextTest : public ::testing::TestWithParam<InfoTipCase> {};

TEST_P(InfoTipTextTest, PutsTheTipBelowACutOffCell) {
  EXPECT_EQ(InfoTipText("No progress since 09:41", GetParam().cutOffCell), GetParam().expected);
}

const InfoTipCase kInfoTips[] = {{"Unfolded", std::nullopt, "No progress since 09:41"},
                                 {"CutOff", "C:\\seti\\alpha", "C:\\seti\\alpha\r\nNo progress since 09:41"},
                                 {"CutOffEmpty", "", "\r\nNo progress since 09:41"}};

INSTANTIATE_TEST_SUITE_P(Cells, InfoTipTextTest, ::testing::ValuesIn(kInfoTips), RowName());

}  // namespace
}  // namespace velmora

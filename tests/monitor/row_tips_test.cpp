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

// The tip, the time since when, and its text.
using ClockCase = std::tuple<std::string (*)(const LocalDateTime&), LocalDateTime, const char*>;

class SinceTipTest : public ::testing::TestWithParam<ClockCase> {};

TEST_P(SinceTipTest, LocalHoursAndMinutes) {
  const auto& [tip, since, expected] = GetParam();
  EXPECT_EQ(tip(since), expected);
}

const ClockCase kSinceTimes[] = {{NoProgressTip, {2024, 5, 17, 7, 5, 59}, "No progress since 07:05"},
                                 {NoProgressTip, {2024, 5, 17, 0, 0, 0}, "No progress since 00:00"},
                                 {NoProgressTip, {2024, 12, 31, 23, 59, 1}, "No progress since 23:59"},
                                 {NoProgressTip, {2024, 5, 17, 13, 30, 0}, "No progress since 13:30"},
                                 {NoAnswerTip, {2024, 5, 17, 9, 41, 30}, "No answer since 09:41"},
                                 {NoAnswerTip, {2024, 5, 17, 0, 0, 0}, "No answer since 00:00"},
                                 {NoAnswerTip, {2024, 12, 31, 23, 59, 59}, "No answer since 23:59"}};

INSTANTIATE_TEST_SUITE_P(Times, SinceTipTest, ::testing::ValuesIn(kSinceTimes));

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

// The five figure texts of the selected location and the captions of their two groups.
#include "monitor/figure_texts.h"

#include <gtest/gtest.h>

#include <chrono>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "core/tools.h"
#include "monitor/figure_requests.h"
#include "tests/support/client_folder_writer.h"
#include "tests/support/memory_file_system.h"

namespace velmora {
namespace {

using testing::MemoryFileSystem;

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kTwoTo63 = 9223372036854775808.0;
constexpr double kSecondsPerYear = 365.0 * 24 * 3600;

// A value and its text.
using NumberCase = std::tuple<double, const char*>;

void ExpectTexts(std::string (*text)(double), const std::vector<NumberCase>& cases) {
  for (const auto& [value, expected] : cases)
    EXPECT_EQ(text(value), expected) << value;
}

TEST(FigureTextsTest, TotalCpuText) {
  const std::vector<NumberCase> cases = {
      {kSecondsPerYear, "1.000 years"},
      {kSecondsPerYear / 2, "0.500 years"},
      {1e6, "0.032 years"},
      {1e12, "31709.792 years"},
      // Divided step by step (/ 60 / 60 / 24 / 365) this lands just above the half-thousandth;
      // one division by 31,536,000 lands just below it.
      {204984, "0.007 years"},
      {0, "0.000 years"},
      {-0.0, "0.000 years"},
      {-1, "?"},  // the reader's "not found"
      {-1e-9, "?"},
      {kNaN, "?"}};
  ExpectTexts(TotalCpuText, cases);
}

TEST(FigureTextsTest, ProgressText) {
  const std::vector<NumberCase> cases = {
      {25, "25.00%"},   {0, "0.00%"},        {-0.0, "0.00%"}, {45.3216, "45.32%"}, {0.125, "0.13%"},
      {150, "150.00%"}, {99.999, "100.00%"}, {-1, "?"},       {-0.01, "?"},        {kNaN, "?"}};
  ExpectTexts(ProgressText, cases);
}

TEST(FigureTextsTest, HoursMinutesText) {
  const std::vector<NumberCase> cases = {
      {0, " 0: 0"},
      {59, " 0: 0"},
      {60, " 0: 1"},
      {3599, " 0:59"},
      {3600, " 1: 0"},
      {3725, " 1: 2"},
      {10000, " 2:46"},  // seconds are dropped, not rounded
      {3659.999, " 1: 0"},
      {360000, "100: 0"},
      {-1, " 0: 0"},
      {-90, " 0:-1"},
      {-3700, "-1:-1"},
      {-36000, "-10: 0"},
      {1e18, "277777777777777:46"},
      {4611686018427387904.0, "1281023894007607:45"},  // 2^62
      {9223372036854774784.0, "2562047788015215:13"},  // the largest double below 2^63
      {-9223372036854774784.0, "-2562047788015215:-13"},
      {kTwoTo63, "?"},
      {-kTwoTo63, "?"},
      {1e300, "?"},
      {kInfinity, "?"},
      {-kInfinity, "?"},
      {kNaN, "?"}};
  ExpectTexts(HoursMinutesText, cases);
}

// Within 32 bits the text must say what SplitSeconds says.
TEST(FigureTextsTest, HoursMinutesTextAgreesWithSplitSeconds) {
  const std::vector<std::int32_t> inputs = {
      0,   1,   59,  60,    61,    3599,  3600,       3601,      3725,      86399,          -1,
      -59, -60, -90, -3599, -3600, -3700, 1000000007, INT32_MAX, INT32_MIN, INT32_MAX - 59, INT32_MIN + 3600};
  for (const std::int32_t seconds : inputs) {
    std::int32_t hours = 0;
    std::int32_t minutes = 0;
    SplitSeconds(seconds, hours, minutes);
    char expected[32];
    std::snprintf(expected, sizeof expected, "%2d:%2d", hours, minutes);
    EXPECT_EQ(HoursMinutesText(seconds), expected) << seconds;
  }
}

TEST(FigureTextsTest, AverageCpuText) {
  const std::tuple<double, std::int32_t, const char*> cases[] = {
      {30000, 3, " 2:46"}, {7199, 1, " 1:59"}, {0, 5, " 0: 0"}, {1e12, 1, "277777777:46"},
      {100, 0, "?"},       {100, -1, "?"},     {-1, 5, "?"},  // no count, or no total
  };
  for (const auto& [totalCpu, resultCount, text] : cases)
    EXPECT_EQ(AverageCpuText(totalCpu, resultCount), text) << totalCpu << " / " << resultCount;
}

struct EstimateCase {
  const char* name;
  double cpuTime;
  double progress;
  const char* total;
  const char* left;
};

TEST(FigureTextsTest, EstimatedTotalAndTimeLeft) {
  const std::vector<EstimateCase> cases = {
      {"a quarter after an hour", 3600, 25, " 4: 0", " 3: 0"},
      {"done", 3600, 100, " 1: 0", " 0: 0"},
      {"no time spent yet", 0, 50, " 0: 0", " 0: 0"},
      {"past the end", 1800, 150, " 0:20", " 0:-10"},
      {"no progress yet", 3600, 0, "?", "?"},
      {"progress not found", 3600, -1, "?", "?"},
      {"CPU time not found", -1, 25, "?", "?"},
      // 100 * 2^-40 percent: the estimate is exactly 3600 * 2^40 seconds, 2^40 hours.
      {"huge but within 64 bits", 3600, 100 * std::ldexp(1.0, -40), "1099511627776: 0", "1099511627775: 0"},
      {"beyond 64 bits", 3600, 1e-300, "?", "?"},
      {"progress underflows to zero", 3600, 5e-324, "?", "?"},
      {"zero over zero", 0, 5e-324, "?", "?"}};
  for (const EstimateCase& c : cases)
    EXPECT_EQ(std::tuple(EstimatedTotalText(c.cpuTime, c.progress), TimeLeftText(c.cpuTime, c.progress)),
              std::tuple(c.total, c.left))
        << c.name;
}

constexpr const char* kFolder = "C:\\seti";

using Texts = std::vector<std::string>;

// The group captions and figure texts, in the order the statistics panel shows them.
Texts Shown(const SelectedFigures& figures) {
  return {UserGroupCaption(figures), figures.totalUnits, figures.totalCpu,  figures.averageCpu,
          UnitGroupCaption(figures), figures.progress,   figures.timeTotal, figures.timeLeft};
}

struct SelectedCase {
  const char* name;
  const char* userInfo;  // nullptr: no user_info.sah
  const char* state;     // nullptr: no state.sah
  bool userRead;
  bool stateRead;
  const char* userCaption;
  const char* totalUnits;
  const char* totalCpu;
  const char* averageCpu;
  const char* unitCaption;
  const char* progress;
  const char* timeTotal;
  const char* timeLeft;
};

TEST(FigureTextsTest, ReadSelectedFigures) {
  const char* kFullUser = "name=Ann\nnresults=3\ntotal_cpu=30000\n";
  const char* kFullState = "prog=0.25\ncpu=3600\n";
  const std::vector<SelectedCase> cases = {
      {"both files", kFullUser, kFullState, true, true, "User info (Ann)", "3", "0.001 years", " 2:46",
       "Working unit info", "25.00%", " 4: 0", " 3: 0"},
      {"no user file", nullptr, kFullState, false, true, "No user info found", "?", "?", "?",
       "Working unit info", "25.00%", " 4: 0", " 3: 0"},
      {"no state file", kFullUser, nullptr, true, false, "User info (Ann)", "3", "0.001 years", " 2:46",
       "No progress info found", "?", "?", "?"},
      {"empty files", "", "", false, false, "No user info found", "?", "?", "?", "No progress info found",
       "?", "?", "?"},
      {"keys missing", "name=Bob\n", "cpu=10\n", true, true, "User info (Bob)", "?", "?", "?",
       "Working unit info", "?", "?", "?"},
      {"no results yet", "name=Cy\nnresults=0\ntotal_cpu=0\n", "prog=0\ncpu=100\n", true, true,
       "User info (Cy)", "0", "0.000 years", "?", "Working unit info", "0.00%", "?", "?"},
      {"total without count", "name=Di\ntotal_cpu=31536000\n", "prog=0.5\n", true, true, "User info (Di)",
       "?", "1.000 years", "?", "Working unit info", "50.00%", "?", "?"},
      {"name kept as written", "name= Ann Lee   \n", "\n", true, true, "User info ( Ann Lee)", "?", "?", "?",
       "Working unit info", "?", "?", "?"},
      {"empty name", "name=\nnresults=1\n", "prog=1e-302\ncpu=3600\n", true, true, "User info ()", "1", "?",
       "?", "Working unit info", "0.00%", "?", "?"}};
  for (const SelectedCase& c : cases) {
    MemoryFileSystem fs;
    testing::ClientFolderWriter(fs).Write(kFolder, {.state = c.state, .userInfo = c.userInfo});
    const SelectedFigures figures = ReadSelectedFigures(fs, std::string(kFolder));
    EXPECT_EQ(std::tuple(figures.rowSelected, figures.path, figures.userRead, figures.stateRead),
              std::tuple(true, kFolder, c.userRead, c.stateRead))
        << c.name;
    EXPECT_EQ(Shown(figures), (Texts{c.userCaption, c.totalUnits, c.totalCpu, c.averageCpu, c.unitCaption,
                                     c.progress, c.timeTotal, c.timeLeft}))
        << c.name;
  }
}

TEST(FigureTextsTest, MissingFolderLeavesTheResetTexts) {
  MemoryFileSystem fs;
  const SelectedFigures figures = ReadSelectedFigures(fs, std::string("C:\\gone"));
  EXPECT_TRUE(figures.rowSelected);
  EXPECT_EQ(Shown(figures),
            (Texts{"No user info found", "?", "?", "?", "No progress info found", "?", "?", "?"}));
}

TEST(FigureTextsTest, StateHeldByTheClientIsNotRead) {
  MemoryFileSystem fs;
  fs.AddFile("C:\\seti\\state.sah", "prog=0.25\ncpu=3600\n");
  fs.SetHeldForWriting("C:\\seti\\state.sah", true);
  const SelectedFigures figures = ReadSelectedFigures(fs, std::string("C:\\seti"));
  EXPECT_EQ(std::tuple(figures.stateRead, UnitGroupCaption(figures), figures.progress),
            std::tuple(false, "No progress info found", "?"));
}

TEST(FigureTextsTest, NoSelectionReadsNothing) {
  MemoryFileSystem fs;
  fs.AddFile("C:\\seti\\state.sah", "prog=0.25\ncpu=3600\n");
  const SelectedFigures figures = ReadSelectedFigures(fs, std::nullopt);
  EXPECT_EQ(fs.CallCount(), 0u);
  EXPECT_EQ(std::tuple(figures.rowSelected, figures.userRead, figures.stateRead, figures.path),
            std::tuple(false, false, false, ""));
  EXPECT_EQ(Shown(figures),
            (Texts{"No location marked!", "?", "?", "?", "No location marked!", "?", "?", "?"}));
}

// --- Which answers the statistics panel and the details window show ---------------------------

using namespace std::chrono_literals;

ReadAnswer FiguresAnswer(const ReadRequest& request, const std::string& userName) {
  return {.ticket = request.ticket,
          .kind = ReadKind::kFigures,
          .row = {},
          .figures = {.rowSelected = true, .userRead = true, .path = request.folder, .userName = userName}};
}

class FigureRequestsTest : public ::testing::Test {
 protected:
  FigureRequests requests_;
  const FigureRequests::Clock::time_point t0_{};
};

TEST_F(FigureRequestsTest, OnlyTheAnswerForTheRowSelectedNowIsShown) {
  const FigureStep first = requests_.Request(FigureSlot::kStatsPanel, SelectedRow{1, "C:\\a"}, t0_);
  ASSERT_TRUE(first.read.has_value());
  EXPECT_EQ(std::tuple(first.read->folder, first.showNow.has_value()), std::tuple("C:\\a", false));
  // Asked again for the same row while its read is out: nothing new is handed out.
  EXPECT_FALSE(requests_.Request(FigureSlot::kStatsPanel, SelectedRow{1, "C:\\a"}, t0_).read.has_value());

  const FigureStep second = requests_.Request(FigureSlot::kStatsPanel, SelectedRow{2, "C:\\b"}, t0_);
  ASSERT_TRUE(second.read.has_value());
  EXPECT_TRUE(requests_.Accept(FiguresAnswer(*first.read, "Ann")).empty());
  const std::vector<ShownFigures> shown = requests_.Accept(FiguresAnswer(*second.read, "Bo"));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(std::tuple(shown[0].slot, shown[0].figures.userName, requests_.ReadsOutstanding()),
            std::tuple(FigureSlot::kStatsPanel, "Bo", 0u));

  // The selection cleared: shown at once, and a late answer for the old row is dropped.
  const FigureStep third = requests_.Request(FigureSlot::kStatsPanel, SelectedRow{1, "C:\\a"}, t0_);
  const FigureStep none = requests_.Request(FigureSlot::kStatsPanel, std::nullopt, t0_);
  ASSERT_TRUE(none.showNow.has_value());
  EXPECT_FALSE(none.showNow->rowSelected);
  EXPECT_TRUE(requests_.Accept(FiguresAnswer(*third.read, "Ann")).empty());
}

TEST_F(FigureRequestsTest, BothWindowsShareOneReadOfTheRow) {
  const FigureStep panel = requests_.Request(FigureSlot::kStatsPanel, SelectedRow{1, "C:\\a"}, t0_);
  const FigureStep details = requests_.Request(FigureSlot::kDetails, SelectedRow{1, "C:\\a"}, t0_);
  ASSERT_TRUE(panel.read.has_value());
  EXPECT_FALSE(details.read.has_value());
  const std::vector<ShownFigures> shown = requests_.Accept(FiguresAnswer(*panel.read, "Ann"));
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(std::tuple(shown[0].slot, shown[1].slot, shown[1].figures.userName),
            std::tuple(FigureSlot::kStatsPanel, FigureSlot::kDetails, "Ann"));
}

TEST_F(FigureRequestsTest, SelectingAHungRowAgainAndAgainHandsOutNothingNew) {
  const FigureStep hung = requests_.Request(FigureSlot::kStatsPanel, SelectedRow{1, "C:\\hung"}, t0_);
  ASSERT_TRUE(hung.read.has_value());
  for (int click = 0; click < 70; ++click) {
    const SelectedRow row = click % 2 == 0 ? SelectedRow{2, "C:\\live"} : SelectedRow{1, "C:\\hung"};
    const FigureStep step = requests_.Request(FigureSlot::kStatsPanel, row, t0_);
    if (row.rowId == 2 && step.read)
      ASSERT_EQ(requests_.Accept(FiguresAnswer(*step.read, "Live")).size(), 1u);
    else
      EXPECT_FALSE(step.read.has_value()) << click;
  }
  EXPECT_EQ(requests_.ReadsOutstanding(), 1u);
  // Selected last, the hung row takes its answer when the folder comes back.
  EXPECT_EQ(requests_.Accept(FiguresAnswer(*hung.read, "Back")).at(0).figures.userName, "Back");
}

TEST_F(FigureRequestsTest, AnotherRowsFiguresGiveWayOnceTheWaitIsOver) {
  const FigureStep first = requests_.Request(FigureSlot::kStatsPanel, SelectedRow{1, "C:\\a"}, t0_);
  ASSERT_EQ(requests_.Accept(FiguresAnswer(*first.read, "Ann")).size(), 1u);

  const FigureStep hung = requests_.Request(FigureSlot::kStatsPanel, SelectedRow{2, "C:\\b"}, t0_ + 1s);
  EXPECT_TRUE(requests_.AwaitingOtherRow());
  EXPECT_TRUE(requests_.Overdue(t0_ + 1s + 299ms, 300ms).empty());
  const std::vector<ShownFigures> overdue = requests_.Overdue(t0_ + 1s + 300ms, 300ms);
  ASSERT_EQ(overdue.size(), 1u);
  const SelectedFigures& figures = overdue[0].figures;
  EXPECT_EQ(std::tuple(figures.rowSelected, figures.path, figures.userRead, UserGroupCaption(figures)),
            std::tuple(true, "C:\\b", false, "No user info found"));
  EXPECT_FALSE(requests_.AwaitingOtherRow());
  EXPECT_TRUE(requests_.Overdue(t0_ + 5s, 300ms).empty());  // once
  // The answer still counts when it comes.
  EXPECT_EQ(requests_.Accept(FiguresAnswer(*hung.read, "Bo")).at(0).figures.userName, "Bo");
}

}  // namespace
}  // namespace velmora

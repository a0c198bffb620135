// The history window's texts, in a time zone the test sets.
#include "monitor/history_texts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace velmora {
namespace {

class HistoryTextsTest : public ::testing::Test {
 protected:
  static void InZone(const char* zone) {
#if defined(_WIN32)
    _putenv_s("TZ", zone);
    _tzset();
#else
    setenv("TZ", zone, 1);
    tzset();
#endif
  }
  void TearDown() override {
    InZone("UTC");
  }
};

constexpr std::int64_t k20240517At0941 = 1715938860;  // 09:41:00 UTC

std::string Ascii(const std::string& text) {
  return text;
}

TEST_F(HistoryTextsTest, CellsAreLocalTimeAndHoursAndMinutes) {
  InZone("UTC");
  const HistoryRow row{k20240517At0941, "C:\\farm, \"north\"", 3 * 3600 + 59 * 60 + 59, -1,
                       FinishSeen::kAtEnd};
  const std::pair<HistoryColumn, const char*> cells[] = {{HistoryColumn::kFinished, "2024.05.17 09:41"},
                                                         {HistoryColumn::kLocation, "C:\\farm, \"north\""},
                                                         {HistoryColumn::kCpuTime, "3:59"},
                                                         {HistoryColumn::kTook, ""}};
  for (const auto& [column, text] : cells)
    EXPECT_EQ(HistoryCell(row, column), text) << HistoryColumnCaption(column);
  EXPECT_EQ(FormatHoursMinutes(125 * 3600 + 60), "125:01");
  EXPECT_EQ(HistoryTabText({row}),
            "Finished\tLocation\tCPU time\tTook\r\n2024.05.17 09:41\tC:\\farm, \"north\"\t3:59\t\r\n");
  EXPECT_EQ(HistoryCsvText({row}, Ascii),
            "Finished,Location,CPU time,Took\r\n2024.05.17 09:41,\"C:\\farm, \"\"north\"\"\",3:59,\r\n");
  EXPECT_EQ(HistorySummary(3, 17), "Last 24 hours: 3 units, last 7 days: 17 units (2.4 a day)");
  EXPECT_EQ(DayTip(k20240517At0941 - 9 * 3600 - 41 * 60, 12), "2024.05.17: 12 units");
}

#if !defined(_WIN32)
// Windows takes its zone from the system, which a test cannot switch.
TEST_F(HistoryTextsTest, DaysStartAtLocalMidnightsThroughClockChanges) {
  InZone("CET-1CEST,M3.5.0,M10.5.0/3");
  const std::int64_t april2At1200 = 1712052000;  // 12:00 CEST
  const std::vector<std::int64_t> bounds = LocalDayBounds(april2At1200, 4);
  ASSERT_EQ(bounds.size(), 5u);
  EXPECT_EQ(DayLabel(bounds.front()), "03.30");
  EXPECT_EQ(DayLabel(bounds[3]), "04.02");
  EXPECT_EQ(bounds[1] - bounds[0], 24 * 3600);
  EXPECT_EQ(bounds[2] - bounds[1], 23 * 3600);  // March 31 lost an hour
  EXPECT_EQ(LocalTimeOf(bounds.back()).hour, 0);
  EXPECT_EQ(LocalTimeOf(bounds.back()).day, 3);
}
#endif

TEST_F(HistoryTextsTest, DayBoundsAreMidnightsOneDayApartInUtc) {
  InZone("UTC");
  const std::vector<std::int64_t> bounds = LocalDayBounds(k20240517At0941, kHistoryDays);
  ASSERT_EQ(bounds.size(), static_cast<std::size_t>(kHistoryDays + 1));
  EXPECT_EQ(bounds.back(), 1715990400);  // 2024-05-18 00:00
  EXPECT_EQ(bounds.front(), 1715990400 - 30 * 86400);
  EXPECT_EQ(DayLabel(bounds.front()), "04.18");
}

}  // namespace
}  // namespace velmora

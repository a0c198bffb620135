// What the history window writes: its list's cells, the chart's day labels and tips, the summary
// line, and the units as the clipboard and a CSV file take them. Times are seconds since 1970
// (UTC) and are shown in local time.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/local_time.h"
#include "monitor/history_clock.h"
#include "monitor/history_store.h"

namespace velmora {

inline constexpr int kHistoryDays = 30;
inline constexpr const char* kAllLocationsText = "All locations";

enum class HistoryColumn { kFinished, kLocation, kCpuTime, kTook };
inline constexpr int kHistoryColumnCount = 4;
const char* HistoryColumnCaption(HistoryColumn column);

// "h:mm"; empty for a time not known (below 0).
std::string FormatHoursMinutes(std::int64_t seconds);
std::string HistoryCell(const HistoryRow& row, HistoryColumn column);

// The starts of the local days from `days` - 1 days before the day of `now` to the day after it:
// days + 1 bounds, the last one the end of today.
std::vector<std::int64_t> LocalDayBounds(std::int64_t now, int days);
// "mm.dd" of the day that starts at `dayStart`.
std::string DayLabel(std::int64_t dayStart);
// "yyyy.mm.dd: N units".
std::string DayTip(std::int64_t dayStart, std::int64_t units);
// "Last 24 hours: N units, last 7 days: M units (X a day)".
std::string HistorySummary(std::int64_t lastDay, std::int64_t lastWeek);

// The units as text, a line at a time, so that a long history is never held as rows too.
class HistoryText {
 public:
  // kTabs: tab-separated, as the location table copies (a tab, CR or LF in a cell becomes a
  // blank); kCsv: comma-separated (RFC 4180 quoting), each cell through `toUtf8`. Both start
  // with a header line and end lines with CR LF.
  enum class Form { kTabs, kCsv };
  explicit HistoryText(Form form, std::string (*toUtf8)(const std::string&) = nullptr);
  void Add(const HistoryRow& row);
  std::string Take() { return std::move(text_); }

 private:
  Form form_;
  std::string (*toUtf8_)(const std::string&);
  std::string text_;
};

// Tab-separated with a header line, CR LF line ends, as the location table copies.
std::string HistoryTabText(const std::vector<HistoryRow>& rows);
// Comma-separated with a header line (RFC 4180 quoting); `toUtf8` turns the program's own text
// (paths) into UTF-8.
std::string HistoryCsvText(const std::vector<HistoryRow>& rows, std::string (*toUtf8)(const std::string&));

}  // namespace velmora

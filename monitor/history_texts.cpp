#include "monitor/history_texts.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace velmora {

namespace {

constexpr std::array<const char*, kHistoryColumnCount> kCaptions = {"Finished", "Location", "CPU time",
                                                                    "Took"};

std::string Quoted(const std::string& cell) {
  if (cell.find_first_of(",\"\r\n") == std::string::npos)
    return cell;
  std::string quoted = "\"";
  for (const char c : cell) {
    quoted += c;
    if (c == '"')
      quoted += '"';
  }
  return quoted + "\"";
}

}  // namespace

const char* HistoryColumnCaption(HistoryColumn column) {
  return kCaptions.at(static_cast<std::size_t>(column));
}

std::string FormatHoursMinutes(std::int64_t seconds) {
  if (seconds < 0)
    return {};
  const std::int64_t minutes = seconds / 60;
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(minutes / 60),
                static_cast<long long>(minutes % 60));
  return text;
}

std::string HistoryCell(const HistoryRow& row, HistoryColumn column) {
  switch (column) {
    case HistoryColumn::kFinished: {
      const LocalDateTime at = LocalTimeOf(row.finished);
      char text[40];
      std::snprintf(text, sizeof text, "%04d.%02d.%02d %02d:%02d", at.year, at.month, at.day, at.hour,
                    at.minute);
      return text;
    }
    case HistoryColumn::kLocation:
      return row.location;
    case HistoryColumn::kCpuTime:
      return FormatHoursMinutes(row.cpuSeconds);
    case HistoryColumn::kTook:
      return FormatHoursMinutes(row.tookSeconds);
  }
  return {};
}

std::vector<std::int64_t> LocalDayBounds(std::int64_t now, int days) {
  const LocalDateTime today = LocalTimeOf(now);
  std::vector<std::int64_t> bounds;
  // Counted from midnights, not by adding 86400: a day with a clock change is 23 or 25 hours.
  for (int day = days - 1; day >= -1; --day)
    bounds.push_back(LocalMidnight(today.year, today.month, today.day - day));
  return bounds;
}

std::string DayLabel(std::int64_t dayStart) {
  const LocalDateTime day = LocalTimeOf(dayStart);
  char text[16];
  std::snprintf(text, sizeof text, "%02d.%02d", day.month, day.day);
  return text;
}

std::string DayTip(std::int64_t dayStart, std::int64_t units) {
  const LocalDateTime day = LocalTimeOf(dayStart);
  char text[64];
  std::snprintf(text, sizeof text, "%04d.%02d.%02d: %lld units", day.year, day.month, day.day,
                static_cast<long long>(units));
  return text;
}

std::string HistorySummary(std::int64_t lastDay, std::int64_t lastWeek) {
  char text[128];
  std::snprintf(text, sizeof text, "Last 24 hours: %lld units, last 7 days: %lld units (%.1f a day)",
                static_cast<long long>(lastDay), static_cast<long long>(lastWeek),
                static_cast<double>(lastWeek) / 7);
  return text;
}

HistoryText::HistoryText(Form form, std::string (*toUtf8)(const std::string&))
    : form_(form), toUtf8_(toUtf8) {
  const char* separator = form_ == Form::kTabs ? "\t" : ",";
  for (int column = 0; column < kHistoryColumnCount; ++column) {
    text_ += column == 0 ? "" : separator;
    text_ += kCaptions[static_cast<std::size_t>(column)];
  }
  text_ += "\r\n";
}

void HistoryText::Add(const HistoryRow& row) {
  for (int column = 0; column < kHistoryColumnCount; ++column) {
    std::string cell = HistoryCell(row, static_cast<HistoryColumn>(column));
    if (form_ == Form::kTabs) {
      std::replace_if(
          cell.begin(), cell.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
      text_ += column == 0 ? "" : "\t";
      text_ += cell;
    } else {
      text_ += column == 0 ? "" : ",";
      text_ += Quoted(toUtf8_ ? toUtf8_(cell) : cell);
    }
  }
  text_ += "\r\n";
}

std::string HistoryTabText(const std::vector<HistoryRow>& rows) {
  HistoryText text(HistoryText::Form::kTabs);
  for (const HistoryRow& row : rows)
    text.Add(row);
  return text.Take();
}

std::string HistoryCsvText(const std::vector<HistoryRow>& rows, std::string (*toUtf8)(const std::string&)) {
  HistoryText text(HistoryText::Form::kCsv, toUtf8);
  for (const HistoryRow& row : rows)
    text.Add(row);
  return text.Take();
}

}  // namespace velmora

#include "monitor/row_tips.h"

#include <cstdio>

namespace velmora {

std::string FormatClockTime(const LocalDateTime& time) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", time.hour, time.minute);
  return text;
}

std::string NoAnswerTip(const LocalDateTime& since) {
  return "No answer since " + FormatClockTime(since);
}

std::string NoProgressTip(const LocalDateTime& since) {
  return "No progress since " + FormatClockTime(since);
}

std::string RowTip(const std::optional<LocalDateTime>& lateSince,
                   const std::optional<LocalDateTime>& stalledSince) {
  if (lateSince)
    return NoAnswerTip(*lateSince);
  if (stalledSince)
    return NoProgressTip(*stalledSince);
  return {};
}

std::string InfoTipText(const std::string& tip, std::optional<std::string_view> cutOffCell) {
  if (!cutOffCell)
    return tip;
  return std::string(*cutOffCell) + "\r\n" + tip;
}

}  // namespace velmora

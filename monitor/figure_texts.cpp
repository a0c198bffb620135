#include "monitor/figure_texts.h"

#include <cmath>
#include <cstdio>

#include "core/client_readers.h"
#include "core/decimal_rule.h"
#include "core/tools.h"

namespace velmora {

namespace {

// 2^63: the first magnitude that no signed 64-bit number of seconds holds.
constexpr double kBeyondInt64 = 9223372036854775808.0;

}  // namespace

std::string TotalCpuText(double totalCpuSeconds) {
  // -1 is the reader's "not found"; formatted, it would pass for a total of (minus) zero.
  if (!(totalCpuSeconds >= 0))
    return kUnknownFigure;
  // Step by step, as the figure is defined: each division rounds, and one division by the
  // product rounds differently at half-thousandths (204984 s is 0.007 years, not 0.006).
  return FormatFixed(totalCpuSeconds / 60 / 60 / 24 / 365, 3) + " years";
}

std::string AverageCpuText(double totalCpuSeconds, std::int32_t resultCount) {
  if (resultCount <= 0 || !(totalCpuSeconds >= 0))
    return kUnknownFigure;
  return HoursMinutesText(totalCpuSeconds / resultCount);
}

std::string ProgressText(double progress) {
  if (!(progress >= 0))
    return kUnknownFigure;
  return FormatFixed(RoundToDigits(progress, 2), 2) + "%";
}

std::string EstimatedTotalText(double cpuSeconds, double progress) {
  if (!(progress > 0) || !(cpuSeconds >= 0))
    return kUnknownFigure;
  return HoursMinutesText(cpuSeconds / (progress / 100));
}

std::string TimeLeftText(double cpuSeconds, double progress) {
  if (!(progress > 0) || !(cpuSeconds >= 0))
    return kUnknownFigure;
  return HoursMinutesText(cpuSeconds / (progress / 100) - cpuSeconds);
}

std::string HoursMinutesText(double seconds) {
  // A tiny progress makes the estimate huge, infinite or NaN; a wrapped number would look like
  // a real (negative) time, so such figures are shown as unknown instead.
  if (std::isnan(seconds) || std::fabs(seconds) >= kBeyondInt64)
    return kUnknownFigure;
  const std::int64_t whole = TruncToInt64(seconds);
  const std::int64_t hours = whole / 3600;
  const std::int64_t minutes = (whole - 3600 * hours) / 60;
  char text[64];
  std::snprintf(text, sizeof text, "%2lld:%2lld", static_cast<long long>(hours),
                static_cast<long long>(minutes));
  return text;
}

SelectedFigures ReadSelectedFigures(FileSystem& fs, const std::optional<std::string>& selectedPath) {
  SelectedFigures figures;
  if (!selectedPath)
    return figures;
  figures.rowSelected = true;
  figures.path = *selectedPath;

  TUserInfo user;
  if (user.Load(fs, figures.path)) {
    figures.userRead = true;
    figures.userName = user.UserName;
    figures.totalUnits = user.ResultCount < 0 ? kUnknownFigure : std::to_string(user.ResultCount);
    figures.totalCpu = TotalCpuText(user.TotalCpu);
    figures.averageCpu = AverageCpuText(user.TotalCpu, user.ResultCount);
  }
  if (user.Unreachable)
    return figures;  // one call has said it: asking again would wait as long

  TState state;
  if (state.Load(fs, figures.path)) {
    figures.stateRead = true;
    figures.progress = ProgressText(state.Progress);
    figures.timeTotal = EstimatedTotalText(state.CpuTime, state.Progress);
    figures.timeLeft = TimeLeftText(state.CpuTime, state.Progress);
  }
  return figures;
}

std::string UserGroupCaption(const SelectedFigures& figures) {
  if (!figures.rowSelected)
    return kNoLocationMarked;
  if (!figures.userRead)
    return kNoUserInfo;
  return "User info (" + figures.userName + ")";
}

std::string UnitGroupCaption(const SelectedFigures& figures) {
  if (!figures.rowSelected)
    return kNoLocationMarked;
  if (!figures.stateRead)
    return kNoProgressInfo;
  return "Working unit info";
}

}  // namespace velmora

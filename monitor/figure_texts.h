// The five statistics figures of the selected location, formatted once for the statistics
// panel and the details window alike. A value the readers did not find shows "?".
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

class FileSystem;

inline constexpr const char* kUnknownFigure = "?";
inline constexpr const char* kNoUserInfo = "No user info found";
inline constexpr const char* kNoProgressInfo = "No progress info found";
inline constexpr const char* kNoLocationMarked = "No location marked!";

// "%.3f years" of 365-day years; "?" for a negative (missing) total.
std::string TotalCpuText(double totalCpuSeconds);
// TotalCpu / ResultCount as "%2d:%2d" hours:minutes; "?" when the count is not positive or the
// total is missing (negative).
std::string AverageCpuText(double totalCpuSeconds, std::int32_t resultCount);
// "%.2f%%" after rounding to two decimals; "?" for a negative (missing) progress.
std::string ProgressText(double progress);
// CpuTime / (Progress / 100) as "%2d:%2d"; "?" unless progress > 0, the CPU time was found
// (not negative) and the figure fits HoursMinutesText.
std::string EstimatedTotalText(double cpuSeconds, double progress);
// Estimated total - CpuTime as "%2d:%2d"; same conditions.
std::string TimeLeftText(double cpuSeconds, double progress);
// Whole seconds truncated toward zero as "%2d:%2d"; hours are not folded into days and are
// written in full however large. "?" for NaN, infinities and values beyond 64 bits.
std::string HoursMinutesText(double seconds);

// Everything the statistics panel and the details window show for one location.
struct SelectedFigures {
  bool rowSelected = false;
  bool userRead = false;   // user_info.sah gave lines
  bool stateRead = false;  // state.sah gave lines
  std::string path;        // the selected folder, as stored
  std::string userName;
  std::string totalUnits = kUnknownFigure;
  std::string totalCpu = kUnknownFigure;
  std::string averageCpu = kUnknownFigure;
  std::string progress = kUnknownFigure;
  std::string timeTotal = kUnknownFigure;
  std::string timeLeft = kUnknownFigure;
};

// Reads the folder of the selected row (none: nothing is read) with one state reader and one
// user reader.
SelectedFigures ReadSelectedFigures(FileSystem& fs, const std::optional<std::string>& selectedPath);

// Captions of the monitor window's two group boxes for those figures.
std::string UserGroupCaption(const SelectedFigures& figures);  // "User info (name)" ...
std::string UnitGroupCaption(const SelectedFigures& figures);  // "Working unit info" ...

}  // namespace velmora

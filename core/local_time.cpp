// Local date-times: the two-second form in which the readers report file times, and the
// table's text.
#include "core/local_time.h"

#include <cstdio>

namespace velmora {

LocalDateTime ToTwoSecondTime(LocalDateTime time) {
  constexpr int kFirstYear = 1980;  // the DOS date form's year 0
  constexpr int kLastYear = 2107;   // its year 127, the largest its seven bits hold
  if (time.year < kFirstYear || time.year > kLastYear)
    return {};
  time.second -= time.second % 2;
  return time;
}

std::string FormatTableDate(const LocalDateTime& time) {
  if (!time.IsSet())
    return {};
  char buffer[80];
  std::snprintf(buffer, sizeof buffer, "%04d.%02d.%02d  %02d:%02d", time.year, time.month, time.day,
                time.hour, time.minute);
  return buffer;
}

}  // namespace velmora

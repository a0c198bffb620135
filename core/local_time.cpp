// Formatting of local date-times.
#include "core/local_time.h"

#include <cstdio>

namespace velmora {

std::string FormatTableDate(const LocalDateTime& time) {
  char buffer[80];
  std::snprintf(buffer, sizeof buffer, "%04d.%02d.%02d  %02d:%02d", time.year, time.month, time.day,
                time.hour, time.minute);
  return buffer;
}

}  // namespace velmora

#include <ctime>

#include "monitor/history_clock.h"

namespace velmora {

LocalDateTime LocalTimeOf(std::int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm fields{};
  localtime_r(&time, &fields);
  return {fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
          fields.tm_hour,        fields.tm_min,     fields.tm_sec};
}

std::int64_t LocalMidnight(int year, int month, int day) {
  std::tm fields{};
  fields.tm_year = year - 1900;
  fields.tm_mon = month - 1;
  fields.tm_mday = day;
  fields.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&fields));
}

}  // namespace velmora

// Local time for the history's days and texts, from the platform's own zone rules: on Windows
// the system's time zone (as file times are shown), elsewhere the C library's (TZ).
#pragma once

#include <cstdint>

#include "core/local_time.h"

namespace velmora {

// Seconds since 1970 (UTC) as local date and time.
LocalDateTime LocalTimeOf(std::int64_t seconds);
// The start of a local day, as seconds since 1970 (UTC); a day past the month's end carries over.
std::int64_t LocalMidnight(int year, int month, int day);

}  // namespace velmora

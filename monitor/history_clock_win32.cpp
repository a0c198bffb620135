// The C library's localtime on Windows reads a TZ variable in its own format when one is set
// (Wine passes the Unix one on) and would take other zone rules than the system's: the system's
// own conversions are used instead.
#include <windows.h>

#include "monitor/history_clock.h"

namespace velmora {

namespace {

constexpr ULONGLONG kTicksTo1970 = 116444736000000000ULL;  // 100 ns ticks from 1601 to 1970
constexpr ULONGLONG kTicksPerSecond = 10000000ULL;

SYSTEMTIME SystemTimeOf(std::int64_t seconds) {
  const ULONGLONG ticks = kTicksTo1970 + static_cast<ULONGLONG>(seconds) * kTicksPerSecond;
  const FILETIME file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME system{};
  ::FileTimeToSystemTime(&file, &system);
  return system;
}

std::int64_t SecondsOf(const SYSTEMTIME& system) {
  FILETIME file{};
  ::SystemTimeToFileTime(&system, &file);
  const ULONGLONG ticks = (ULONGLONG{file.dwHighDateTime} << 32) | file.dwLowDateTime;
  return static_cast<std::int64_t>((ticks - kTicksTo1970) / kTicksPerSecond);
}

}  // namespace

LocalDateTime LocalTimeOf(std::int64_t seconds) {
  const SYSTEMTIME utc = SystemTimeOf(seconds);
  SYSTEMTIME local{};
  if (!::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
    local = utc;
  return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

std::int64_t LocalMidnight(int year, int month, int day) {
  // The date's day number through a UTC calendar, so that a day past the month's end carries.
  SYSTEMTIME first{};
  first.wYear = static_cast<WORD>(year);
  first.wMonth = static_cast<WORD>(month);
  first.wDay = 1;
  const SYSTEMTIME date = SystemTimeOf(SecondsOf(first) + (day - 1) * 86400LL);
  SYSTEMTIME utc{};
  if (!::TzSpecificLocalTimeToSystemTime(nullptr, &date, &utc))
    utc = date;
  return SecondsOf(utc);
}

}  // namespace velmora

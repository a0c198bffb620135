// A local date and time as the client folders need it: to the second, no time zone attached.
#pragma once

#include <compare>
#include <string>

namespace velmora {

struct LocalDateTime {
  int year = 0;  // 0 means "no time"
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;

  bool IsSet() const { return year != 0; }
  auto operator<=>(const LocalDateTime&) const = default;
};

// A file's local time as the readers report it: to two seconds (the seconds rounded down to
// even), in the date form of FAT and DOS, which holds the years 1980 to 2107 only. A time
// outside those years cannot be told in that form and is taken as missing: it comes back
// unset, on every platform alike.
LocalDateTime ToTwoSecondTime(LocalDateTime time);

// "yyyy.mm.dd  hh:nn" (two blanks), the table's "Last date" form; empty for a time that is
// not set.
std::string FormatTableDate(const LocalDateTime& time);

}  // namespace velmora

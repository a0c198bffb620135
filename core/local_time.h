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

// "yyyy.mm.dd  hh:nn" (two blanks), the table's "Last date" form.
std::string FormatTableDate(const LocalDateTime& time);

}  // namespace velmora

// The decimal-mark rule: "." for every floating-point number the program reads or writes.
#include "core/decimal_rule.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <clocale>
#include <system_error>

namespace velmora {

void ApplyDecimalRule() {
  // FormatFixed and SafeStrToFloat never consult the locale; this keeps printf-style formatting
  // elsewhere in the process (and in the runtime) on "." too.
  std::setlocale(LC_NUMERIC, "C");
}

std::string FormatFixed(double value, int decimals) {
  // Enough for the largest double in fixed notation (309 digits) with up to 100 decimals.
  constexpr int kMaxDecimals = 100;
  std::array<char, 420> buffer{};
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  const auto [end, error] =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, decimals);
  if (error != std::errc())
    return std::string();
  std::string text(buffer.data(), end);
  // A small negative value rounds to "-0.00"; the table should not show a signed zero.
  if (text.size() > 1 && text.front() == '-' && text.find_first_not_of("0.", 1) == std::string::npos) {
    text.erase(0, 1);
  }
  return text;
}

}  // namespace velmora

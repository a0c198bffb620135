// Number tools for display.
#include "core/tools.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace velmora {

double RoundToDigits(double value, int decimals) {
  if (decimals > 19)
    decimals = 19;
  if (decimals < 0)
    decimals = 0;
  // 10^19 = 2^19 * 5^19 and 5^19 needs 45 bits, so every scale is exact in a 64-bit mantissa.
  long double scale = 1;
  for (int i = 0; i < decimals; ++i)
    scale *= 10;

  // Extended precision keeps a product just below a half from being rounded up onto it.
  long double scaled = static_cast<long double>(value) * scale;
  scaled += value >= 0 ? 0.5L : -0.5L;  // -0.0 counts as not negative
  // Beyond 2^63 the truncation to 64 bits would be undefined; such values (and NaN and the
  // infinities) have no fraction worth rounding at these scales anyway.
  constexpr long double kTwoTo63 = 9223372036854775808.0L;
  if (!std::isfinite(scaled) || std::fabs(scaled) >= kTwoTo63)
    return value;
  const auto whole = static_cast<std::int64_t>(scaled);
  return static_cast<double>(static_cast<long double>(whole) / scale);
}

void SplitSeconds(std::int32_t seconds, std::int32_t& hours, std::int32_t& minutes) {
  // Truncating integer division gives what "seconds / 60 / 60, truncated" gives in floating
  // point for every 32-bit input; 64 bits keep 3600 * hours clear of overflow.
  const std::int64_t total = seconds;
  const std::int64_t wholeHours = total / 3600;
  hours = static_cast<std::int32_t>(wholeHours);
  minutes = static_cast<std::int32_t>((total - 3600 * wholeHours) / 60);
}

std::int32_t TruncToInt32(double value) {
  if (std::isnan(value))
    return 0;
  if (value >= 2147483648.0)
    return std::numeric_limits<std::int32_t>::max();
  if (value <= -2147483649.0)
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

std::int64_t TruncToInt64(double value) {
  if (std::isnan(value))
    return 0;
  constexpr double kTwoTo63 = 9223372036854775808.0;
  if (value >= kTwoTo63)
    return std::numeric_limits<std::int64_t>::max();
  // -2^63 itself fits; the next double below it does not.
  if (value < -kTwoTo63)
    return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(value);
}

int ScalePixels(int pixels, int dpi, int fromDpi) {
  const std::int64_t product = static_cast<std::int64_t>(pixels) * dpi;
  const std::int64_t magnitude = (std::abs(product) + fromDpi / 2) / fromDpi;
  const std::int64_t scaled = product < 0 ? -magnitude : magnitude;
  if (scaled > std::numeric_limits<int>::max())
    return std::numeric_limits<int>::max();
  if (scaled < std::numeric_limits<int>::min())
    return std::numeric_limits<int>::min();
  return static_cast<int>(scaled);
}

}  // namespace velmora

// Number tools for display: rounding, choosing a text, splitting seconds, and the saturating
// truncation every figure uses before it becomes a whole number of seconds.
#pragma once

#include <cstdint>
#include <string>

namespace velmora {

// `value` rounded half away from zero to `decimals` (clamped to 0..19), in extended precision.
// Values whose scaled magnitude reaches 2^63, NaN and infinities come back unchanged.
double RoundToDigits(double value, int decimals);

inline const std::string& IfThenStr(bool flag, const std::string& whenTrue, const std::string& whenFalse) {
  return flag ? whenTrue : whenFalse;
}

// Whole hours and minutes of `seconds`, truncated toward zero, with the sign of the input.
void SplitSeconds(std::int32_t seconds, std::int32_t& hours, std::int32_t& minutes);

// `value` truncated toward zero into 32 bits: NaN gives 0, values beyond the range give the
// nearest limit. Never undefined behaviour.
std::int32_t TruncToInt32(double value);

// The same into 64 bits, for figures that may exceed 32 bits.
std::int64_t TruncToInt64(double value);

// The dots per inch every layout of the program is given in.
inline constexpr int kLayoutDpi = 96;

// `pixels` of a layout given at `fromDpi` (more than 0) dots per inch, in pixels at `dpi`: rounded
// to nearest with halves away from zero (as Win32's MulDiv rounds), saturated to the int range.
// The same dpi gives `pixels` unchanged.
int ScalePixels(int pixels, int dpi, int fromDpi = kLayoutDpi);

}  // namespace velmora

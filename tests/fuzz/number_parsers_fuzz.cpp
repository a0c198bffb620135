// Fuzzes the lenient number parsers and the character and number tools with arbitrary bytes,
// checking properties that a wrong implementation would break, not just the absence of crashes.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "core/text.h"
#include "core/tools.h"

namespace {

using namespace velmora;

void Require(bool holds) {
  if (!holds)
    __builtin_trap();
}

// Plain replace-all, the expected result when the pattern is one character that a non-empty
// replacement does not contain.
std::string ReplaceAllOfChar(char from, const std::string& to, const std::string& source) {
  std::string result;
  for (char c : source)
    result += c == from ? to : std::string(1, c);
  return result;
}

void CheckParsers(const std::string& text, std::int32_t n) {
  SafeStrToInt(text);
  Require(std::isfinite(SafeStrToFloat(text)));

  Require(SafeStrToInt(std::to_string(n)) == n);
  Require(SafeStrToInt("  " + std::to_string(n) + "\r\n") == n);
  char hex[16];
  std::snprintf(hex, sizeof hex, "$%X", static_cast<unsigned>(n));
  Require(SafeStrToInt(hex) == n);
  std::snprintf(hex, sizeof hex, "0x%08x", static_cast<unsigned>(n));
  Require(SafeStrToInt(hex) == n);
  // One more digit pushes a large value out of range, which must give 0, not a wrapped value.
  const std::int64_t longer = static_cast<std::int64_t>(n) * 10 + (n < 0 ? -9 : 9);
  const bool fits = longer >= std::numeric_limits<std::int32_t>::min() &&
                    longer <= std::numeric_limits<std::int32_t>::max();
  Require(SafeStrToInt(std::to_string(longer)) == (fits ? longer : 0));
  Require(SafeStrToFloat(std::to_string(n)) == n);
}

void CheckReplace(FuzzedDataProvider& data) {
  const std::string pattern = data.ConsumeRandomLengthString(4);
  const std::string replacement = data.ConsumeRandomLengthString(8);
  const std::string source = data.ConsumeRandomLengthString(256);
  const std::string result = ReplaceText(pattern, replacement, source);
  // At most length + 1 replacements, each adding at most the replacement's length.
  Require(result.size() <= source.size() + (source.size() + 1) * replacement.size());
  if (pattern.empty() || source.find(pattern) == std::string::npos)
    Require(result == source);
  // An empty replacement is excluded: it stops at the second of two adjacent occurrences.
  if (pattern.size() == 1 && !replacement.empty() && replacement.find(pattern[0]) == std::string::npos)
    Require(result == ReplaceAllOfChar(pattern[0], replacement, source));
}

void CheckCharacterCounts(FuzzedDataProvider& data) {
  const std::string text = data.ConsumeRandomLengthString(64);
  const int length = static_cast<int>(text.size());
  const int count = data.ConsumeIntegralInRange<int>(-8, length + 8);
  const std::string right = RightChars(text, count);
  const std::string kept = DropRightChars(text, count);
  if (count > length) {
    Require(right.empty() && kept.empty());
  } else {
    Require(kept + right == text);
    Require(static_cast<int>(right.size()) == (count > 0 ? count : 0));
  }

  const int width = data.ConsumeIntegralInRange<int>(-4, 300);
  const char fill = data.ConsumeIntegral<char>();
  const std::string padded = PadLeftChars(text, width, fill);
  Require(padded.size() == std::max(text.size(), static_cast<std::size_t>(std::max(width, 0))));
  Require(padded.compare(padded.size() - text.size(), text.size(), text) == 0);
  Require(padded.find_first_not_of(fill) >= padded.size() - text.size());
}

void CheckRounding(FuzzedDataProvider& data) {
  const double value = std::bit_cast<double>(data.ConsumeIntegral<std::uint64_t>());
  const int decimals = data.ConsumeIntegral<int>();
  const double rounded = RoundToDigits(value, decimals);
  if (std::isnan(value)) {
    Require(std::isnan(rounded));
    return;
  }
  Require(std::isfinite(rounded) == std::isfinite(value));
  if (!std::isfinite(value))
    return;
  // Never crosses zero, and never moves by more than half a unit of the last kept decimal
  // (plus the rounding of the final division).
  Require(!(rounded > 0 && value < 0) && !(rounded < 0 && value > 0));
  const int kept = decimals < 0 ? 0 : (decimals > 19 ? 19 : decimals);
  const long double halfUnit = 0.5L / std::pow(10.0L, kept);
  const long double moved = std::fabs(static_cast<long double>(rounded) - value);
  Require(moved <= halfUnit + std::fabs(static_cast<long double>(value)) * 0x1p-50L);
}

// Truncation moves toward zero by less than one, unless it had to stop at a limit, which is only
// a valid answer for a value at or beyond `limit`. Long double holds every int64 and every
// value - 1 here exactly.
template <typename Int>
void CheckTruncated(double value, Int truncated, long double limit) {
  if (std::isnan(value)) {
    Require(truncated == 0);
    return;
  }
  const long double wide = value;
  const long double result = static_cast<long double>(truncated);
  const bool atLimit =
      (truncated == std::numeric_limits<Int>::max() || truncated == std::numeric_limits<Int>::min()) &&
      std::fabs(wide) >= limit;
  Require(std::fabs(result) <= std::fabs(wide) || atLimit);
  Require(std::fabs(wide - result) < 1 || atLimit);
  Require(!(value > 0 && truncated < 0) && !(value < 0 && truncated > 0));
}

void CheckWholeNumbers(FuzzedDataProvider& data) {
  const auto seconds = data.ConsumeIntegral<std::int32_t>();
  std::int32_t hours = 0;
  std::int32_t minutes = 0;
  SplitSeconds(seconds, hours, minutes);
  const double m = static_cast<double>(seconds) / 60.0;
  const auto floatHours = static_cast<std::int32_t>(m / 60.0);
  Require(hours == floatHours);
  Require(minutes == static_cast<std::int32_t>(m - floatHours * 60.0));
  Require(hours == seconds / 3600 && minutes == (seconds - 3600 * hours) / 60);

  const double value = std::bit_cast<double>(data.ConsumeIntegral<std::uint64_t>());
  CheckTruncated(value, TruncToInt32(value), 2147483647.0L);
  CheckTruncated(value, TruncToInt64(value), 0x1p63L);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  if (size > 4096)
    return 0;
  const std::string whole(reinterpret_cast<const char*>(bytes), size);
  FuzzedDataProvider data(bytes, size);
  CheckParsers(whole, data.ConsumeIntegral<std::int32_t>());
  CheckReplace(data);
  CheckCharacterCounts(data);
  CheckRounding(data);
  CheckWholeNumbers(data);
  return 0;
}

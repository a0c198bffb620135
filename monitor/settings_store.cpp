// The typed primitives of the settings store, built on its raw text reads and writes.
#include "monitor/settings_store.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "core/text.h"

namespace velmora {
namespace {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

// The integer grammar of SafeStrToInt (blanks around, an optional sign, decimal digits within the
// 32-bit range, or "$", "x", "0x" and one to eight hex digits as a two's-complement pattern),
// but a text outside it is reported instead of read as 0: a stored "0" must not look like "abc".
bool TryParseInteger(std::string_view text, int& value) {
  const std::string trimmed = TrimText(text);
  std::string_view rest = trimmed;
  bool negative = false;
  if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }

  std::string_view hexDigits;
  bool isHex = false;
  if (!rest.empty() && (rest.front() == '$' || rest.front() == 'x' || rest.front() == 'X')) {
    hexDigits = rest.substr(1);
    isHex = true;
  } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
    hexDigits = rest.substr(2);
    isHex = true;
  }

  if (isHex) {
    if (hexDigits.empty() || hexDigits.size() > 8)
      return false;
    std::uint32_t pattern = 0;
    for (char c : hexDigits) {
      const int nibble = HexDigitValue(c);
      if (nibble < 0)
        return false;
      pattern = (pattern << 4) | static_cast<std::uint32_t>(nibble);
    }
    if (negative)
      pattern = 0u - pattern;  // unsigned wrap-around: "-$80000000" is INT32_MIN
    value = static_cast<std::int32_t>(pattern);
    return true;
  }

  if (rest.empty())
    return false;
  const std::uint64_t limit = negative ? 2147483648u : 2147483647u;
  std::uint64_t magnitude = 0;
  for (char c : rest) {
    if (c < '0' || c > '9')
      return false;
    magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
    if (magnitude > limit)
      return false;
  }
  const auto bits = static_cast<std::uint32_t>(magnitude);
  value = static_cast<std::int32_t>(negative ? 0u - bits : bits);
  return true;
}

}  // namespace

int SettingsStore::ReadInteger(const std::string& section, const std::string& key, int defaultValue) {
  std::string text;
  if (!ReadRaw(section, key, text))
    return defaultValue;
  int value = 0;
  return TryParseInteger(text, value) ? value : defaultValue;
}

bool SettingsStore::ReadBool(const std::string& section, const std::string& key, bool defaultValue) {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::string SettingsStore::ReadText(const std::string& section,
                                    const std::string& key,
                                    const std::string& defaultValue) {
  std::string text;
  return ReadRaw(section, key, text) ? text : defaultValue;
}

void SettingsStore::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteRaw(section, key, std::to_string(value));
}

void SettingsStore::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteRaw(section, key, value ? "1" : "0");
}

void SettingsStore::WriteText(const std::string& section, const std::string& key, const std::string& value) {
  WriteRaw(section, key, value);
}

}  // namespace velmora

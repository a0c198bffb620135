// Text helpers. Everything here works on bytes: the client files and the registry values the
// program reads are single-byte ANSI text, and every prefix or separator it looks for is ASCII.
#include "core/text.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <system_error>

#include "core/file_system.h"

namespace velmora {
namespace {

bool IsTrimmed(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

int HexValue(char c) {
  if (IsDigit(c))
    return c - '0';
  const char upper = AsciiUpper(c);
  if (upper >= 'A' && upper <= 'F')
    return upper - 'A' + 10;
  return -1;
}

// Reads 1..8 hex digits as a 32-bit pattern; false for anything else.
bool ParseHexPattern(std::string_view digits, std::uint32_t& pattern) {
  if (digits.empty() || digits.size() > 8)
    return false;
  pattern = 0;
  for (char c : digits) {
    const int nibble = HexValue(c);
    if (nibble < 0)
      return false;
    pattern = (pattern << 4) | static_cast<std::uint32_t>(nibble);
  }
  return true;
}

// Reads decimal digits whose magnitude is at most `limit`; false for anything else.
bool ParseDecimalMagnitude(std::string_view digits, std::uint32_t limit, std::uint32_t& magnitude) {
  if (digits.empty())
    return false;
  std::uint64_t value = 0;
  for (char c : digits) {
    if (!IsDigit(c))
      return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > limit)
      return false;
  }
  magnitude = static_cast<std::uint32_t>(value);
  return true;
}

// The pieces of a number text that passed the float grammar, without its sign.
struct FloatParts {
  bool negative = false;
  std::string_view mantissa;  // digits with at most one ".", never empty
  std::string_view exponent;  // sign and digits after "E"; empty when absent or digit-less
};

bool SplitFloatText(std::string_view text, FloatParts& parts) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    parts.negative = text[i] == '-';
    ++i;
  }
  const std::size_t mantissaStart = i;
  int points = 0;
  while (i < text.size() && (IsDigit(text[i]) || text[i] == '.')) {
    if (text[i] == '.' && ++points > 1)
      return false;
    ++i;
  }
  if (i == mantissaStart)
    return false;
  parts.mantissa = text.substr(mantissaStart, i - mantissaStart);
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    const std::size_t exponentStart = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
      ++i;
    const std::size_t digitsStart = i;
    while (i < text.size() && IsDigit(text[i]))
      ++i;
    // "1e" and "1e-" mean exponent 0, which is the same as no exponent at all.
    if (i > digitsStart)
      parts.exponent = text.substr(exponentStart, i - exponentStart);
  }
  return i == text.size();
}

}  // namespace

std::string TrimText(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsTrimmed(text[begin]))
    ++begin;
  while (end > begin && IsTrimmed(text[end - 1]))
    --end;
  return std::string(text.substr(begin, end - begin));
}

bool StartsWithText(std::string_view text, std::string_view prefix) {
  // "The first occurrence of the prefix starts at the first character" is the same as a prefix
  // comparison, since an occurrence there is always the first one.
  if (text.empty() || prefix.empty() || prefix.size() > text.size())
    return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (AsciiUpper(text[i]) != AsciiUpper(prefix[i]))
      return false;
  }
  return true;
}

std::string ValueAfter(std::string_view text, char separator) {
  const std::size_t at = text.find(separator);
  if (at == std::string_view::npos)
    return std::string();
  return std::string(text.substr(at + 1));
}

bool TryStrToInt(std::string_view text, int& value) {
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
    std::uint32_t pattern = 0;
    if (!ParseHexPattern(hexDigits, pattern))
      return false;
    // Unsigned arithmetic wraps, so "-$80000000" comes out as INT32_MIN without overflow.
    if (negative)
      pattern = 0u - pattern;
    value = static_cast<std::int32_t>(pattern);
    return true;
  }

  const std::uint32_t limit = negative ? 2147483648u : 2147483647u;
  std::uint32_t magnitude = 0;
  if (!ParseDecimalMagnitude(rest, limit, magnitude))
    return false;
  value = static_cast<std::int32_t>(negative ? 0u - magnitude : magnitude);
  return true;
}

int SafeStrToInt(std::string_view text) {
  int value = 0;
  return TryStrToInt(text, value) ? value : 0;
}

double SafeStrToFloat(std::string_view text) {
  const std::string trimmed = TrimText(text);
  if (trimmed.empty())
    return 0;
  const std::string pointed = ReplaceText(",", ".", trimmed);

  // The grammar is checked here rather than left to the parser, which would also take "inf",
  // "nan" and hex floats, and stop quietly at the first character it does not know.
  FloatParts parts;
  if (!SplitFloatText(pointed, parts))
    return 0;

  // from_chars wants a digit on both sides of the point; "5.", ".5" and "." are fine numbers here.
  std::string normal;
  normal.reserve(parts.mantissa.size() + parts.exponent.size() + 3);
  if (parts.mantissa.front() == '.')
    normal += '0';
  normal += parts.mantissa;
  if (parts.mantissa.back() == '.')
    normal += '0';
  if (!parts.exponent.empty()) {
    normal += 'e';
    normal += parts.exponent;
  }

  // Extended precision, and no locale: from_chars always reads "." as the decimal mark.
  long double value = 0;
  const auto [end, error] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  // Out of range covers overflow and a value too tiny for long double; both end as 0.
  if (error != std::errc() || end != normal.data() + normal.size())
    return 0;
  if (value > static_cast<long double>(std::numeric_limits<double>::max()))
    return 0;
  return static_cast<double>(parts.negative ? -value : value);
}

std::string ReplaceText(std::string_view pattern, std::string_view replacement, std::string_view source) {
  std::string work(source);
  const std::size_t sourceLength = source.size();
  auto find = [&pattern](const std::string& in) -> std::size_t {  // 1-based, 0 when absent
    if (pattern.empty())
      return 0;
    const std::size_t at = in.find(pattern);
    return at == std::string::npos ? 0 : at + 1;
  };

  std::size_t count = 0;
  std::size_t last = 0;
  std::size_t p = find(work);
  // A replacement that holds the pattern could feed itself forever; the two stop rules bound it.
  while (p > last && count <= sourceLength) {
    ++count;
    work.replace(p - 1, pattern.size(), replacement);
    last = p;
    p = find(work);
  }
  return work;
}

std::string RightChars(std::string_view text, int count) {
  if (count <= 0 || static_cast<std::size_t>(count) > text.size())
    return std::string();
  return std::string(text.substr(text.size() - static_cast<std::size_t>(count)));
}

std::string DropRightChars(std::string_view text, int count) {
  if (count <= 0)
    return std::string(text);
  if (static_cast<std::size_t>(count) >= text.size())
    return std::string();
  return std::string(text.substr(0, text.size() - static_cast<std::size_t>(count)));
}

std::string PadLeftChars(std::string_view text, int width, char fill) {
  std::string result;
  if (width > 0 && text.size() < static_cast<std::size_t>(width))
    result.assign(static_cast<std::size_t>(width) - text.size(), fill);
  result += text;
  return result;
}

std::string JoinPath(std::string_view folder, std::string_view fileName, const CharSizes& sizes) {
  std::string path(folder);
  if (path.empty() || FindLastCharOf(path, "\\", sizes) != path.size() - 1)
    path += '\\';
  path += fileName;
  return path;
}

void SplitLines(std::string_view contents, std::vector<std::string>& lines) {
  const std::size_t nul = contents.find('\0');
  if (nul != std::string_view::npos)
    contents = contents.substr(0, nul);

  std::size_t lineStart = 0;
  std::size_t i = 0;
  while (i < contents.size()) {
    const char c = contents[i];
    if (c != '\r' && c != '\n') {
      ++i;
      continue;
    }
    lines.emplace_back(contents.substr(lineStart, i - lineStart));
    i += (c == '\r' && i + 1 < contents.size() && contents[i + 1] == '\n') ? 2 : 1;
    lineStart = i;
  }
  if (lineStart < contents.size())
    lines.emplace_back(contents.substr(lineStart));
}

bool LoadLines(FileSystem& fs, const std::string& fileName, std::vector<std::string>& lines) {
  lines.clear();
  if (!fs.FileExists(fileName))
    return false;
  std::string contents;
  if (fs.ReadShared(fileName, kMaxTextFileBytes, contents) != ReadOutcome::kRead)
    return false;
  SplitLines(contents, lines);
  return !lines.empty();
}

}  // namespace velmora

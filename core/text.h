// Text helpers shared by the whole program: case-insensitive prefixes, key=value splitting, the
// lenient number parsers and the small character functions. Strings are single-byte (ANSI) text;
// counts are characters, positions count from 1 where a rule speaks of positions.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/char_sizes.h"

namespace velmora {

class FileSystem;

// Trims every character of code 32 or lower from both ends (blanks, tabs, CR, LF, controls).
std::string TrimText(std::string_view text);

// True when `text` begins with `prefix`, letter case ignored. An empty prefix or text gives false.
bool StartsWithText(std::string_view text, std::string_view prefix);

// What follows the first `separator` in `text`; empty when there is none. Not trimmed.
std::string ValueAfter(std::string_view text, char separator);

// Decimal (-2147483648..2147483647) or "$", "x", "0x" hex (1..8 digits, two's complement), after
// trimming; 0 for anything else. Never throws.
int SafeStrToInt(std::string_view text);

// The same grammar, telling a text outside it apart from "0": false, and `value` untouched.
bool TryStrToInt(std::string_view text, int& value);

// Parses [sign] mantissa [e [sign] digits] with "," read as ".", whatever the process locale,
// into a long double (80-bit natively; MinGW's library parses it correctly rounded to double),
// then returns it as a double. 0 for any other text and for values outside the range of a double.
double SafeStrToFloat(std::string_view text);

// Replaces occurrences of `pattern` left to right; stops when the next occurrence does not lie
// to the right of the previous one, or after length(source) + 1 replacements.
std::string ReplaceText(std::string_view pattern, std::string_view replacement, std::string_view source);

// The last `count` characters; empty when count exceeds the length or is 0 or less.
std::string RightChars(std::string_view text, int count);

// All but the last `count` characters; empty when count reaches the length; whole text for count <= 0.
std::string DropRightChars(std::string_view text, int count);

// `text` with `fill` in front up to `width` characters; never shortened.
std::string PadLeftChars(std::string_view text, int width, char fill);

// The folder, a "\" unless it already ends in one, then the file name. Only "\" is a separator,
// and only as a character of its own under `sizes`, not as the second byte of a double-byte one.
std::string JoinPath(std::string_view folder,
                     std::string_view fileName,
                     const CharSizes& sizes = CharSizes::InForce());

// Splits file contents into lines: CR LF, LF and CR end a line; a NUL ends the text; a last
// line without an ending counts. Appends to `lines`.
void SplitLines(std::string_view contents, std::vector<std::string>& lines);

// Files larger than this are not client text files; reading one counts as unreadable.
inline constexpr std::size_t kMaxTextFileBytes = 16u * 1024u * 1024u;

// Empties `lines`, then fills it with the lines of the file `fileName` (a file, not a folder),
// read while other writers are shut out. False when it gave no line: missing, unreadable,
// held open for writing elsewhere, larger than kMaxTextFileBytes, or empty.
bool LoadLines(FileSystem& fs, const std::string& fileName, std::vector<std::string>& lines);

}  // namespace velmora

#include "core/text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <string>
#include <tuple>
#include <vector>

#include "core/file_system.h"
#include "tests/support/one_file_system.h"

namespace velmora {
namespace {

TEST(TrimText, RemovesCodesUpTo32FromBothEnds) {
  const std::tuple<std::string, std::string> rows[] = {
      {"", ""},
      {"   ", ""},
      {"  a b  ", "a b"},
      {"\t\r\nx\r\n", "x"},
      {std::string("\x01\x1f"
                   "x"
                   "\x7f",
                   4),
       "x\x7f"},
      {std::string("\0x\0", 3), "x"},
      {"\xA0x\xA0", "\xA0x\xA0"},  // a non-breaking space in the ANSI page is above 32
  };
  for (const auto& [text, expected] : rows)
    EXPECT_EQ(TrimText(text), expected) << "text '" << text << "'";
}

TEST(StartsWithText, IgnoresCaseAndNeedsBothTexts) {
  const std::tuple<std::string, std::string, bool> rows[] = {
      {"PROG=0.5", "prog=", true}, {"prog=0.5", "PROG=", true}, {"Prog=", "pRoG=", true},
      {"prog", "prog=", false},    {"xprog=1", "prog=", false}, {" prog=1", "prog=", false},
      {"prog=1", "", false},       {"", "prog=", false},        {"", "", false},
      {"cpu=1", "cpu=", true},     {"[", "{", false},  // '[' and '{' differ by the case bit but are not
                                                       // letters
  };
  for (const auto& [text, prefix, expected] : rows)
    EXPECT_EQ(StartsWithText(text, prefix), expected) << text << " / " << prefix;
}

TEST(ValueAfter, TakesEverythingAfterTheFirstSeparator) {
  const std::tuple<std::string, std::string> rows[] = {
      {"prog=0.5", "0.5"}, {"a=b=c", "b=c"},      {"prog=", ""},     {"prog", ""}, {"", ""},
      {"=x", "x"},         {"name= Ann", " Ann"}, {"k = v ", " v "},
  };
  for (const auto& [text, expected] : rows)
    EXPECT_EQ(ValueAfter(text, '='), expected) << text;
}

TEST(SafeStrToInt, ReadsDecimalAndHexOrGivesZero) {
  const std::tuple<std::string, int> rows[] = {
      {"  42 ", 42},
      {"-17", -17},
      {"+17", 17},
      {"\t7\r\n", 7},
      {"007", 7},
      {"$1F", 31},
      {"$1f", 31},
      {"x1F", 31},
      {"X1F", 31},
      {"0x1F", 31},
      {"0X1f", 31},
      {"-$1F", -31},
      {"+0x10", 16},
      {"$FFFFFFFF", -1},
      {"$7FFFFFFF", 2147483647},
      {"$80000000", -2147483647 - 1},
      {"-$80000000", -2147483647 - 1},
      {"-$FFFFFFFF", 1},
      {"$00000001", 1},
      {"$100000000", 0},  // nine digits
      {"$000000001", 0},  // nine digits, even with a small value
      {"$", 0},
      {"0x", 0},
      {"x", 0},
      {"$G", 0},
      {"$1 F", 0},
      {"$-1", 0},
      {"0x0x1", 0},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", 0},
      {"+2147483648", 0},
      {"-2147483649", 0},
      {"99999999999999999999", 0},
      {"0", 0},
      {"-0", 0},
      {"", 0},
      {"   ", 0},
      {"4.5", 0},
      {"12abc", 0},
      {"1e3", 0},
      {"+-1", 0},
      {"--1", 0},
      {"+", 0},
      {"-", 0},
      {" 1 2", 0},
      {"1_000", 0},
  };
  for (const auto& [text, expected] : rows)
    EXPECT_EQ(SafeStrToInt(text), expected) << "text '" << text << "'";
}

TEST(SafeStrToFloat, ReadsEitherDecimalMarkOrGivesZero) {
  const std::tuple<std::string, double> rows[] = {
      {" 0,25 ", 0.25},
      {"0.25", 0.25},
      {"\t0,25\r\n", 0.25},
      {"-1e2", -100},
      {"1E2", 100},
      {"1e+2", 100},
      {"2.5e-1", 0.25},
      {"+.5", 0.5},
      {".5", 0.5},
      {"-.5", -0.5},
      {"5.", 5},
      {"5.e1", 50},
      {".", 0},
      {"-.", 0},
      {"1e", 1},
      {"1e+", 1},
      {"1e-", 1},
      {"-3E", -3},
      {"42", 42},
      {"0000.5", 0.5},
      {"1e308", 1e308},
      {"1.7976931348623157e308", DBL_MAX},
      {"1e-400", 0},
      {"1e400", 0},
      {"1.8e308", 0},
      {"-1.8e308", 0},
      {"1e99999999999999999999", 0},
      {"1e-99999999999999999999", 0},
      {"", 0},
      {"   ", 0},
      {"abc", 0},
      {"1.2.3", 0},
      {"1,234.5", 0},
      {"0x1p3", 0},
      {"inf", 0},
      {"-inf", 0},
      {"nan", 0},
      {"infinity", 0},
      {"1 .5", 0},
      {"1e 2", 0},
      {"1e2.5", 0},
      {"1e2e3", 0},
      {"e2", 0},
      {"+", 0},
      {"+-1", 0},
      {"1-", 0},
      {"1.5x", 0},
  };
  for (const auto& [text, expected] : rows)
    EXPECT_EQ(SafeStrToFloat(text), expected) << "text '" << text << "'";
}

TEST(SafeStrToFloat, KeepsSubnormalValues) {
  const double parsed = SafeStrToFloat("4e-320");
  EXPECT_GT(parsed, 0.0);
  EXPECT_LT(parsed, DBL_MIN);
}

TEST(ReplaceText, ReplacesLeftToRightUntilAStopRuleHolds) {
  const std::tuple<std::string, std::string, std::string, std::string> rows[] = {
      {",", ".", "1,2,3", "1.2.3"},
      {",", ".", "no commas", "no commas"},
      {"", ".", "1,2", "1,2"},
      {",", ".", "", ""},
      {"a", "ba", "aa", "bbbaa"},  // stops after length + 1 replacements
      {"a", "aa", "a", "aa"},      // the next occurrence is not to the right of the last
      {",", "", "1,,2", "1,2"},
      {",", "", "1,2,3", "123"},
      {"ab", "x", "abab", "xx"},
      {"ab", "a", "abb", "ab"},  // the rebuilt text holds a new occurrence at the same place
      {"aa", "b", "aaaa", "bb"},
      {"abc", "-", "ab", "ab"},
      {"x", "yy", "axbxc", "ayybyyc"},
  };
  for (const auto& [pattern, replacement, source, expected] : rows) {
    EXPECT_EQ(ReplaceText(pattern, replacement, source), expected)
        << "'" << pattern << "' -> '" << replacement << "' in '" << source << "'";
  }
}

TEST(RightChars, GivesTheLastCharactersOrNothing) {
  const std::tuple<std::string, int, std::string> rows[] = {
      {"abc", 4, ""}, {"abc", 3, "abc"}, {"abc", 2, "bc"}, {"abc", 1, "c"},
      {"abc", 0, ""}, {"abc", -1, ""},   {"", 0, ""},      {"", 1, ""},
  };
  for (const auto& [text, count, expected] : rows)
    EXPECT_EQ(RightChars(text, count), expected) << text << " " << count;
}

TEST(DropRightChars, GivesAllButTheLastCharacters) {
  const std::tuple<std::string, int, std::string> rows[] = {
      {"abc", 3, ""},   {"abc", 4, ""}, {"abc", 0, "abc"}, {"abc", -2, "abc"},      {"abc,1", 2, "abc"},
      {"abc", 1, "ab"}, {"", 0, ""},    {"", -1, ""},      {"abc", 2147483647, ""},
  };
  for (const auto& [text, count, expected] : rows)
    EXPECT_EQ(DropRightChars(text, count), expected) << text << " " << count;
}

TEST(PadLeftChars, PadsUpToTheWidthAndNeverShortens) {
  const std::tuple<std::string, int, char, std::string> rows[] = {
      {"7", 4, '0', "0007"}, {"12345", 4, '0', "12345"}, {"1234", 4, '0', "1234"}, {"", 3, ' ', "   "},
      {"ab", 0, '0', "ab"},  {"ab", -5, '0', "ab"},      {"", 0, '0', ""},         {"x", 2, '*', "*x"},
  };
  for (const auto& [text, width, fill, expected] : rows)
    EXPECT_EQ(PadLeftChars(text, width, fill), expected) << text << " " << width;
}

TEST(JoinPath, PutsOneBackslashBetweenFolderAndFile) {
  const std::tuple<std::string, std::string, std::string> rows[] = {
      {"C:\\seti", "state.sah", "C:\\seti\\state.sah"},
      {"C:\\seti\\", "state.sah", "C:\\seti\\state.sah"},
      {"", "state.sah", "\\state.sah"},
      {"C:/seti/", "state.sah", "C:/seti/\\state.sah"},
      {"C:\\seti", "", "C:\\seti\\"},
      {"\\\\server\\share\\", "index.html", "\\\\server\\share\\index.html"},
  };
  for (const auto& [folder, file, expected] : rows)
    EXPECT_EQ(JoinPath(folder, file), expected) << folder << " + " << file;
}

// Code page 932: lead bytes 0x81-0x9F and 0xE0-0xFC; 0x5C ("\\") is the second byte of
// "\x95\x5C" and "\x83\x5C", and a character of its own after any other.
const CharSizes kJapanese = CharSizes::DoubleByte(
    [](unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); });

TEST(JoinPath, ReadsTheFolderByCharactersOfADoubleByteCodePage) {
  const std::tuple<std::string, std::string> rows[] = {
      {"C:\\SETI\\\x95\x5C", "C:\\SETI\\\x95\x5C\\state.sah"},
      {"C:\\SETI\\\x95\x5C\\", "C:\\SETI\\\x95\x5C\\state.sah"},
      {"C:\\\x83\x5C\x83\x5C", "C:\\\x83\x5C\x83\x5C\\state.sah"},
      {"C:\\\xE0\x5C\x41\\", "C:\\\xE0\x5C\x41\\state.sah"},
      {"C:\\\xA0\\", "C:\\\xA0\\state.sah"},  // 0xA0 leads nothing
      {"C:\\\x95", "C:\\\x95\\state.sah"},    // a lead byte cut short by the end
  };
  for (const auto& [folder, expected] : rows)
    EXPECT_EQ(JoinPath(folder, "state.sah", kJapanese), expected) << folder;
}

TEST(SplitLines, EndsLinesAtCrLfLfOrCrAndTheTextAtNul) {
  using Lines = std::vector<std::string>;
  const std::tuple<std::string, std::string, std::vector<std::string>> rows[] = {
      {"empty", "", Lines{}},
      {"one line, no ending", "a", Lines{"a"}},
      {"CR LF", "a\r\nb\r\n", Lines{"a", "b"}},
      {"LF", "a\nb\n", Lines{"a", "b"}},
      {"CR", "a\rb\r", Lines{"a", "b"}},
      {"mixed", "a\r\nb\nc\rd", Lines{"a", "b", "c", "d"}},
      {"last line without ending", "a\r\nb", Lines{"a", "b"}},
      {"only an ending", "\r\n", Lines{""}},
      {"only LF", "\n", Lines{""}},
      {"empty line between endings", "a\r\n\r\nb", Lines{"a", "", "b"}},
      {"LF CR is two endings", "a\n\rb", Lines{"a", "", "b"}},
      {"CR CR LF", "a\r\r\nb", Lines{"a", "", "b"}},
      {"NUL ends the text", std::string("a\r\nb\0c\r\nd", 9), Lines{"a", "b"}},
      {"NUL first", std::string("\0a\r\n", 4), Lines{}},
      {"NUL after an ending", std::string("a\r\n\0b", 5), Lines{"a"}},
      {"blanks are kept", " a \t\r\n", Lines{" a \t"}},
  };
  for (const auto& [name, contents, expected] : rows) {
    std::vector<std::string> lines;
    SplitLines(contents, lines);
    EXPECT_EQ(lines, expected) << name;
  }
}

TEST(SplitLines, AppendsToWhatTheListHolds) {
  std::vector<std::string> lines{"old"};
  SplitLines("new\r\n", lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"old", "new"}));
}

TEST(LoadLines, EmptiesTheListAndFillsItOnlyFromAWholeRead) {
  using Lines = std::vector<std::string>;
  const std::tuple<std::string, bool, ReadOutcome, std::string, bool, std::vector<std::string>> rows[] = {
      {"missing", false, ReadOutcome::kRead, "x\r\n", false, Lines{}},
      {"unreadable", true, ReadOutcome::kUnreadable, "", false, Lines{}},
      {"too large", true, ReadOutcome::kTooLarge, "", false, Lines{}},
      {"gone between the probe and the read", true, ReadOutcome::kMissing, "", false, Lines{}},
      {"empty", true, ReadOutcome::kRead, "", false, Lines{}},
      {"only NUL", true, ReadOutcome::kRead, std::string("\0", 1), false, Lines{}},
      {"only an ending", true, ReadOutcome::kRead, "\r\n", true, Lines{""}},
      {"two lines", true, ReadOutcome::kRead, "prog=0.5\r\ncpu=12", true, Lines{"prog=0.5", "cpu=12"}},
  };
  for (const auto& [name, exists, outcome, contents, expectedResult, expectedLines] : rows) {
    testing::OneFileSystem fs(contents, exists, outcome);
    std::vector<std::string> lines{"left over"};
    EXPECT_EQ(LoadLines(fs, "C:\\seti\\state.sah", lines), expectedResult) << name;
    EXPECT_EQ(lines, expectedLines) << name;
    EXPECT_EQ(fs.reads, exists ? 1 : 0) << name;
    EXPECT_EQ(fs.lastLimit, exists ? kMaxTextFileBytes : std::size_t{0}) << name;
  }
}

}  // namespace
}  // namespace velmora

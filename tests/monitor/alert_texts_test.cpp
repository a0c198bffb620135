// The texts of the notification-area icon: the balloon gathered from one batch of transitions and
// the tip with the counters, each within its Windows buffer.
#include "monitor/alert_texts.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "core/text.h"
#include "tests/support/named_rows.h"

namespace velmora {
namespace {

using testing::PrintTo;
using testing::RowName;
using Ids = std::vector<std::uint64_t>;

// 259 characters, the longest path Windows' ANSI functions take.
const std::string kLongPath = "\\\\server\\share\\" + std::string(230, 'x') + "\\machine-07";

const std::map<std::uint64_t, std::string> kCaptions = {{1, "C:\\seti\\alpha"},
                                                        {2, "D:\\seti\\beta"},
                                                        {3, "\\\\lab\\seti\\gamma"},
                                                        {9, kLongPath}};

std::string CaptionOf(std::uint64_t id) {
  return kCaptions.at(id);
}

const AlertOptions kDefaults;
const AlertOptions kAll{true, true, true, 20};

struct GatherCase {
  const char* name;
  Ids stallAlerts;
  Ids resultAlerts;
  AlertOptions options;
  std::optional<std::string> text;  // the balloon's text; nothing: no balloon
};

class GatherAlertsTest : public ::testing::TestWithParam<GatherCase> {};

TEST_P(GatherAlertsTest, OneBalloonPerBatch) {
  // What a view repaints is no news by itself.
  const StallTransitions transitions{{1, 2}, {3}, GetParam().stallAlerts, GetParam().resultAlerts};
  const std::optional<Balloon> balloon = GatherAlerts(transitions, CaptionOf, GetParam().options);
  ASSERT_EQ(balloon.has_value(), GetParam().text.has_value());
  if (balloon) {
    EXPECT_EQ(balloon->title, "Velmora");
    EXPECT_EQ(balloon->text, *GetParam().text);
  }
}

const GatherCase kBatches[] = {
    {"Nothing", {}, {}, kAll, std::nullopt},
    {"OneStall", {1}, {}, kDefaults, "C:\\seti\\alpha: no progress for 20 minutes"},
    {"OneStallOneMinute", {2}, {}, {true, true, false, 1}, "D:\\seti\\beta: no progress for 1 minute"},
    {"OneStallLongTime", {2}, {}, {true, true, false, 1440}, "D:\\seti\\beta: no progress for 1440 minutes"},
    {"ThreeStalls", {1, 2, 3}, {}, kDefaults, "3 locations stalled"},
    {"TwoStalls", {3, 1}, {}, kDefaults, "2 locations stalled"},
    {"ResultsOffByDefault", {}, {1}, kDefaults, std::nullopt},
    {"OneResult", {}, {3}, kAll, "\\\\lab\\seti\\gamma: result waiting to be sent"},
    {"TwoResults", {}, {1, 2}, kAll, "2 results waiting to be sent"},
    {"BothKindsStallsFirst",
     {1},
     {2},
     kAll,
     "C:\\seti\\alpha: no progress for 20 minutes\nD:\\seti\\beta: result waiting to be sent"},
    {"BothKindsSeveral", {1, 2, 3}, {1, 2}, kAll, "3 locations stalled\n2 results waiting to be sent"},
    {"StallsSwitchedOff", {1}, {2}, {true, false, true, 20}, "D:\\seti\\beta: result waiting to be sent"},
    {"BothSwitchedOff", {1}, {2}, {true, false, false, 20}, std::nullopt},
    {"NoIconNoBalloon", {1}, {2}, {false, true, true, 20}, std::nullopt}};

INSTANTIATE_TEST_SUITE_P(Batches, GatherAlertsTest, ::testing::ValuesIn(kBatches), RowName());

// A path as long as Windows allows still leaves the line's end and the path's own end in view.
struct LongPathCase {
  const char* name;
  Ids stallAlerts;
  Ids resultAlerts;
  std::vector<std::string> lineEnds;
};

class LongPathTest : public ::testing::TestWithParam<LongPathCase> {};

TEST_P(LongPathTest, ShortenedInTheMiddleToFit) {
  const StallTransitions transitions{{}, {}, GetParam().stallAlerts, GetParam().resultAlerts};
  const std::optional<Balloon> balloon = GatherAlerts(transitions, CaptionOf, kAll);
  ASSERT_TRUE(balloon.has_value());
  EXPECT_LE(balloon->text.size(), kBalloonTextChars);
  std::vector<std::string> lines;
  SplitLines(balloon->text, lines);
  ASSERT_EQ(lines.size(), GetParam().lineEnds.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE(lines[i]);
    const std::string& end = GetParam().lineEnds[i];
    EXPECT_TRUE(lines[i].ends_with(end)) << end;
    if (end.find("machine-07") != std::string::npos) {
      EXPECT_EQ(std::tuple(lines[i].find("...") != std::string::npos, lines[i].substr(0, 16)),
                std::tuple(true, kLongPath.substr(0, 16)));
    }
  }
}

const LongPathCase kLongPathLines[] = {
    {"LongStall", {9}, {}, {"\\machine-07: no progress for 20 minutes"}},
    {"LongResult", {}, {9}, {"\\machine-07: result waiting to be sent"}},
    {"BothLong",
     {9},
     {9},
     {"\\machine-07: no progress for 20 minutes", "\\machine-07: result waiting to be sent"}},
    {"LongAndShort",
     {9},
     {1},
     {"\\machine-07: no progress for 20 minutes", "C:\\seti\\alpha: result waiting to be sent"}}};

INSTANTIATE_TEST_SUITE_P(Lines, LongPathTest, ::testing::ValuesIn(kLongPathLines), RowName());

TEST(LongPathTest, LongestPathFillsTheBalloonExactly) {
  const std::string text = GatherAlerts(StallTransitions{{}, {}, {9}, {}}, CaptionOf, kDefaults)->text;
  ASSERT_GT(kLongPath.size() + 30, kBalloonTextChars);
  EXPECT_EQ(std::tuple(text.size(), text.find("...") != std::string::npos),
            std::tuple(kBalloonTextChars, true));
}

// The path, the characters it may take, and the path shortened.
class ShortenPathTest : public ::testing::TestWithParam<std::tuple<const char*, std::size_t, const char*>> {};

TEST_P(ShortenPathTest, KeepsMoreOfTheEnd) {
  const auto& [path, maxChars, expected] = GetParam();
  const std::string shortened = ShortenPath(path, maxChars);
  EXPECT_EQ(shortened, expected);
  EXPECT_LE(shortened.size(), maxChars);
}

const std::tuple<const char*, std::size_t, const char*> kShortenings[] = {
    {"C:\\seti", 20, "C:\\seti"},
    {"C:\\seti", 7, "C:\\seti"},
    {"C:\\seti\\machine", 12, "C:\\...achine"},
    {"C:\\seti\\machine", 6, "C...ne"},
    {"C:\\seti\\machine", 4, "...e"},
    {"C:\\seti\\machine", 3, "C:\\"},
    {"C:\\seti\\machine", 0, ""},
    {"", 0, ""}};

INSTANTIATE_TEST_SUITE_P(Paths, ShortenPathTest, ::testing::ValuesIn(kShortenings));

// The ANSI code pages as byte tables: the lead bytes of 932, and those of 936, 949 and 950.
const CharSizes kJapanese = CharSizes::DoubleByte(
    [](unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); });
const CharSizes kChineseKorean =
    CharSizes::DoubleByte([](unsigned char b) { return b >= 0x81 && b <= 0xFE; });
const CharSizes kUtf8 = CharSizes::Utf8(), kWestern = CharSizes::SingleByte();

struct CodePageCut {
  const char* name;
  const CharSizes& sizes;
  const char* text;
  std::size_t maxChars;
  const char* shortened;  // by ShortenPath
  const char* fitted;     // by FitText
};

class CodePageCutTest : public ::testing::TestWithParam<CodePageCut> {};

TEST_P(CodePageCutTest, NeverSplitsACharacter) {
  EXPECT_EQ(ShortenPath(GetParam().text, GetParam().maxChars, GetParam().sizes), GetParam().shortened);
  EXPECT_EQ(FitText(GetParam().text, GetParam().maxChars, GetParam().sizes), GetParam().fitted);
}

// 0x83 0x5C is a katakana letter in code page 932: its trail byte is the path separator's.
const CodePageCut kCodePageCuts[] = {
    {"Japanese", kJapanese, "ab\x83\x5c\x83\x5c\x83\x5c", 7, "a...\x83\x5c", "ab\x83\x5c\x83\x5c"},
    {"JapaneseHead", kJapanese, "\x82\xa0\x82\xa0\x82\xa0xyz", 8, "...\x82\xa0xyz",
     "\x82\xa0\x82\xa0\x82\xa0xy"},
    {"WesternCutsBytes", kWestern, "ab\x83\x5c\x83\x5c\x83\x5c", 7, "a...\x5c\x83\x5c",
     "ab\x83\x5c\x83\x5c\x83"},
    {"Chinese936Korean949Chinese950", kChineseKorean, "C:\\\xd6\xd0\xce\xc4x", 6, "C...x", "C:\\\xd6\xd0"},
    {"Utf8", kUtf8, "C:\\\xe6\x97\xa5\xe6\x9c\xac", 8, "C...\xe6\x9c\xac", "C:\\\xe6\x97\xa5"},
    {"Utf8FourBytes", kUtf8, "ab\xf0\x9f\x98\x80\xf0\x9f\x98\x80", 7, "a...", "ab\xf0\x9f\x98\x80"}};

INSTANTIATE_TEST_SUITE_P(CodePages, CodePageCutTest, ::testing::ValuesIn(kCodePageCuts), RowName());

// The rows at work, ready and stalled, and the tip.
class TrayTipTest : public ::testing::TestWithParam<std::tuple<int, int, int, const char*>> {};

TEST_P(TrayTipTest, CountersWithinTheTip) {
  const auto& [work, ready, stalled, expected] = GetParam();
  const std::string tip = TrayTip(work, ready, stalled);
  EXPECT_EQ(tip, expected);
  EXPECT_LE(tip.size(), kTrayTipChars);
}

const std::tuple<int, int, int, const char*> kTips[] = {
    {4, 1, 1, "Velmora: Work 4, Ready 1, Stalled 1"},
    {0, 0, 0, "Velmora: Work 0, Ready 0, Stalled 0"},
    {10000, 250, 37, "Velmora: Work 10000, Ready 250, Stalled 37"},
    {INT_MAX, INT_MIN, INT_MAX, "Velmora: Work 2147483647, Ready -2147483648, Stalled 2147483647"}};

INSTANTIATE_TEST_SUITE_P(Counters, TrayTipTest, ::testing::ValuesIn(kTips));

}  // namespace
}  // namespace velmora

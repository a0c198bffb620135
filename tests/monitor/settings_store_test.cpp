// The typed primitives of the settings store: what each stored text reads back as, and the text
// each write leaves.
#include "monitor/settings_store.h"

#include <gtest/gtest.h>

#include <climits>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/memory_settings_store.h"

namespace velmora {
namespace {

using testing::MemorySettingsStore;
using testing::SettingsErrorOf;

// The text stored (nullptr: the entry is absent) and the integer read.
using IntegerCase = std::tuple<const char*, int>;

class ReadIntegerTest : public ::testing::TestWithParam<IntegerCase> {};

// The default is 7 so that a text read as 0 cannot pass for a fallback to the default.
TEST_P(ReadIntegerTest, ReadsValidIntegersAndFallsBackOtherwise) {
  const auto& [stored, expected] = GetParam();
  MemorySettingsStore store;
  if (stored != nullptr)
    store.SetText("Layout", "FormWidth", stored);
  EXPECT_EQ(store.ReadInteger("Layout", "FormWidth", 7), expected);
}

const IntegerCase kIntegers[] = {{"42", 42},
                                 {"0", 0},
                                 {"-0", 0},
                                 {"000", 0},
                                 {"-17", -17},
                                 {"+5", 5},
                                 {"  42 ", 42},
                                 {"2147483647", INT_MAX},
                                 {"-2147483648", INT_MIN},
                                 {"$1F", 31},
                                 {"0x10", 16},
                                 {"X0", 0},
                                 {"$FFFFFFFF", -1},
                                 {"-$80000000", INT_MIN}};
// Each of these reads as the default.
const char* const kNotIntegers[] = {"",    "   ",        "abc",         "4.5",
                                    "1e3", "12abc",      "1 2",         "--1",
                                    "-",   "2147483648", "-2147483649", "99999999999999999999",
                                    "$",   "0x",         "$123456789",  "$1G"};

std::vector<IntegerCase> IntegerCases() {
  std::vector<IntegerCase> cases = {{nullptr, 7}};
  cases.insert(cases.end(), std::begin(kIntegers), std::end(kIntegers));
  for (const char* text : kNotIntegers)
    cases.push_back({text, 7});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Texts, ReadIntegerTest, ::testing::ValuesIn(IntegerCases()));

// The text stored (nullptr: the entry is absent), the default and the value read.
class ReadBoolTest : public ::testing::TestWithParam<std::tuple<const char*, bool, bool>> {};

TEST_P(ReadBoolTest, AnyIntegerOtherThanZeroIsTrue) {
  const auto& [stored, defaultValue, expected] = GetParam();
  MemorySettingsStore store;
  if (stored != nullptr)
    store.SetText("Interface", "sttBar", stored);
  EXPECT_EQ(store.ReadBool("Interface", "sttBar", defaultValue), expected);
}

const std::tuple<const char*, bool, bool> kBoolCases[] = {
    {nullptr, true, true}, {nullptr, false, false}, {"0", true, false},    {"1", false, true},
    {"2", false, true},    {"-1", false, true},     {"$0", true, false},   {"", true, true},
    {"", false, false},    {"true", false, false},  {"false", true, true}, {"yes", false, false}};

INSTANTIATE_TEST_SUITE_P(Texts, ReadBoolTest, ::testing::ValuesIn(kBoolCases));

TEST(ReadTextTest, AbsentEntryGivesTheDefault) {
  MemorySettingsStore store;
  store.SetText("Locations", "Location0001", "C:\\b,1");
  EXPECT_EQ(store.ReadText("Locations", "Location0000", "fallback"), "fallback");
  EXPECT_EQ(store.ReadText("Other", "Location0001", "fallback"), "fallback");
}

TEST(ReadTextTest, PresentEntryComesBackUnchangedEvenWhenEmpty) {
  MemorySettingsStore store;
  store.SetText("Locations", "Location0000", "");
  store.SetText("Locations", "Location0001", "  C:\\a b\\,1 ");
  EXPECT_EQ(store.ReadText("Locations", "Location0000", "fallback"), "");
  EXPECT_EQ(store.ReadText("Locations", "Location0001", "fallback"), "  C:\\a b\\,1 ");
}

TEST(ReadNonTextTest, EveryPrimitiveFailsWithTheEntryName) {
  MemorySettingsStore store;
  store.SetNonText("Layout", "FormHeight");
  const char* message = "Invalid data type for 'FormHeight'";
  EXPECT_EQ(SettingsErrorOf([&] { store.ReadInteger("Layout", "FormHeight", 300); }), message);
  EXPECT_EQ(SettingsErrorOf([&] { store.ReadBool("Layout", "FormHeight", true); }), message);
  EXPECT_EQ(SettingsErrorOf([&] { store.ReadText("Layout", "FormHeight", ""); }), message);
}

// The value and the text written.
class WriteIntegerTest : public ::testing::TestWithParam<std::tuple<int, const char*>> {};

TEST_P(WriteIntegerTest, WritesPlainDecimal) {
  const auto& [value, expected] = GetParam();
  MemorySettingsStore store;
  store.WriteInteger("Defaults", "PollInterval", value);
  EXPECT_EQ(store.Text("Defaults", "PollInterval"), expected);
  EXPECT_EQ(store.ReadInteger("Defaults", "PollInterval", 15), value);
}

const std::tuple<int, const char*> kWriteIntegerCases[] = {{0, "0"},
                                                           {534, "534"},
                                                           {-17, "-17"},
                                                           {INT_MAX, "2147483647"},
                                                           {INT_MIN, "-2147483648"}};

INSTANTIATE_TEST_SUITE_P(Values, WriteIntegerTest, ::testing::ValuesIn(kWriteIntegerCases));

TEST(WriteBoolTest, WritesOneAndZero) {
  MemorySettingsStore store;
  store.WriteBool("Interface", "tlbMain", true);
  store.WriteBool("Interface", "pnlStats", false);
  EXPECT_EQ(std::tuple(store.Text("Interface", "tlbMain"), store.Text("Interface", "pnlStats")),
            std::tuple("1", "0"));
}

TEST(WriteTextTest, WritesTheTextUnchanged) {
  MemorySettingsStore store;
  const std::string path = " C:\\x, y\\\xE9\xFF\\,0";
  store.WriteText("Locations", "Location0000", path);
  EXPECT_EQ(store.Text("Locations", "Location0000"), path);
}

}  // namespace
}  // namespace velmora

// The typed primitives of the settings store: what each stored text reads back as, and the text
// each write leaves.
#include "monitor/settings_store.h"

#include <gtest/gtest.h>

#include <climits>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/memory_settings_store.h"

namespace velmora {
namespace {

using testing::MemorySettingsStore;

struct IntegerCase {
  const char* stored;  // nullptr: the entry is absent
  int expected;
};

void PrintTo(const IntegerCase& c, std::ostream* os) {
  *os << (c.stored ? c.stored : "(absent)") << " -> " << c.expected;
}

class ReadIntegerTest : public ::testing::TestWithParam<IntegerCase> {};

// The default is 7 so that a text read as 0 cannot pass for a fallback to the default.
TEST_P(ReadIntegerTest, ReadsValidIntegersAndFallsBackOtherwise) {
  MemorySettingsStore store;
  if (GetParam().stored != nullptr)
    store.SetText("Layout", "FormWidth", GetParam().stored);
  EXPECT_EQ(store.ReadInteger("Layout", "FormWidth", 7), GetParam().expected);
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

struct BoolCase {
  const char* stored;  // nullptr: the entry is absent
  bool defaultValue;
  bool expected;
};

void PrintTo(const BoolCase& c, std::ostream* os) {
  *os << (c.stored ? c.stored : "(absent)") << " default " << c.defaultValue;
}

class ReadBoolTest : public ::testing::TestWithParam<BoolCase> {};

TEST_P(ReadBoolTest, AnyIntegerOtherThanZeroIsTrue) {
  MemorySettingsStore store;
  if (GetParam().stored != nullptr)
    store.SetText("Interface", "sttBar", GetParam().stored);
  EXPECT_EQ(store.ReadBool("Interface", "sttBar", GetParam().defaultValue), GetParam().expected);
}

const BoolCase kBoolCases[] = {{nullptr, true, true},  {nullptr, false, false}, {"0", true, false},
                               {"1", false, true},     {"2", false, true},      {"-1", false, true},
                               {"$0", true, false},    {"", true, true},        {"", false, false},
                               {"true", false, false}, {"false", true, true},   {"yes", false, false}};

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

// The message of what `read` threw; "" when it did not throw.
template <typename Read>
std::string ErrorOf(Read read) {
  try {
    read();
  } catch (const SettingsError& error) {
    return error.what();
  }
  return "";
}

TEST(ReadNonTextTest, EveryPrimitiveFailsWithTheEntryName) {
  MemorySettingsStore store;
  store.SetNonText("Layout", "FormHeight");
  const char* message = "Invalid data type for 'FormHeight'";
  EXPECT_EQ(ErrorOf([&] { store.ReadInteger("Layout", "FormHeight", 300); }), message);
  EXPECT_EQ(ErrorOf([&] { store.ReadBool("Layout", "FormHeight", true); }), message);
  EXPECT_EQ(ErrorOf([&] { store.ReadText("Layout", "FormHeight", ""); }), message);
}

struct WriteIntegerCase {
  int value;
  const char* expected;
};

void PrintTo(const WriteIntegerCase& c, std::ostream* os) {
  *os << c.value;
}

class WriteIntegerTest : public ::testing::TestWithParam<WriteIntegerCase> {};

TEST_P(WriteIntegerTest, WritesPlainDecimal) {
  MemorySettingsStore store;
  store.WriteInteger("Defaults", "PollInterval", GetParam().value);
  EXPECT_EQ(store.Text("Defaults", "PollInterval"), GetParam().expected);
  EXPECT_EQ(store.ReadInteger("Defaults", "PollInterval", 15), GetParam().value);
}

const WriteIntegerCase kWriteIntegerCases[] = {{0, "0"},
                                               {534, "534"},
                                               {-17, "-17"},
                                               {INT_MAX, "2147483647"},
                                               {INT_MIN, "-2147483648"}};

INSTANTIATE_TEST_SUITE_P(Values, WriteIntegerTest, ::testing::ValuesIn(kWriteIntegerCases));

TEST(WriteBoolTest, WritesOneAndZero) {
  MemorySettingsStore store;
  store.WriteBool("Interface", "tlbMain", true);
  store.WriteBool("Interface", "pnlStats", false);
  EXPECT_EQ(store.Text("Interface", "tlbMain"), "1");
  EXPECT_EQ(store.Text("Interface", "pnlStats"), "0");
}

TEST(WriteTextTest, WritesTheTextUnchanged) {
  MemorySettingsStore store;
  const std::string path = " C:\\x, y\\\xE9\xFF\\,0";
  store.WriteText("Locations", "Location0000", path);
  EXPECT_EQ(store.Text("Locations", "Location0000"), path);
}

}  // namespace
}  // namespace velmora

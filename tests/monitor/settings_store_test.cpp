// The typed primitives of the settings store: what each stored text reads back as, and the text
// each write leaves.
#include "monitor/settings_store.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>

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

INSTANTIATE_TEST_SUITE_P(Texts,
                         ReadIntegerTest,
                         ::testing::Values(IntegerCase{nullptr, 7},
                                           IntegerCase{"42", 42},
                                           IntegerCase{"0", 0},
                                           IntegerCase{"-0", 0},
                                           IntegerCase{"000", 0},
                                           IntegerCase{"-17", -17},
                                           IntegerCase{"+5", 5},
                                           IntegerCase{"  42 ", 42},
                                           IntegerCase{"2147483647", INT_MAX},
                                           IntegerCase{"-2147483648", INT_MIN},
                                           IntegerCase{"$1F", 31},
                                           IntegerCase{"0x10", 16},
                                           IntegerCase{"X0", 0},
                                           IntegerCase{"$FFFFFFFF", -1},
                                           IntegerCase{"-$80000000", INT_MIN},
                                           IntegerCase{"", 7},
                                           IntegerCase{"   ", 7},
                                           IntegerCase{"abc", 7},
                                           IntegerCase{"4.5", 7},
                                           IntegerCase{"1e3", 7},
                                           IntegerCase{"12abc", 7},
                                           IntegerCase{"1 2", 7},
                                           IntegerCase{"--1", 7},
                                           IntegerCase{"-", 7},
                                           IntegerCase{"2147483648", 7},
                                           IntegerCase{"-2147483649", 7},
                                           IntegerCase{"99999999999999999999", 7},
                                           IntegerCase{"$", 7},
                                           IntegerCase{"0x", 7},
                                           IntegerCase{"$123456789", 7},
                                           IntegerCase{"$1G", 7}));

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

INSTANTIATE_TEST_SUITE_P(Texts,
                         ReadBoolTest,
                         ::testing::Values(BoolCase{nullptr, true, true},
                                           BoolCase{nullptr, false, false},
                                           BoolCase{"0", true, false},
                                           BoolCase{"1", false, true},
                                           BoolCase{"2", false, true},
                                           BoolCase{"-1", false, true},
                                           BoolCase{"$0", true, false},
                                           BoolCase{"", true, true},
                                           BoolCase{"", false, false},
                                           BoolCase{"true", false, false},
                                           BoolCase{"false", true, true},
                                           BoolCase{"yes", false, false}));

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
  try {
    store.ReadInteger("Layout", "FormHeight", 300);
    FAIL() << "ReadInteger did not throw";
  } catch (const SettingsError& error) {
    EXPECT_STREQ(error.what(), "Invalid data type for 'FormHeight'");
  }
  try {
    store.ReadBool("Layout", "FormHeight", true);
    FAIL() << "ReadBool did not throw";
  } catch (const SettingsError& error) {
    EXPECT_STREQ(error.what(), "Invalid data type for 'FormHeight'");
  }
  try {
    store.ReadText("Layout", "FormHeight", "");
    FAIL() << "ReadText did not throw";
  } catch (const SettingsError& error) {
    EXPECT_STREQ(error.what(), "Invalid data type for 'FormHeight'");
  }
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

INSTANTIATE_TEST_SUITE_P(Values,
                         WriteIntegerTest,
                         ::testing::Values(WriteIntegerCase{0, "0"},
                                           WriteIntegerCase{534, "534"},
                                           WriteIntegerCase{-17, "-17"},
                                           WriteIntegerCase{INT_MAX, "2147483647"},
                                           WriteIntegerCase{INT_MIN, "-2147483648"}));

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

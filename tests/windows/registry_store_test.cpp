// The registry layer of the settings store, against the registry of the test prefix. Every test
// works below a key of its own that is deleted afterwards; values of the wrong type are written
// by the test itself with RegSetValueExA.
#include "monitor/win32/registry_store.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/memory_settings_store.h"
#include "tests/support/win32/registry_sandbox.h"

namespace velmora::win {
namespace {

using testing::SettingsErrorOf;

class RegistryStoreTest : public ::testing::Test {
 protected:
  const char* Path() const { return sandbox_.Path().c_str(); }

  testing::RegistrySandbox sandbox_;
};

TEST_F(RegistryStoreTest, CreatesTheKeyWithItsMissingParents) {
  ASSERT_FALSE(sandbox_.Exists());
  RegistryStore store(HKEY_CURRENT_USER, Path());
  EXPECT_TRUE(store.IsOpen());
  EXPECT_TRUE(sandbox_.Exists());
}

TEST_F(RegistryStoreTest, PrimitivesRoundTrip) {
  RegistryStore store(HKEY_CURRENT_USER, Path());
  store.WriteInteger("Layout", "FormWidth", 534);
  store.WriteInteger("Layout", "FormLeft", -1920);
  store.WriteInteger("Defaults", "PollInterval", 2147483647);
  store.WriteBool("Interface", "tlbMain", true);
  store.WriteBool("Interface", "sttBar", false);
  store.WriteText("Locations", "Location0000", "C:\\a, b\\,1");
  store.WriteText("Locations", "Location0001", "");

  EXPECT_EQ(store.ReadInteger("Layout", "FormWidth", 0), 534);
  EXPECT_EQ(store.ReadInteger("Layout", "FormLeft", 0), -1920);
  EXPECT_EQ(store.ReadInteger("Defaults", "PollInterval", 0), 2147483647);
  EXPECT_TRUE(store.ReadBool("Interface", "tlbMain", false));
  EXPECT_FALSE(store.ReadBool("Interface", "sttBar", true));
  EXPECT_EQ(store.ReadText("Locations", "Location0000", "x"), "C:\\a, b\\,1");
  EXPECT_EQ(store.ReadText("Locations", "Location0001", "x"), "");
}

// Every entry is a REG_SZ value with its terminating NUL: integers in decimal, Booleans as 1 / 0.
TEST_F(RegistryStoreTest, WrittenAsStringValue) {
  using Write = void (*)(RegistryStore&, const std::string&, const std::string&);
  const struct {
    const char* name;
    std::string section;
    std::string key;
    Write write;
    std::string text;  // REG_SZ data without its terminating NUL
  } rows[] = {
      {"Integer", "Layout", "FormTop", [](auto& store, auto& s, auto& k) { store.WriteInteger(s, k, -17); },
       "-17"},
      {"True", "Interface", "pnlStats", [](auto& store, auto& s, auto& k) { store.WriteBool(s, k, true); },
       "1"},
      {"False", "Interface", "pnlStats", [](auto& store, auto& s, auto& k) { store.WriteBool(s, k, false); },
       "0"},
      {"Text", "Locations", "Location0003",
       [](auto& store, auto& s, auto& k) { store.WriteText(s, k, "D:\\x,0"); }, "D:\\x,0"},
  };
  for (const auto& row : rows) {
    {
      RegistryStore store(HKEY_CURRENT_USER, Path());
      row.write(store, row.section, row.key);
    }
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(sandbox_.Query(row.section, row.key, type, data)) << row.name;
    EXPECT_EQ(std::pair(type, data), std::pair(DWORD{REG_SZ}, row.text + std::string(1, '\0'))) << row.name;
  }
}

// So does text that is no integer.
TEST_F(RegistryStoreTest, MissingSectionOrValueGivesTheDefault) {
  RegistryStore store(HKEY_CURRENT_USER, Path());
  store.WriteText("Locations", "Count", "1");
  EXPECT_EQ(store.ReadInteger("Layout", "FormWidth", 534), 534);
  EXPECT_TRUE(store.ReadBool("Interface", "tlbMain", true));
  EXPECT_EQ(store.ReadText("Locations", "Location0000", "none"), "none");
  EXPECT_FALSE(sandbox_.Exists("Layout"));  // reading creates nothing

  store.WriteText("Defaults", "PollInterval", "fast");
  store.WriteText("Layout", "FormWidth", "");
  EXPECT_EQ(store.ReadInteger("Defaults", "PollInterval", 15), 15);
  EXPECT_EQ(store.ReadInteger("Layout", "FormWidth", 534), 534);
}

// ANSI characters above 127, and values of any length, come back byte for byte.
TEST_F(RegistryStoreTest, TextRoundTripsWhole) {
  std::vector<std::string> texts = {
      "C:\\Gr\xFC\xDF"
      "e\\\xE9t\xE9 \xC0\xFF\\,1"};
  for (const std::size_t length : {259, 260, 4096, 100000}) {
    std::string& text = texts.emplace_back();
    for (std::size_t i = 0; i < length; ++i)
      text += static_cast<char>('a' + i % 26);
  }
  RegistryStore store(HKEY_CURRENT_USER, Path());
  for (const std::string& text : texts) {
    store.WriteText("Locations", "Location0000", text);
    EXPECT_EQ(store.ReadText("Locations", "Location0000", ""), text) << text.size();
  }
}

// Where the program does not run under UTF-8 (Windows before 1903), a stored path in a script the
// code page lacks reads with "?"s; saved again, with either flag, it keeps its characters.
TEST_F(RegistryStoreTest, APathTheCodePageCannotHoldSurvivesTheSave) {
  ASSERT_NE(::GetACP(), static_cast<UINT>(CP_UTF8));
  const std::wstring subkey = std::wstring(Path(), Path() + std::strlen(Path())) + L"\\Locations";
  const std::wstring cyrillic = L"C:\\\u0410\u0411-cruncher\\,1";
  ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, subkey.c_str(), L"Location0000", REG_SZ, cyrillic.c_str(),
                              static_cast<DWORD>((cyrillic.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
  RegistryStore store(HKEY_CURRENT_USER, Path());
  EXPECT_EQ(store.ReadText("Locations", "Location0000", ""), "C:\\?\?-cruncher\\,1");
  for (const auto& [written, kept] : {std::pair{"C:\\?\?-cruncher\\,0", L"C:\\\u0410\u0411-cruncher\\,0"},
                                      {"C:\\?\?-cruncher\\,1", L"C:\\\u0410\u0411-cruncher\\,1"}}) {
    store.WriteText("Locations", "Location0000", written);
    wchar_t stored[64] = {};
    DWORD size = sizeof(stored);
    ::RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), L"Location0000", RRF_RT_REG_SZ, nullptr, stored, &size);
    EXPECT_EQ(std::wstring(stored), kept) << written;
  }
}

// A string stored without its NUL is read whole; one with a NUL inside ends there.
TEST_F(RegistryStoreTest, TextEndsAtTheFirstNul) {
  const struct {
    std::string stored;
    const char* expected;
  } rows[] = {{"C:\\seti,1", "C:\\seti,1"}, {std::string("C:\\a,1\0\0junk", 13), "C:\\a,1"}};
  for (const auto& row : rows) {
    sandbox_.Put("Locations", "Location0000", REG_SZ, row.stored.data(),
                 static_cast<DWORD>(row.stored.size()));
    RegistryStore store(HKEY_CURRENT_USER, Path());
    EXPECT_EQ(store.ReadText("Locations", "Location0000", ""), row.expected);
  }
}

TEST_F(RegistryStoreTest, ExpandableStringIsReadAsStored) {
  const char text[] = "%SystemDrive%\\seti,0";
  sandbox_.Put("Locations", "Location0000", REG_EXPAND_SZ, text, sizeof(text));
  sandbox_.Put("Layout", "FormWidth", REG_EXPAND_SZ, "640", 4);
  RegistryStore store(HKEY_CURRENT_USER, Path());
  EXPECT_EQ(store.ReadText("Locations", "Location0000", ""), "%SystemDrive%\\seti,0");
  EXPECT_EQ(store.ReadInteger("Layout", "FormWidth", 534), 640);
}

// An integer entry is read with ReadInteger, a Boolean with ReadBool, a location with ReadText;
// each fails with the entry's name whatever the value holds.
TEST_F(RegistryStoreTest, ReadFailsWithTheEntryName) {
  const std::tuple<const char*, std::string, const char*, DWORD> rows[] = {
      {"IntegerDword", "Layout", "FormHeight", REG_DWORD},
      {"BooleanDword", "Interface", "sttBar", REG_DWORD},
      {"TextDword", "Locations", "Location0000", REG_DWORD},
      {"IntegerBinary", "Layout", "Col0", REG_BINARY},
      {"TextMultiString", "Locations", "Location0001", REG_MULTI_SZ},
  };
  const DWORD number = 300;
  for (const auto& [name, section, key, type] : rows)
    sandbox_.Put(section, key, type, &number, sizeof(number));
  RegistryStore store(HKEY_CURRENT_USER, Path());
  for (const auto& [name, section, key, type] : rows) {
    EXPECT_EQ(SettingsErrorOf([&] {
                if (section == "Layout")
                  store.ReadInteger(section, key, 300);
                else if (section == "Interface")
                  store.ReadBool(section, key, true);
                else
                  store.ReadText(section, key, "");
              }),
              std::string("Invalid data type for '") + key + "'")
        << name;
  }
}

// Reading many keys of a section at once gives what ReadText gives for each, the buffer growing
// and shrinking between values; a value that is not text stops the read after those before it.
TEST_F(RegistryStoreTest, ReadTextsGivesWhatReadTextGives) {
  const std::string longText(100000, 'x');
  sandbox_.PutText("Locations", "Location0000", "C:\\seti,1");
  sandbox_.PutText("Locations", "Location0001", longText);
  sandbox_.Put("Locations", "Location0002", REG_SZ, "D:\\a,0", 6);  // without its NUL
  sandbox_.Put("Locations", "Location0004", REG_EXPAND_SZ, "%TEMP%,1", 9);
  sandbox_.PutDword("Locations", "Location0006", 7);
  RegistryStore store(HKEY_CURRENT_USER, Path());
  std::vector<std::string> keys = {"Location0000", "Location0001", "Location0002",
                                   "Location0003", "Location0004", "Location0005"};
  std::vector<std::string> expected;
  for (const std::string& key : keys)
    expected.push_back(store.ReadText("Locations", key, "-"));
  std::vector<std::string> values;
  store.ReadTexts("Locations", keys, "-", values);
  EXPECT_EQ(values, expected);
  values.clear();
  keys.insert(keys.end(), {"Location0006", "Location0000"});
  EXPECT_EQ(SettingsErrorOf([&] { store.ReadTexts("Locations", keys, "-", values); }),
            "Invalid data type for 'Location0006'");
  EXPECT_EQ(values, expected);
}

// A store whose key could not be opened reads defaults and fails every write.
TEST_F(RegistryStoreTest, UnopenedStoreGivesDefaultsAndFailsWrites) {
  RegistryStore store(nullptr, Path());
  EXPECT_FALSE(store.IsOpen());
  EXPECT_EQ(store.ReadInteger("Layout", "FormWidth", 534), 534);
  EXPECT_TRUE(store.ReadBool("Interface", "tlbMain", true));
  EXPECT_EQ(store.ReadText("Locations", "Location0000", "d"), "d");
  EXPECT_EQ(SettingsErrorOf([&] { store.WriteInteger("Layout", "WindowState", 1); }),
            "Failed to create key Layout");
}

// The key removed behind the open store's back: creating a section under it fails.
TEST_F(RegistryStoreTest, SectionThatCannotBeCreatedFailsTheWrite) {
  RegistryStore store(HKEY_CURRENT_USER, Path());
  ASSERT_EQ(::RegDeleteTreeA(HKEY_CURRENT_USER, Path()), ERROR_SUCCESS);
  EXPECT_EQ(SettingsErrorOf([&] { store.WriteText("Locations", "Location0000", "C:\\a,1"); }),
            "Failed to create key Locations");
}

}  // namespace
}  // namespace velmora::win

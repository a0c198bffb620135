// The stored settings of the monitor window, without a window: a fake window records what
// LoadSettings applies, in order, and reports to SaveSettings what a test gives it; the store is
// in memory so that write failures the registry cannot be made to produce are testable too.
#include "monitor/settings.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "monitor/settings_store.h"
#include "tests/support/memory_settings_store.h"

namespace velmora {
namespace {

using testing::MemorySettingsStore;
using WriteFailure = MemorySettingsStore::WriteFailure;

constexpr char kAppDir[] = "C:\\Program Files\\Velmora\\";
// What the window holds after reading an absent alert entry, as FakeWindow logs it.
constexpr char kDefaultAlerts[] = "tray=1 stalls=1 results=0 minutes=20";

struct Row {
  std::string path;
  bool enabled = true;
  bool operator==(const Row&) const = default;
};

void PrintTo(const Row& row, std::ostream* os) {
  *os << "{\"" << row.path << "\", " << (row.enabled ? "enabled" : "disabled") << "}";
}

const char* BarName(Bar bar) {
  switch (bar) {
    case Bar::kToolbar:
      return "tlbMain";
    case Bar::kStatsPanel:
      return "pnlStats";
    case Bar::kStatusBar:
      return "sttBar";
  }
  return "?";
}

// The window as the settings see it. Loading appends to `log` and sets the fields; saving reads
// the same fields. Like the real table it ignores an empty path, but it neither trims nor sorts:
// these tests are about the encoding, and a row comes back exactly as the store gave it.
class FakeWindow : public SettingsTarget {
 public:
  std::vector<std::string> log;
  WindowBounds bounds{505, 422, 0, 0};  // built-in values before loading
  bool maximized = false;
  ShowState showState = ShowState::kNormal;
  std::vector<int> columns = std::vector<int>(8, 50);  // the six, then State and Finishes
  OptionalColumns optional;
  std::vector<Row> rows;
  bool toolbar = true;
  bool statsPanel = true;
  bool statusBar = true;
  int pollInterval = 15;
  AlertOptions alerts;
  int dpi = 96;

  int Dpi() const override { return dpi; }
  void SetWidth(int width) override {
    bounds.width = width;
    log.push_back("width=" + std::to_string(width));
  }
  void SetHeight(int height) override {
    bounds.height = height;
    log.push_back("height=" + std::to_string(height));
  }
  void SetTop(int top) override {
    bounds.top = top;
    log.push_back("top=" + std::to_string(top));
  }
  void SetLeft(int left) override {
    bounds.left = left;
    log.push_back("left=" + std::to_string(left));
  }
  void SetMaximized(bool value) override {
    maximized = value;
    log.push_back(value ? "maximized" : "normal");
  }
  void SetColumnWidth(int column, int width) override {
    columns.at(static_cast<std::size_t>(column)) = width;
    log.push_back("col" + std::to_string(column) + "=" + std::to_string(width));
  }
  void AddLocation(const std::string& path, bool enabled) override {
    log.push_back("add " + path + (enabled ? " [x]" : " [ ]"));
    if (!path.empty())
      rows.push_back(Row{path, enabled});
  }
  std::string AppDir() const override { return kAppDir; }
  void SetBarVisible(Bar bar, bool visible) override {
    BarField(bar) = visible;
    log.push_back(std::string(BarName(bar)) + "=" + (visible ? "1" : "0"));
  }
  void SetPollInterval(int seconds) override {
    pollInterval = seconds;
    log.push_back("poll=" + std::to_string(seconds));
  }
  void SetAlertOptions(const AlertOptions& options) override {
    alerts = options;
    log.push_back(AlertsText(options));
  }
  void SetOptionalColumns(const OptionalColumns& shown) override {
    optional = shown;
    log.push_back(std::string("state=") + (shown.state ? "1" : "0") +
                  " finish=" + (shown.finish ? "1" : "0"));
  }
  OptionalColumns CurrentOptionalColumns() const override { return optional; }

  ShowState CurrentShowState() const override { return showState; }
  WindowBounds CurrentBounds() const override { return bounds; }
  int ColumnCount() const override { return 6; }
  int ColumnWidth(int column) const override { return columns.at(static_cast<std::size_t>(column)); }
  std::size_t LocationCount() const override { return rows.size(); }
  std::string LocationPath(std::size_t index) const override { return rows.at(index).path; }
  bool LocationEnabled(std::size_t index) const override { return rows.at(index).enabled; }
  bool BarVisible(Bar bar) const override {
    switch (bar) {
      case Bar::kToolbar:
        return toolbar;
      case Bar::kStatsPanel:
        return statsPanel;
      case Bar::kStatusBar:
        break;
    }
    return statusBar;
  }
  int PollInterval() const override { return pollInterval; }
  AlertOptions CurrentAlertOptions() const override { return alerts; }

  static std::string AlertsText(const AlertOptions& a) {
    return std::string("tray=") + (a.trayIcon ? "1" : "0") + " stalls=" + (a.alertStalls ? "1" : "0") +
           " results=" + (a.alertResults ? "1" : "0") + " minutes=" + std::to_string(a.stallMinutes);
  }

 private:
  bool& BarField(Bar bar) {
    switch (bar) {
      case Bar::kToolbar:
        return toolbar;
      case Bar::kStatsPanel:
        return statsPanel;
      case Bar::kStatusBar:
        break;
    }
    return statusBar;
  }
};

// A window as a user might leave it, in the normal state.
FakeWindow UsedWindow() {
  FakeWindow window;
  window.bounds = WindowBounds{640, 480, 120, -8};
  window.columns = {300, 50, 30, 31, 40, 120, 150, 90};
  window.optional = OptionalColumns{true, false};
  window.rows = {{"C:\\seti\\one", true}, {"D:\\work, old\\", false}};
  window.toolbar = false;
  window.statsPanel = true;
  window.statusBar = false;
  window.pollInterval = 60;
  window.alerts = AlertOptions{false, true, true, 45};
  return window;
}

std::vector<std::string> WriteKeys(const MemorySettingsStore& store) {
  std::vector<std::string> keys;
  for (const auto& write : store.Writes())
    keys.push_back(write.section + "/" + write.key + "=" + write.value);
  return keys;
}

// Test names for the cases that carry a `name`.
template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& param) {
  return param.param.name;
}

// --- Loading ---

TEST(LoadSettingsTest, FirstStartAppliesEveryDefaultInOrder) {
  MemorySettingsStore store;
  FakeWindow window;
  LoadSettings(store, window);
  const std::vector<std::string> expected = {
      "width=534",        "height=300",       "top=0",        "left=0",
      "normal",           "col0=248",         "col1=46",      "col2=33",
      "col3=33",          "col4=35",          "col5=100",     "add C:\\Program Files\\Velmora\\ [x]",
      "tlbMain=1",        "pnlStats=1",       "sttBar=1",     "poll=15",
      kDefaultAlerts,     kDefaultAlerts,     kDefaultAlerts, kDefaultAlerts,
      "state=0 finish=0", "state=0 finish=0", "col6=130",     "col7=110"};
  EXPECT_EQ(window.log, expected);
  EXPECT_EQ(window.rows, (std::vector<Row>{{kAppDir, true}}));
}

// On a screen of more dots per inch the built-in sizes grow with it; what the user stored is
// in pixels already and stays exactly as stored.
struct DpiDefaultsCase {
  const char* name;
  int dpi;
  bool stored;
  std::vector<std::string> expectedLayout;
};

class DpiDefaultsTest : public ::testing::TestWithParam<DpiDefaultsCase> {};

TEST_P(DpiDefaultsTest, BuiltInSizesScaleStoredPixelsDoNot) {
  MemorySettingsStore store;
  if (GetParam().stored) {
    store.SetText("Layout", "FormWidth", "600");
    store.SetText("Layout", "FormHeight", "333");
    for (int i = 0; i < 6; ++i)
      store.SetText("Layout", "Col" + std::to_string(i), std::to_string(40 + i));
  }
  FakeWindow window;
  window.dpi = GetParam().dpi;
  LoadSettings(store, window);
  const std::vector<std::string> layout(window.log.begin(), window.log.begin() + 11);
  EXPECT_EQ(layout, GetParam().expectedLayout);
}

INSTANTIATE_TEST_SUITE_P(
    Screens,
    DpiDefaultsTest,
    ::testing::Values(DpiDefaultsCase{"Defaults96",
                                      96,
                                      false,
                                      {"width=534", "height=300", "top=0", "left=0", "normal", "col0=248",
                                       "col1=46", "col2=33", "col3=33", "col4=35", "col5=100"}},
                      DpiDefaultsCase{"Defaults144",
                                      144,
                                      false,
                                      {"width=801", "height=450", "top=0", "left=0", "normal", "col0=372",
                                       "col1=69", "col2=50", "col3=50", "col4=53", "col5=150"}},
                      DpiDefaultsCase{"Defaults120",
                                      120,
                                      false,
                                      {"width=668", "height=375", "top=0", "left=0", "normal", "col0=310",
                                       "col1=58", "col2=41", "col3=41", "col4=44", "col5=125"}},
                      DpiDefaultsCase{"Stored144",
                                      144,
                                      true,
                                      {"width=600", "height=333", "top=0", "left=0", "normal", "col0=40",
                                       "col1=41", "col2=42", "col3=43", "col4=44", "col5=45"}}),
    CaseName<DpiDefaultsCase>);

// A store as Velmora wrote it before it had alerts: everything in it applies as it always did,
// and the alert entries it lacks take their defaults, last.
TEST(LoadSettingsTest, StoredEntriesAreAppliedInOrder) {
  MemorySettingsStore store;
  store.SetText("Layout", "FormWidth", "700");
  store.SetText("Layout", "FormHeight", "500");
  store.SetText("Layout", "FormTop", "-4");
  store.SetText("Layout", "FormLeft", "1930");
  store.SetText("Layout", "WindowState", "2");
  for (int i = 0; i < 6; ++i)
    store.SetText("Layout", "Col" + std::to_string(i), std::to_string(10 + i));
  store.SetText("Locations", "Count", "2");
  store.SetText("Locations", "Location0000", "C:\\a,0");
  store.SetText("Locations", "Location0001", "C:\\b,1");
  store.SetText("Interface", "tlbMain", "0");
  store.SetText("Interface", "pnlStats", "1");
  store.SetText("Interface", "sttBar", "0");
  store.SetText("Defaults", "PollInterval", "45");
  FakeWindow window;
  LoadSettings(store, window);
  const std::vector<std::string> expected = {
      "width=700",    "height=500",       "top=-4",           "left=1930",    "maximized",
      "col0=10",      "col1=11",          "col2=12",          "col3=13",      "col4=14",
      "col5=15",      "add C:\\a [ ]",    "add C:\\b [x]",    "tlbMain=0",    "pnlStats=1",
      "sttBar=0",     "poll=45",          kDefaultAlerts,     kDefaultAlerts, kDefaultAlerts,
      kDefaultAlerts, "state=0 finish=0", "state=0 finish=0", "col6=130",     "col7=110"};
  EXPECT_EQ(window.log, expected);
}

// Each alert entry is applied as it is read, after every other entry.
TEST(LoadSettingsTest, AlertEntriesAreAppliedLastOneByOne) {
  MemorySettingsStore store;
  store.SetText("Interface", "TrayIcon", "0");
  store.SetText("Interface", "AlertStalls", "0");
  store.SetText("Interface", "AlertResults", "1");
  store.SetText("Defaults", "StallMinutes", "5");
  store.SetText("Defaults", "PollInterval", "45");
  FakeWindow window;
  LoadSettings(store, window);
  const std::vector<std::string> tail(window.log.end() - 9, window.log.end() - 4);
  const std::vector<std::string> expected = {
      "poll=45", "tray=0 stalls=1 results=0 minutes=20", "tray=0 stalls=0 results=0 minutes=20",
      "tray=0 stalls=0 results=1 minutes=20", "tray=0 stalls=0 results=1 minutes=5"};
  EXPECT_EQ(tail, expected);
}

// The State and Finishes columns come after the alerts, each entry applied as it is read; their
// widths are kept whether they are shown or not.
TEST(LoadSettingsTest, OptionalColumnEntriesAreAppliedLast) {
  MemorySettingsStore store;
  store.SetText("Interface", "StateColumn", "0");
  store.SetText("Interface", "FinishColumn", "1");
  store.SetText("Layout", "Col6", "140");
  store.SetText("Layout", "Col7", "95");
  FakeWindow window;
  window.dpi = 144;
  LoadSettings(store, window);
  const std::vector<std::string> tail(window.log.end() - 5, window.log.end());
  EXPECT_EQ(tail, (std::vector<std::string>{kDefaultAlerts, "state=0 finish=0", "state=0 finish=1",
                                            "col6=140", "col7=95"}));
  MemorySettingsStore empty;
  FakeWindow fresh;
  fresh.dpi = 144;
  LoadSettings(empty, fresh);
  EXPECT_EQ(std::vector<int>(fresh.columns.begin() + 6, fresh.columns.end()), (std::vector<int>{195, 165}));
}

struct AlertEntryCase {
  const char* name;
  const char* section;
  const char* key;
  const char* stored;  // nullptr: absent
  AlertOptions expected;
};

void PrintTo(const AlertEntryCase& c, std::ostream* os) {
  *os << c.name;
}

class AlertEntryTest : public ::testing::TestWithParam<AlertEntryCase> {};

// Booleans read as integers (any number but 0 is true, what is not a number is the default);
// the stall time is brought into 1..1440 minutes.
TEST_P(AlertEntryTest, ReadAsStored) {
  MemorySettingsStore store;
  if (GetParam().stored != nullptr)
    store.SetText(GetParam().section, GetParam().key, GetParam().stored);
  FakeWindow window;
  LoadSettings(store, window);
  EXPECT_EQ(FakeWindow::AlertsText(window.alerts), FakeWindow::AlertsText(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Entries,
    AlertEntryTest,
    ::testing::Values(
        AlertEntryCase{"TrayIconAbsent", "Interface", "TrayIcon", nullptr, {true, true, false, 20}},
        AlertEntryCase{"TrayIconOff", "Interface", "TrayIcon", "0", {false, true, false, 20}},
        AlertEntryCase{"TrayIconTwo", "Interface", "TrayIcon", "2", {true, true, false, 20}},
        AlertEntryCase{"TrayIconText", "Interface", "TrayIcon", "no", {true, true, false, 20}},
        AlertEntryCase{"StallsOff", "Interface", "AlertStalls", "0", {true, false, false, 20}},
        AlertEntryCase{"StallsEmpty", "Interface", "AlertStalls", "", {true, true, false, 20}},
        AlertEntryCase{"ResultsOn", "Interface", "AlertResults", "1", {true, true, true, 20}},
        AlertEntryCase{"ResultsNegative", "Interface", "AlertResults", "-1", {true, true, true, 20}},
        AlertEntryCase{"ResultsText", "Interface", "AlertResults", "yes", {true, true, false, 20}},
        AlertEntryCase{"MinutesAbsent", "Defaults", "StallMinutes", nullptr, {true, true, false, 20}},
        AlertEntryCase{"Minutes5", "Defaults", "StallMinutes", "5", {true, true, false, 5}},
        AlertEntryCase{"Minutes1", "Defaults", "StallMinutes", "1", {true, true, false, 1}},
        AlertEntryCase{"Minutes0", "Defaults", "StallMinutes", "0", {true, true, false, 1}},
        AlertEntryCase{"MinutesNegative", "Defaults", "StallMinutes", "-30", {true, true, false, 1}},
        AlertEntryCase{"Minutes1440", "Defaults", "StallMinutes", "1440", {true, true, false, 1440}},
        AlertEntryCase{"Minutes1441", "Defaults", "StallMinutes", "1441", {true, true, false, 1440}},
        AlertEntryCase{"MinutesHuge", "Defaults", "StallMinutes", "2147483647", {true, true, false, 1440}},
        AlertEntryCase{"MinutesText", "Defaults", "StallMinutes", "soon", {true, true, false, 20}},
        AlertEntryCase{"MinutesInSectionOfOthers",
                       "Interface",
                       "StallMinutes",
                       "5",
                       {true, true, false, 20}}),
    CaseName<AlertEntryCase>);

struct WindowStateCase {
  const char* stored;
  bool maximized;
};

void PrintTo(const WindowStateCase& c, std::ostream* os) {
  *os << '"' << c.stored << '"';
}

class WindowStateTest : public ::testing::TestWithParam<WindowStateCase> {};

TEST_P(WindowStateTest, OnlyTwoMaximizes) {
  MemorySettingsStore store;
  store.SetText("Layout", "WindowState", GetParam().stored);
  FakeWindow window;
  window.maximized = !GetParam().maximized;
  LoadSettings(store, window);
  EXPECT_EQ(window.maximized, GetParam().maximized);
}

INSTANTIATE_TEST_SUITE_P(Texts,
                         WindowStateTest,
                         ::testing::Values(WindowStateCase{"2", true},
                                           WindowStateCase{" 2", true},
                                           WindowStateCase{"$2", true},
                                           WindowStateCase{"1", false},
                                           WindowStateCase{"0", false},
                                           WindowStateCase{"3", false},
                                           WindowStateCase{"-2", false},
                                           WindowStateCase{"maximized", false},
                                           WindowStateCase{"", false}));

TEST(LoadSettingsTest, MaximizedStateKeepsTheStoredNormalBounds) {
  MemorySettingsStore store;
  store.SetText("Layout", "FormWidth", "800");
  store.SetText("Layout", "FormHeight", "600");
  store.SetText("Layout", "FormTop", "40");
  store.SetText("Layout", "FormLeft", "30");
  store.SetText("Layout", "WindowState", "2");
  FakeWindow window;
  LoadSettings(store, window);
  EXPECT_TRUE(window.maximized);
  EXPECT_EQ(window.bounds.width, 800);
  EXPECT_EQ(window.bounds.height, 600);
  EXPECT_EQ(window.bounds.top, 40);
  EXPECT_EQ(window.bounds.left, 30);
}

struct PollIntervalCase {
  const char* stored;  // nullptr: absent
  int expected;
};

void PrintTo(const PollIntervalCase& c, std::ostream* os) {
  *os << (c.stored ? c.stored : "(absent)") << " -> " << c.expected;
}

class PollIntervalTest : public ::testing::TestWithParam<PollIntervalCase> {};

// The up-down control holds a signed 16-bit position; what lands outside 1..32767 after the cut
// is clamped so that the timer never runs at 0 or a negative interval.
TEST_P(PollIntervalTest, CutToSixteenBitsThenClamped) {
  MemorySettingsStore store;
  if (GetParam().stored != nullptr)
    store.SetText("Defaults", "PollInterval", GetParam().stored);
  FakeWindow window;
  window.pollInterval = -99;
  LoadSettings(store, window);
  EXPECT_EQ(window.pollInterval, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts,
                         PollIntervalTest,
                         ::testing::Values(PollIntervalCase{nullptr, 15},
                                           PollIntervalCase{"60", 60},
                                           PollIntervalCase{"1", 1},
                                           PollIntervalCase{"32767", 32767},
                                           PollIntervalCase{"0", 1},
                                           PollIntervalCase{"-5", 1},
                                           PollIntervalCase{"70000", 4464},
                                           PollIntervalCase{"65551", 15},
                                           PollIntervalCase{"32768", 1},
                                           PollIntervalCase{"65535", 1},
                                           PollIntervalCase{"-65521", 15},
                                           PollIntervalCase{"2147483647", 1},
                                           PollIntervalCase{"abc", 15},
                                           PollIntervalCase{"", 15}));

struct LocationValueCase {
  const char* stored;
  std::vector<Row> rows;
};

void PrintTo(const LocationValueCase& c, std::ostream* os) {
  *os << '"' << c.stored << '"';
}

class LocationValueTest : public ::testing::TestWithParam<LocationValueCase> {};

// Only the last character is the flag and only the last two are cut off; the one before the
// flag is not checked.
TEST_P(LocationValueTest, SplitsOffTheLastTwoCharacters) {
  MemorySettingsStore store;
  store.SetText("Locations", "Count", "1");
  store.SetText("Locations", "Location0000", GetParam().stored);
  FakeWindow window;
  LoadSettings(store, window);
  EXPECT_EQ(window.rows, GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(Values,
                         LocationValueTest,
                         ::testing::Values(LocationValueCase{"C:\\seti,1", {{"C:\\seti", true}}},
                                           LocationValueCase{"C:\\seti,0", {{"C:\\seti", false}}},
                                           LocationValueCase{"C:\\a,b,c\\,1", {{"C:\\a,b,c\\", true}}},
                                           LocationValueCase{"C:\\a,1,0", {{"C:\\a,1", false}}},
                                           LocationValueCase{"C:\\seti;1", {{"C:\\seti", true}}},
                                           LocationValueCase{"C:\\seti,2", {{"C:\\seti", false}}},
                                           LocationValueCase{"C:\\seti", {{"C:\\se", false}}},
                                           LocationValueCase{"x,1", {{"x", true}}},
                                           LocationValueCase{",1", {}},
                                           LocationValueCase{"1", {}},
                                           LocationValueCase{"", {}}));

struct CountCase {
  const char* name;
  const char* count;  // nullptr: absent
  std::vector<std::pair<std::string, std::string>> entries;
  std::vector<Row> rows;
};

void PrintTo(const CountCase& c, std::ostream* os) {
  *os << c.name;
}

class LocationCountTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(LocationCountTest, StoredCountDecides) {
  MemorySettingsStore store;
  if (GetParam().count != nullptr)
    store.SetText("Locations", "Count", GetParam().count);
  for (const auto& [key, value] : GetParam().entries)
    store.SetText("Locations", key, value);
  FakeWindow window;
  LoadSettings(store, window);
  EXPECT_EQ(window.rows, GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Counts,
    LocationCountTest,
    ::testing::Values(
        CountCase{"AbsentAddsAppDir", nullptr, {{"Location0000", "C:\\a,1"}}, {{kAppDir, true}}},
        CountCase{"ZeroIgnoresEntriesAndAddsAppDir", "0", {{"Location0000", "C:\\a,0"}}, {{kAppDir, true}}},
        CountCase{"TextCountsAsZero", "many", {{"Location0000", "C:\\a,1"}}, {{kAppDir, true}}},
        CountCase{"NegativeLeavesTableEmpty", "-1", {{"Location0000", "C:\\a,1"}}, {}},
        CountCase{"LargerThanEntriesPresent",
                  "4",
                  {{"Location0000", "C:\\a,1"}, {"Location0002", "C:\\c,0"}},
                  {{"C:\\a", true}, {"C:\\c", false}}},
        CountCase{"AllEntriesMissingDoesNotAddAppDir", "3", {}, {}},
        CountCase{"EntriesAboveCountNotRead",
                  "1",
                  {{"Location0000", "C:\\a,1"}, {"Location0001", "C:\\stale,1"}},
                  {{"C:\\a", true}}}),
    CaseName<CountCase>);

struct LocationKeyCase {
  std::size_t index;
  const char* key;
};

void PrintTo(const LocationKeyCase& c, std::ostream* os) {
  *os << c.index;
}

class LocationKeyTest : public ::testing::TestWithParam<LocationKeyCase> {};

TEST_P(LocationKeyTest, PaddedToFourDigitsNeverCut) {
  EXPECT_EQ(LocationKey(GetParam().index), GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(Indexes,
                         LocationKeyTest,
                         ::testing::Values(LocationKeyCase{0, "Location0000"},
                                           LocationKeyCase{7, "Location0007"},
                                           LocationKeyCase{42, "Location0042"},
                                           LocationKeyCase{123, "Location0123"},
                                           LocationKeyCase{9999, "Location9999"},
                                           LocationKeyCase{10000, "Location10000"},
                                           LocationKeyCase{123456, "Location123456"}));

TEST(LocationKeyTest, TenThousandAndFirstRowSurvivesSaveAndLoad) {
  FakeWindow saved;
  for (int i = 0; i <= 10000; ++i)
    saved.rows.push_back(Row{"C:\\seti\\" + std::to_string(i), i % 3 != 0});
  MemorySettingsStore store;
  SaveSettings(store, saved);
  EXPECT_EQ(store.Text("Locations", "Location10000"), "C:\\seti\\10000,1");
  EXPECT_EQ(store.Text("Locations", "Location9999"), "C:\\seti\\9999,0");
  EXPECT_EQ(store.Text("Locations", "Location1000"), "C:\\seti\\1000,1");

  FakeWindow loaded;
  LoadSettings(store, loaded);
  EXPECT_EQ(loaded.rows, saved.rows);
}

// A wrong-typed entry stops loading there: what came before is applied, nothing after.
struct NonTextCase {
  const char* section;
  const char* key;
  const char* message;
  std::vector<std::string> applied;
};

void PrintTo(const NonTextCase& c, std::ostream* os) {
  *os << c.section << "/" << c.key;
}

class NonTextEntryTest : public ::testing::TestWithParam<NonTextCase> {};

TEST_P(NonTextEntryTest, StopsLoadingAtTheEntry) {
  MemorySettingsStore store;
  store.SetText("Locations", "Count", "2");
  store.SetText("Locations", "Location0000", "C:\\a,1");
  store.SetText("Locations", "Location0001", "C:\\b,0");
  store.SetNonText(GetParam().section, GetParam().key);
  FakeWindow window;
  try {
    LoadSettings(store, window);
    FAIL() << "LoadSettings did not throw";
  } catch (const SettingsError& error) {
    EXPECT_STREQ(error.what(), GetParam().message);
  }
  EXPECT_EQ(window.log, GetParam().applied);
}

INSTANTIATE_TEST_SUITE_P(
    Entries,
    NonTextEntryTest,
    ::testing::Values(
        NonTextCase{"Layout", "FormHeight", "Invalid data type for 'FormHeight'", {"width=534"}},
        NonTextCase{
            "Interface",
            "sttBar",
            "Invalid data type for 'sttBar'",
            {"width=534", "height=300", "top=0", "left=0", "normal", "col0=248", "col1=46", "col2=33",
             "col3=33", "col4=35", "col5=100", "add C:\\a [x]", "add C:\\b [ ]", "tlbMain=1", "pnlStats=1"}},
        NonTextCase{"Locations",
                    "Location0000",
                    "Invalid data type for 'Location0000'",
                    {"width=534", "height=300", "top=0", "left=0", "normal", "col0=248", "col1=46", "col2=33",
                     "col3=33", "col4=35", "col5=100"}},
        NonTextCase{"Locations",
                    "Location0001",
                    "Invalid data type for 'Location0001'",
                    {"width=534", "height=300", "top=0", "left=0", "normal", "col0=248", "col1=46", "col2=33",
                     "col3=33", "col4=35", "col5=100", "add C:\\a [x]"}},
        NonTextCase{"Defaults",
                    "PollInterval",
                    "Invalid data type for 'PollInterval'",
                    {"width=534", "height=300", "top=0", "left=0", "normal", "col0=248", "col1=46", "col2=33",
                     "col3=33", "col4=35", "col5=100", "add C:\\a [x]", "add C:\\b [ ]", "tlbMain=1",
                     "pnlStats=1", "sttBar=1"}},
        NonTextCase{"Interface",
                    "TrayIcon",
                    "Invalid data type for 'TrayIcon'",
                    {"width=534", "height=300", "top=0", "left=0", "normal", "col0=248", "col1=46", "col2=33",
                     "col3=33", "col4=35", "col5=100", "add C:\\a [x]", "add C:\\b [ ]", "tlbMain=1",
                     "pnlStats=1", "sttBar=1", "poll=15"}},
        NonTextCase{"Interface",
                    "AlertResults",
                    "Invalid data type for 'AlertResults'",
                    {"width=534", "height=300", "top=0", "left=0", "normal", "col0=248", "col1=46", "col2=33",
                     "col3=33", "col4=35", "col5=100", "add C:\\a [x]", "add C:\\b [ ]", "tlbMain=1",
                     "pnlStats=1", "sttBar=1", "poll=15", kDefaultAlerts, kDefaultAlerts}},
        NonTextCase{"Defaults",
                    "StallMinutes",
                    "Invalid data type for 'StallMinutes'",
                    {"width=534", "height=300",    "top=0",         "left=0",       "normal",
                     "col0=248",  "col1=46",       "col2=33",       "col3=33",      "col4=35",
                     "col5=100",  "add C:\\a [x]", "add C:\\b [ ]", "tlbMain=1",    "pnlStats=1",
                     "sttBar=1",  "poll=15",       kDefaultAlerts,  kDefaultAlerts, kDefaultAlerts}},
        NonTextCase{
            "Interface",
            "FinishColumn",
            "Invalid data type for 'FinishColumn'",
            {"width=534",     "height=300",   "top=0",        "left=0",          "normal",   "col0=248",
             "col1=46",       "col2=33",      "col3=33",      "col4=35",         "col5=100", "add C:\\a [x]",
             "add C:\\b [ ]", "tlbMain=1",    "pnlStats=1",   "sttBar=1",        "poll=15",  kDefaultAlerts,
             kDefaultAlerts,  kDefaultAlerts, kDefaultAlerts, "state=0 finish=0"}},
        NonTextCase{"Layout",
                    "Col7",
                    "Invalid data type for 'Col7'",
                    {"width=534",        "height=300",       "top=0",
                     "left=0",           "normal",           "col0=248",
                     "col1=46",          "col2=33",          "col3=33",
                     "col4=35",          "col5=100",         "add C:\\a [x]",
                     "add C:\\b [ ]",    "tlbMain=1",        "pnlStats=1",
                     "sttBar=1",         "poll=15",          kDefaultAlerts,
                     kDefaultAlerts,     kDefaultAlerts,     kDefaultAlerts,
                     "state=0 finish=0", "state=0 finish=0", "col6=130"}}));

// An entry above the count is never read, so its type does not matter.
TEST(NonTextEntryTest, EntryAboveTheCountIsNotRead) {
  MemorySettingsStore store;
  store.SetText("Locations", "Count", "1");
  store.SetText("Locations", "Location0000", "C:\\a,1");
  store.SetNonText("Locations", "Location0001");
  FakeWindow window;
  LoadSettings(store, window);
  EXPECT_EQ(window.rows, (std::vector<Row>{{"C:\\a", true}}));
}

// --- Saving ---

TEST(SaveSettingsTest, NormalStateWritesEveryEntryInOrder) {
  MemorySettingsStore store;
  SaveSettings(store, UsedWindow());
  const std::vector<std::string> expected = {
      "Layout/WindowState=1",
      "Layout/FormWidth=640",
      "Layout/FormHeight=480",
      "Layout/FormTop=120",
      "Layout/FormLeft=-8",
      "Layout/Col0=300",
      "Layout/Col1=50",
      "Layout/Col2=30",
      "Layout/Col3=31",
      "Layout/Col4=40",
      "Layout/Col5=120",
      "Locations/Count=2",
      "Locations/Location0000=C:\\seti\\one,1",
      "Locations/Location0001=D:\\work, old\\,0",
      "Interface/tlbMain=0",
      "Interface/pnlStats=1",
      "Interface/sttBar=0",
      "Defaults/PollInterval=60",
      "Interface/TrayIcon=0",
      "Interface/AlertStalls=1",
      "Interface/AlertResults=1",
      "Defaults/StallMinutes=45",
      "Interface/StateColumn=1",
      "Interface/FinishColumn=0",
      "Layout/Col6=150",
      "Layout/Col7=90",
  };
  EXPECT_EQ(WriteKeys(store), expected);
}

struct ShowStateCase {
  const char* name;
  ShowState state;
  std::vector<std::string> layoutWrites;
  const char* storedState;
  const char* storedWidth;
};

void PrintTo(const ShowStateCase& c, std::ostream* os) {
  *os << c.name;
}

class SaveShowStateTest : public ::testing::TestWithParam<ShowStateCase> {};

// The store starts with the layout of an earlier normal close; the rest of the save is the same
// in every state.
TEST_P(SaveShowStateTest, LayoutWrittenByState) {
  MemorySettingsStore store;
  store.SetText("Layout", "WindowState", "1");
  store.SetText("Layout", "FormWidth", "900");
  store.SetText("Layout", "FormHeight", "700");
  FakeWindow window = UsedWindow();
  window.showState = GetParam().state;
  SaveSettings(store, window);

  std::vector<std::string> writes = WriteKeys(store);
  const std::vector<std::string> layout(writes.begin(), writes.begin() + GetParam().layoutWrites.size());
  EXPECT_EQ(layout, GetParam().layoutWrites);
  ASSERT_EQ(writes.size(), GetParam().layoutWrites.size() + 21);
  EXPECT_EQ(writes[GetParam().layoutWrites.size()], "Layout/Col0=300");
  EXPECT_EQ(writes.back(), "Layout/Col7=90");
  EXPECT_EQ(store.Text("Layout", "WindowState"), GetParam().storedState);
  EXPECT_EQ(store.Text("Layout", "FormWidth"), GetParam().storedWidth);
  EXPECT_EQ(store.Text("Layout", "FormHeight"), GetParam().state == ShowState::kNormal ? "480" : "700");
}

INSTANTIATE_TEST_SUITE_P(
    States,
    SaveShowStateTest,
    ::testing::Values(ShowStateCase{"Normal",
                                    ShowState::kNormal,
                                    {"Layout/WindowState=1", "Layout/FormWidth=640", "Layout/FormHeight=480",
                                     "Layout/FormTop=120", "Layout/FormLeft=-8"},
                                    "1",
                                    "640"},
                      ShowStateCase{"Maximized", ShowState::kMaximized, {"Layout/WindowState=2"}, "2", "900"},
                      ShowStateCase{"Minimized", ShowState::kMinimized, {}, "1", "900"}),
    CaseName<ShowStateCase>);

TEST(SaveSettingsTest, MaximizedCloseReopensMaximizedWithTheEarlierNormalBounds) {
  MemorySettingsStore store;
  FakeWindow first = UsedWindow();
  SaveSettings(store, first);
  FakeWindow second = UsedWindow();
  second.showState = ShowState::kMaximized;
  second.bounds = WindowBounds{1920, 1040, 0, 0};
  SaveSettings(store, second);

  FakeWindow loaded;
  LoadSettings(store, loaded);
  EXPECT_TRUE(loaded.maximized);
  EXPECT_EQ(loaded.bounds.width, 640);
  EXPECT_EQ(loaded.bounds.height, 480);
  EXPECT_EQ(loaded.bounds.top, 120);
  EXPECT_EQ(loaded.bounds.left, -8);
}

TEST(SaveSettingsTest, EmptiedTableStoresZeroAndReopensWithAppDir) {
  MemorySettingsStore store;
  SaveSettings(store, UsedWindow());
  FakeWindow emptied = UsedWindow();
  emptied.rows.clear();
  SaveSettings(store, emptied);
  EXPECT_EQ(store.Text("Locations", "Count"), "0");

  FakeWindow loaded;
  LoadSettings(store, loaded);
  EXPECT_EQ(loaded.rows, (std::vector<Row>{{kAppDir, true}}));
}

TEST(SaveSettingsTest, StaleEntriesAboveTheNewCountStay) {
  MemorySettingsStore store;
  FakeWindow five;
  for (int i = 0; i < 5; ++i)
    five.rows.push_back(Row{"C:\\run" + std::to_string(i), true});
  SaveSettings(store, five);
  FakeWindow two;
  two.rows = {{"D:\\x", false}, {"D:\\y", true}};
  SaveSettings(store, two);

  EXPECT_EQ(store.Text("Locations", "Count"), "2");
  EXPECT_EQ(store.Text("Locations", "Location0001"), "D:\\y,1");
  EXPECT_EQ(store.Text("Locations", "Location0002"), "C:\\run2,1");
  EXPECT_EQ(store.Text("Locations", "Location0004"), "C:\\run4,1");
  EXPECT_EQ(store.EntryCount("Locations"), 6u);

  FakeWindow loaded;
  LoadSettings(store, loaded);
  EXPECT_EQ(loaded.rows, two.rows);
}

struct PathCase {
  const char* name;
  std::string path;
  bool enabled;
  std::string stored;
};

void PrintTo(const PathCase& c, std::ostream* os) {
  *os << c.name;
}

class PathRoundTripTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathRoundTripTest, StoredUnescapedAndRestoredExactly) {
  MemorySettingsStore store;
  FakeWindow saved;
  saved.rows = {{GetParam().path, GetParam().enabled}};
  SaveSettings(store, saved);
  EXPECT_EQ(store.Text("Locations", "Location0000"), GetParam().stored);

  FakeWindow loaded;
  LoadSettings(store, loaded);
  EXPECT_EQ(loaded.rows, saved.rows);
}

INSTANTIATE_TEST_SUITE_P(Paths,
                         PathRoundTripTest,
                         ::testing::Values(PathCase{"Plain", "C:\\seti", true, "C:\\seti,1"},
                                           PathCase{"Disabled", "C:\\seti", false, "C:\\seti,0"},
                                           PathCase{"Commas", "C:\\a,b\\c,,d", true, "C:\\a,b\\c,,d,1"},
                                           PathCase{"EndsInCommaOne", "C:\\x,1", false, "C:\\x,1,0"},
                                           PathCase{"EndsInCommaZero", "C:\\x,0", true, "C:\\x,0,1"},
                                           PathCase{"TrailingBackslash", "C:\\seti\\", true, "C:\\seti\\,1"},
                                           PathCase{"DriveRoot", "D:\\", false, "D:\\,0"},
                                           PathCase{"UncShare", "\\\\server\\share\\seti", true,
                                                    "\\\\server\\share\\seti,1"},
                                           PathCase{"InnerBlanks", "C:\\Program Files\\SETI  client", true,
                                                    "C:\\Program Files\\SETI  client,1"},
                                           PathCase{"AnsiAbove127",
                                                    "C:\\Gr\xFC\xDF"
                                                    "e\\\xE9t\xE9\\\x80\xFF",
                                                    false,
                                                    "C:\\Gr\xFC\xDF"
                                                    "e\\\xE9t\xE9\\\x80\xFF,0"},
                                           PathCase{"SingleCharacter", "1", true, "1,1"}),
                         CaseName<PathCase>);

TEST(SettingsRoundTripTest, EverythingSavedComesBack) {
  MemorySettingsStore store;
  const FakeWindow saved = UsedWindow();
  SaveSettings(store, saved);

  FakeWindow loaded;
  LoadSettings(store, loaded);
  EXPECT_EQ(loaded.bounds.width, saved.bounds.width);
  EXPECT_EQ(loaded.bounds.height, saved.bounds.height);
  EXPECT_EQ(loaded.bounds.top, saved.bounds.top);
  EXPECT_EQ(loaded.bounds.left, saved.bounds.left);
  EXPECT_FALSE(loaded.maximized);
  EXPECT_EQ(loaded.columns, saved.columns);
  EXPECT_EQ(loaded.rows, saved.rows);
  EXPECT_EQ(loaded.toolbar, saved.toolbar);
  EXPECT_EQ(loaded.statsPanel, saved.statsPanel);
  EXPECT_EQ(loaded.statusBar, saved.statusBar);
  EXPECT_EQ(loaded.pollInterval, saved.pollInterval);
  EXPECT_EQ(loaded.alerts, saved.alerts);
}

// Every combination of the switches, and stall times at the ends of their range.
TEST(SettingsRoundTripTest, AlertOptionsComeBack) {
  for (int bits = 0; bits < 8; ++bits) {
    for (int minutes : {1, 20, 1440}) {
      FakeWindow saved = UsedWindow();
      saved.alerts = AlertOptions{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, minutes};
      MemorySettingsStore store;
      SaveSettings(store, saved);
      FakeWindow loaded;
      LoadSettings(store, loaded);
      EXPECT_EQ(FakeWindow::AlertsText(loaded.alerts), FakeWindow::AlertsText(saved.alerts));
    }
  }
}

// A failing write ends the save there; what was written before stays written.
struct WriteFailureCase {
  const char* name;
  const char* section;
  const char* key;
  WriteFailure failure;
  const char* message;
};

void PrintTo(const WriteFailureCase& c, std::ostream* os) {
  *os << c.name;
}

class SaveFailureTest : public ::testing::TestWithParam<WriteFailureCase> {};

TEST_P(SaveFailureTest, StopsAtTheFailingWrite) {
  const FakeWindow window = UsedWindow();
  MemorySettingsStore clean;
  SaveSettings(clean, window);
  const std::vector<std::string> all = WriteKeys(clean);

  MemorySettingsStore store;
  store.FailWrite(GetParam().section, GetParam().key, GetParam().failure);
  try {
    SaveSettings(store, window);
    FAIL() << "SaveSettings did not throw";
  } catch (const SettingsError& error) {
    EXPECT_STREQ(error.what(), GetParam().message);
  }

  const std::string failing = std::string(GetParam().section) + "/" + GetParam().key + "=";
  std::size_t failingAt = 0;
  while (failingAt < all.size() && all[failingAt].rfind(failing, 0) != 0)
    ++failingAt;
  ASSERT_LT(failingAt, all.size());
  const std::vector<std::string> before(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(failingAt));
  EXPECT_EQ(WriteKeys(store), before);
  EXPECT_FALSE(store.Has(GetParam().section, GetParam().key));
  if (failingAt > 0) {
    const auto& last = clean.Writes()[failingAt - 1];
    EXPECT_EQ(store.Text(last.section, last.key), last.value);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Writes,
    SaveFailureTest,
    ::testing::Values(WriteFailureCase{"LayoutNotCreated", "Layout", "WindowState", WriteFailure::kCreateKey,
                                       "Failed to create key Layout"},
                      WriteFailureCase{"ColumnNotSet", "Layout", "Col3", WriteFailure::kSetData,
                                       "Failed to set data for 'Col3'"},
                      WriteFailureCase{"LocationsNotCreated", "Locations", "Count", WriteFailure::kCreateKey,
                                       "Failed to create key Locations"},
                      WriteFailureCase{"SecondLocationNotSet", "Locations", "Location0001",
                                       WriteFailure::kSetData, "Failed to set data for 'Location0001'"},
                      WriteFailureCase{"InterfaceNotCreated", "Interface", "tlbMain",
                                       WriteFailure::kCreateKey, "Failed to create key Interface"},
                      WriteFailureCase{"IntervalNotSet", "Defaults", "PollInterval", WriteFailure::kSetData,
                                       "Failed to set data for 'PollInterval'"},
                      WriteFailureCase{"AlertStallsNotSet", "Interface", "AlertStalls",
                                       WriteFailure::kSetData, "Failed to set data for 'AlertStalls'"},
                      WriteFailureCase{"StallMinutesNotSet", "Defaults", "StallMinutes",
                                       WriteFailure::kSetData, "Failed to set data for 'StallMinutes'"}),
    CaseName<WriteFailureCase>);

// --- Property: any list of locations survives a save and a load ---

// Paths are drawn from the characters that make the encoding hard: commas, backslashes, the flag
// digits, blanks inside and ANSI bytes 128..255. No path begins or ends with a blank and none is
// empty, because the table trims every path it is given and ignores an empty one: such a path
// never reaches SaveSettings.
std::string RandomPath(std::mt19937& random) {
  static constexpr char kAscii[] = "abcXYZ019,,,\\\\\\ :._-$";
  std::uniform_int_distribution<int> length(1, 40);
  std::uniform_int_distribution<int> pickAscii(0, static_cast<int>(sizeof(kAscii)) - 2);
  std::uniform_int_distribution<int> high(128, 255);
  std::bernoulli_distribution useHigh(0.2);
  std::string path;
  const int n = length(random);
  for (int i = 0; i < n; ++i) {
    const char c = useHigh(random) ? static_cast<char>(high(random)) : kAscii[pickAscii(random)];
    const bool atEdge = i == 0 || i == n - 1;
    path += (atEdge && c == ' ') ? '_' : c;
  }
  return path;
}

TEST(SettingsPropertyTest, RandomLocationListsSurviveSaveAndLoad) {
  std::mt19937 random(20240517);
  std::uniform_int_distribution<int> rowCount(0, 50);
  std::bernoulli_distribution enabled(0.5);
  std::bernoulli_distribution duplicate(0.15);
  // One store for every list: each is written over the longer lists before it, whose stale
  // entries must not come back.
  MemorySettingsStore store;
  for (int round = 0; round < 1000; ++round) {
    FakeWindow saved;
    const int n = rowCount(random);
    for (int i = 0; i < n; ++i) {
      std::string path;
      if (!saved.rows.empty() && duplicate(random)) {
        std::uniform_int_distribution<std::size_t> earlier(0, saved.rows.size() - 1);
        path = saved.rows[earlier(random)].path;
      } else {
        path = RandomPath(random);
      }
      saved.rows.push_back(Row{path, enabled(random)});
    }
    SaveSettings(store, saved);

    FakeWindow loaded;
    LoadSettings(store, loaded);
    // An empty list is stored as a count of 0, which loads as the program's own folder.
    const std::vector<Row> expected = n == 0 ? std::vector<Row>{{kAppDir, true}} : saved.rows;
    ASSERT_EQ(loaded.rows, expected) << "round " << round;
  }
}

}  // namespace
}  // namespace velmora

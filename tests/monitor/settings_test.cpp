// The stored settings of the monitor window, without a window: tables of stored entries and the
// value LoadSettings makes of them, and of values and the entries SaveSettings writes. The store
// is in memory so that write failures the registry cannot be made to produce are testable too.
#include "monitor/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "monitor/settings_store.h"
#include "tests/support/memory_settings_store.h"
#include "tests/support/named_rows.h"

namespace velmora {

void PrintTo(const StoredSettings& s, std::ostream* os) {
  const char* states[] = {"normal", "maximized", "minimized"};
  *os << "{" << states[static_cast<int>(s.showState)] << " " << s.bounds.width << "x" << s.bounds.height
      << " at " << s.bounds.left << "," << s.bounds.top << "; columns";
  for (int width : s.columnWidths)
    *os << " " << width;
  *os << "; locations";
  for (const StoredLocation& location : s.locations)
    *os << " \"" << location.path << "\"" << (location.enabled ? "[x]" : "[ ]");
  *os << "; bars " << s.barsShown[0] << s.barsShown[1] << s.barsShown[2] << "; poll " << s.pollInterval
      << "; tray=" << s.alerts.trayIcon << " stalls=" << s.alerts.alertStalls
      << " results=" << s.alerts.alertResults << " minutes=" << s.alerts.stallMinutes
      << "; state=" << s.optionalColumns.state << " finish=" << s.optionalColumns.finish
      << " done=" << s.optionalColumns.done << "}";
}

namespace {

using testing::MemorySettingsStore;
using testing::PrintTo;
using testing::RowName;
using WriteFailure = MemorySettingsStore::WriteFailure;
using Change = std::function<void(StoredSettings&)>;

constexpr char kAppDir[] = "C:\\Program Files\\Velmora\\";

// The value before loading: every field differs from anything loading can make of it, so that a
// field that was not read shows.
StoredSettings Entry() {
  return {.showState = ShowState::kMinimized,
          .bounds = {505, 422, -3, -4},
          .columnWidths = {50, 50, 50, 50, 50, 50, 50, 50, 50},
          .locations = {{"C:\\entry", false}},
          .barsShown = {false, false, false},
          .pollInterval = 99,
          .alerts = {false, false, true, 7},
          .optionalColumns = {true, true, true},
          .historyBounds = {-1, -2, -3, -4},
          .sizesDpi = 0};
}

// What an empty store loads as at 96 dots per inch.
StoredSettings BuiltIn() {
  return {.showState = ShowState::kNormal,
          .bounds = {534, 300, 0, 0},
          .columnWidths = {248, 46, 33, 33, 35, 100, 130, 110, 80},
          .locations = {{kAppDir, true}},
          .barsShown = {true, true, true},
          .pollInterval = 15,
          .alerts = {true, true, false, 20},
          .optionalColumns = {false, false, false},
          .historyBounds = {}};
}

// A window as a user might leave it, in the normal state.
StoredSettings Used() {
  return {.showState = ShowState::kNormal,
          .bounds = {640, 480, 120, -8},
          .columnWidths = {300, 50, 30, 31, 40, 120, 150, 90, 70},
          .locations = {{"C:\\seti\\one", true}, {"D:\\work, old\\", false}},
          .barsShown = {false, true, false},
          .pollInterval = 60,
          .alerts = {false, true, true, 45},
          .optionalColumns = {true, false, true},
          .historyBounds = {500, 400, 30, 60}};
}

// One stored entry; no text: a value of another type, which throws when read.
struct Stored {
  std::string section;
  std::string key;
  std::optional<std::string> text;
};

void Seed(MemorySettingsStore& store, const std::vector<Stored>& entries) {
  for (const Stored& entry : entries) {
    if (entry.text)
      store.SetText(entry.section, entry.key, *entry.text);
    else
      store.SetNonText(entry.section, entry.key);
  }
}

StoredSettings Loaded(MemorySettingsStore& store, int dpi = 96) {
  StoredSettings settings = Entry();
  LoadSettings(store, dpi, kAppDir, settings);
  return settings;
}

std::vector<std::string> WriteKeys(const MemorySettingsStore& store) {
  std::vector<std::string> keys;
  for (const auto& write : store.Writes())
    keys.push_back(write.section + "/" + write.key + "=" + write.value);
  return keys;
}

// A list of entries written one after another, each ended by ";".
std::vector<std::string> Entries(std::string_view text) {
  std::vector<std::string> entries;
  for (std::size_t end; (end = text.find(';')) != std::string_view::npos; text.remove_prefix(end + 1))
    entries.emplace_back(text.substr(0, end));
  return entries;
}

// Text entries written "Section/Key=text;" one after another.
std::vector<Stored> TextEntries(std::string_view text) {
  std::vector<Stored> stored;
  for (const std::string& entry : Entries(text)) {
    const std::size_t slash = entry.find('/');
    const std::size_t equals = entry.find('=');
    stored.push_back(
        {entry.substr(0, slash), entry.substr(slash + 1, equals - slash - 1), entry.substr(equals + 1)});
  }
  return stored;
}

// --- Loading ---

struct LoadCase {
  const char* name;
  std::vector<Stored> stored;
  Change change;  // to BuiltIn(): the value expected
  int dpi = 96;
};

LoadCase One(const char* name, const char* section, const char* key, const char* text, Change change) {
  return LoadCase{name, {{section, key, text}}, std::move(change)};
}

Change Alerts(AlertOptions alerts) {
  return [alerts](StoredSettings& s) { s.alerts = alerts; };
}

Change Maximized(bool maximized) {
  return [maximized](StoredSettings& s) {
    s.showState = maximized ? ShowState::kMaximized : ShowState::kNormal;
  };
}

Change Poll(int seconds) {
  return [seconds](StoredSettings& s) { s.pollInterval = seconds; };
}

Change Locations(std::vector<StoredLocation> locations) {
  return [locations](StoredSettings& s) { s.locations = locations; };
}

Change Sized(WindowBounds bounds, std::array<int, kColumnWidthSlots> widths) {
  return [bounds, widths](StoredSettings& s) {
    s.bounds = bounds;
    s.columnWidths = widths;
  };
}

LoadCase OneLocation(const char* name, const char* stored, std::vector<StoredLocation> locations) {
  return LoadCase{
      name, {{"Locations", "Count", "1"}, {"Locations", "Location0000", stored}}, Locations(locations)};
}

// `stored` with the dpi its sizes were taken at.
std::vector<Stored> With(std::vector<Stored> stored, const char* sizesDpi) {
  stored.push_back({"Layout", "SizesDpi", sizesDpi});
  return stored;
}

std::vector<LoadCase> AllLoadCases() {
  std::vector<Stored> storedLayout = {{"Layout", "FormWidth", "600"}, {"Layout", "FormHeight", "333"}};
  for (int i = 0; i < 6; ++i)
    storedLayout.push_back({"Layout", "Col" + std::to_string(i), std::to_string(40 + i)});
  return {
      // On a screen of more dots per inch the built-in sizes grow with it; what the user stored is
      // scaled from the dpi stored with it, 96 when there is none, to the screen's.
      LoadCase{"FirstStart", {}, [](StoredSettings&) {}},
      LoadCase{"Defaults96", {}, [](StoredSettings&) {}, 96},
      LoadCase{"Defaults144", {}, Sized({801, 450, 0, 0}, {372, 69, 50, 50, 53, 150, 195, 165, 120}), 144},
      LoadCase{"Defaults120", {}, Sized({668, 375, 0, 0}, {310, 58, 41, 41, 44, 125, 163, 138, 100}), 120},
      LoadCase{"Stored144", storedLayout, Sized({900, 500, 0, 0}, {60, 62, 63, 65, 66, 68, 195, 165, 120}), 144},
      LoadCase{"StoredAt144Loaded144", With(storedLayout, "144"),
               Sized({600, 333, 0, 0}, {40, 41, 42, 43, 44, 45, 195, 165, 120}), 144},
      LoadCase{"StoredAt192Loaded96", With(storedLayout, "192"),
               Sized({300, 167, 0, 0}, {20, 21, 21, 22, 22, 23, 130, 110, 80}), 96},
      LoadCase{"StoredAtNoDpi", With(storedLayout, "0"),
               Sized({900, 500, 0, 0}, {60, 62, 63, 65, 66, 68, 195, 165, 120}), 144},
      LoadCase{"MaximizedStateKeepsTheStoredNormalBounds",
               TextEntries("Layout/FormWidth=800;Layout/FormHeight=600;Layout/FormTop=40;"
                           "Layout/FormLeft=30;Layout/WindowState=2;"),
               [](StoredSettings& s) {
                 s.bounds = WindowBounds{800, 600, 40, 30};
                 s.showState = ShowState::kMaximized;
               }},
      // A store as Velmora wrote it before it had alerts: everything in it loads as it always
      // did, and the alert entries it lacks take their defaults.
      LoadCase{"StoreWithoutAlerts",
               TextEntries("Layout/FormWidth=700;Layout/FormHeight=500;Layout/FormTop=-4;"
                           "Layout/FormLeft=1930;Layout/WindowState=2;Layout/Col0=10;Layout/Col1=11;"
                           "Layout/Col2=12;Layout/Col3=13;Layout/Col4=14;Layout/Col5=15;"
                           "Locations/Count=2;Locations/Location0000=C:\\a,0;"
                           "Locations/Location0001=C:\\b,1;Interface/tlbMain=0;Interface/pnlStats=1;"
                           "Interface/sttBar=0;Defaults/PollInterval=45;"),
               [](StoredSettings& s) {
                 s.bounds = WindowBounds{700, 500, -4, 1930};
                 s.showState = ShowState::kMaximized;
                 s.columnWidths = {10, 11, 12, 13, 14, 15, 130, 110, 80};
                 s.locations = {{"C:\\a", false}, {"C:\\b", true}};
                 s.barsShown = {false, true, false};
                 s.pollInterval = 45;
               }},
      LoadCase{"AlertEntries",
               TextEntries("Interface/TrayIcon=0;Interface/AlertStalls=0;Interface/AlertResults=1;"
                           "Defaults/StallMinutes=5;Defaults/PollInterval=45;"),
               [](StoredSettings& s) {
                 s.pollInterval = 45;
                 s.alerts = AlertOptions{false, false, true, 5};
               }},
      // The widths of State and Finishes are kept whether they are shown or not.
      LoadCase{"OptionalColumnEntries",
               TextEntries("Interface/StateColumn=0;Interface/FinishColumn=1;Layout/Col6=140;"
                           "Layout/Col7=95;Layout/SizesDpi=144;"),
               [](StoredSettings& s) {
                 Sized({801, 450, 0, 0}, {372, 69, 50, 50, 53, 150, 140, 95, 120})(s);
                 s.optionalColumns = OptionalColumns{false, true};
               },
               144},
      // Booleans read as integers (any number but 0 is true, what is not a number is the default);
      // the stall time is brought into 1..1440 minutes.
      LoadCase{"TrayIconAbsent", {}, Alerts({true, true, false, 20})},
      One("TrayIconOff", "Interface", "TrayIcon", "0", Alerts({false, true, false, 20})),
      One("TrayIconTwo", "Interface", "TrayIcon", "2", Alerts({true, true, false, 20})),
      One("TrayIconText", "Interface", "TrayIcon", "no", Alerts({true, true, false, 20})),
      One("StallsOff", "Interface", "AlertStalls", "0", Alerts({true, false, false, 20})),
      One("StallsEmpty", "Interface", "AlertStalls", "", Alerts({true, true, false, 20})),
      One("ResultsOn", "Interface", "AlertResults", "1", Alerts({true, true, true, 20})),
      One("ResultsNegative", "Interface", "AlertResults", "-1", Alerts({true, true, true, 20})),
      One("ResultsText", "Interface", "AlertResults", "yes", Alerts({true, true, false, 20})),
      LoadCase{"MinutesAbsent", {}, Alerts({true, true, false, 20})},
      One("Minutes5", "Defaults", "StallMinutes", "5", Alerts({true, true, false, 5})),
      One("Minutes1", "Defaults", "StallMinutes", "1", Alerts({true, true, false, 1})),
      One("Minutes0", "Defaults", "StallMinutes", "0", Alerts({true, true, false, 1})),
      One("MinutesNegative", "Defaults", "StallMinutes", "-30", Alerts({true, true, false, 1})),
      One("Minutes1440", "Defaults", "StallMinutes", "1440", Alerts({true, true, false, 1440})),
      One("Minutes1441", "Defaults", "StallMinutes", "1441", Alerts({true, true, false, 1440})),
      One("MinutesHuge", "Defaults", "StallMinutes", "2147483647", Alerts({true, true, false, 1440})),
      One("MinutesText", "Defaults", "StallMinutes", "soon", Alerts({true, true, false, 20})),
      One("MinutesInSectionOfOthers", "Interface", "StallMinutes", "5", Alerts({true, true, false, 20})),
      // Only "2" maximizes.
      One("WindowState2", "Layout", "WindowState", "2", Maximized(true)),
      One("WindowStateBlank2", "Layout", "WindowState", " 2", Maximized(true)),
      One("WindowStateHex2", "Layout", "WindowState", "$2", Maximized(true)),
      One("WindowState1", "Layout", "WindowState", "1", Maximized(false)),
      One("WindowState0", "Layout", "WindowState", "0", Maximized(false)),
      One("WindowState3", "Layout", "WindowState", "3", Maximized(false)),
      One("WindowStateMinus2", "Layout", "WindowState", "-2", Maximized(false)),
      One("WindowStateWord", "Layout", "WindowState", "maximized", Maximized(false)),
      One("WindowStateEmpty", "Layout", "WindowState", "", Maximized(false)),
      // The up-down control holds a signed 16-bit position; what lands outside 1..32767 after the cut
      // is clamped so that the timer never runs at 0 or a negative interval.
      LoadCase{"PollAbsent", {}, Poll(15)},
      One("Poll60", "Defaults", "PollInterval", "60", Poll(60)),
      One("Poll1", "Defaults", "PollInterval", "1", Poll(1)),
      One("Poll32767", "Defaults", "PollInterval", "32767", Poll(32767)),
      One("Poll0", "Defaults", "PollInterval", "0", Poll(1)),
      One("PollMinus5", "Defaults", "PollInterval", "-5", Poll(1)),
      One("Poll70000", "Defaults", "PollInterval", "70000", Poll(4464)),
      One("Poll65551", "Defaults", "PollInterval", "65551", Poll(15)),
      One("Poll32768", "Defaults", "PollInterval", "32768", Poll(1)),
      One("Poll65535", "Defaults", "PollInterval", "65535", Poll(1)),
      One("PollMinus65521", "Defaults", "PollInterval", "-65521", Poll(15)),
      One("Poll2147483647", "Defaults", "PollInterval", "2147483647", Poll(1)),
      One("PollText", "Defaults", "PollInterval", "abc", Poll(15)),
      One("PollEmpty", "Defaults", "PollInterval", "", Poll(15)),
      // Only the last character is the flag and only the last two are cut off; the one before the
      // flag is not checked. A path left empty is the table's to ignore.
      OneLocation("ValueEnabled", "C:\\seti,1", {{"C:\\seti", true}}),
      OneLocation("ValueDisabled", "C:\\seti,0", {{"C:\\seti", false}}),
      OneLocation("ValueCommas", "C:\\a,b,c\\,1", {{"C:\\a,b,c\\", true}}),
      OneLocation("ValueEndsInCommaOne", "C:\\a,1,0", {{"C:\\a,1", false}}),
      OneLocation("ValueSemicolon", "C:\\seti;1", {{"C:\\seti", true}}),
      OneLocation("ValueFlagTwo", "C:\\seti,2", {{"C:\\seti", false}}),
      OneLocation("ValueNoFlag", "C:\\seti", {{"C:\\se", false}}),
      OneLocation("ValueOneCharacter", "x,1", {{"x", true}}),
      OneLocation("ValueOnlyFlag", ",1", {{"", true}}),
      OneLocation("ValueOnlyDigit", "1", {{"", true}}),
      OneLocation("ValueEmpty", "", {{"", false}}),
      // The stored count decides, not the entries present.
      LoadCase{"CountAbsentAddsAppDir", TextEntries("Locations/Location0000=C:\\a,1;"),
               Locations({{kAppDir, true}})},
      LoadCase{"CountZeroIgnoresEntriesAndAddsAppDir",
               TextEntries("Locations/Count=0;Locations/Location0000=C:\\a,0;"),
               Locations({{kAppDir, true}})},
      LoadCase{"CountTextCountsAsZero", TextEntries("Locations/Count=many;Locations/Location0000=C:\\a,1;"),
               Locations({{kAppDir, true}})},
      LoadCase{"CountNegativeLeavesTableEmpty",
               TextEntries("Locations/Count=-1;Locations/Location0000=C:\\a,1;"), Locations({})},
      LoadCase{
          "CountLargerThanEntriesPresent",
          TextEntries("Locations/Count=4;Locations/Location0000=C:\\a,1;Locations/Location0002=C:\\c,0;"),
          Locations({{"C:\\a", true}, {"", false}, {"C:\\c", false}, {"", false}})},
      LoadCase{"CountAllEntriesMissingDoesNotAddAppDir", TextEntries("Locations/Count=3;"),
               Locations({{"", false}, {"", false}, {"", false}})},
      LoadCase{
          "CountEntriesAboveCountNotRead",
          TextEntries("Locations/Count=1;Locations/Location0000=C:\\a,1;Locations/Location0001=C:\\stale,1;"),
          Locations({{"C:\\a", true}})},
      // Its type does not matter either: reading it would throw.
      LoadCase{"CountEntryAboveCountOfAnyType",
               {{"Locations", "Count", "1"},
                {"Locations", "Location0000", "C:\\a,1"},
                {"Locations", "Location0001", std::nullopt}},
               Locations({{"C:\\a", true}})},
  };
}

class LoadSettingsTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadSettingsTest, StoredEntriesGiveTheValue) {
  MemorySettingsStore store;
  Seed(store, GetParam().stored);
  StoredSettings expected = BuiltIn();
  GetParam().change(expected);
  expected.sizesDpi = GetParam().dpi;
  EXPECT_EQ(Loaded(store, GetParam().dpi), expected);
}

INSTANTIATE_TEST_SUITE_P(Stores, LoadSettingsTest, ::testing::ValuesIn(AllLoadCases()), RowName());

// The store of the failing loads: two locations, "C:\a" enabled and "C:\b" not.
void SeedTwoLocations(MemorySettingsStore& store) {
  Seed(store,
       TextEntries("Locations/Count=2;Locations/Location0000=C:\\a,1;Locations/Location0001=C:\\b,0;"));
}

// The entries in the order LoadSettings reads them, each with what reading it puts into the
// value when the store holds only SeedTwoLocations' entries.
struct ReadStep {
  const char* section;
  const char* name;  // the key
  Change read;
};

Change Width(std::size_t slot, int pixels) {
  return [slot, pixels](StoredSettings& s) { s.columnWidths[slot] = pixels; };
}

Change Adds(StoredLocation location) {
  return [location](StoredSettings& s) { s.locations.push_back(location); };
}

Change Shows(Bar bar) {
  return [bar](StoredSettings& s) { s.barsShown[static_cast<std::size_t>(bar)] = true; };
}

const std::vector<ReadStep> kReadOrder = {
    {"Layout", "FormWidth", [](StoredSettings& s) { s.bounds.width = 534; }},
    {"Layout", "FormHeight", [](StoredSettings& s) { s.bounds.height = 300; }},
    {"Layout", "FormTop", [](StoredSettings& s) { s.bounds.top = 0; }},
    {"Layout", "FormLeft", [](StoredSettings& s) { s.bounds.left = 0; }},
    {"Layout", "WindowState", [](StoredSettings& s) { s.showState = ShowState::kNormal; }},
    {"Layout", "Col0", Width(0, 248)},
    {"Layout", "Col1", Width(1, 46)},
    {"Layout", "Col2", Width(2, 33)},
    {"Layout", "Col3", Width(3, 33)},
    {"Layout", "Col4", Width(4, 35)},
    {"Layout", "Col5", Width(5, 100)},
    // The count was read: the list holds the locations read after it, none yet.
    {"Locations", "Count", [](StoredSettings& s) { s.locations.clear(); }},
    {"Locations", "Location0000", Adds({"C:\\a", true})},
    {"Locations", "Location0001", Adds({"C:\\b", false})},
    {"Interface", "tlbMain", Shows(Bar::kToolbar)},
    {"Interface", "pnlStats", Shows(Bar::kStatsPanel)},
    {"Interface", "sttBar", Shows(Bar::kStatusBar)},
    {"Defaults", "PollInterval", [](StoredSettings& s) { s.pollInterval = 15; }},
    // Each alert entry goes into the options that were there.
    {"Interface", "TrayIcon", [](StoredSettings& s) { s.alerts.trayIcon = true; }},
    {"Interface", "AlertStalls", [](StoredSettings& s) { s.alerts.alertStalls = true; }},
    {"Interface", "AlertResults", [](StoredSettings& s) { s.alerts.alertResults = false; }},
    {"Defaults", "StallMinutes", [](StoredSettings& s) { s.alerts.stallMinutes = 20; }},
    {"Interface", "StateColumn", [](StoredSettings& s) { s.optionalColumns.state = false; }},
    {"Interface", "FinishColumn", [](StoredSettings& s) { s.optionalColumns.finish = false; }},
    {"Layout", "Col6", Width(kStateColumnSlot, 130)},
    {"Layout", "Col7", Width(kFinishColumnSlot, 110)},
    {"Interface", "DoneColumn", [](StoredSettings& s) { s.optionalColumns.done = false; }},
    {"Layout", "Col8", Width(kDoneColumnSlot, 80)},
    {"Layout", "HistoryWidth", [](StoredSettings& s) { s.historyBounds.width = 0; }},
    {"Layout", "HistoryHeight", [](StoredSettings& s) { s.historyBounds.height = 0; }},
    {"Layout", "HistoryTop", [](StoredSettings& s) { s.historyBounds.top = 0; }},
    {"Layout", "HistoryLeft", [](StoredSettings& s) { s.historyBounds.left = 0; }},

    {"Layout", "SizesDpi", [](StoredSettings& s) { s.sizesDpi = 96; }}};

std::string TypeError(const ReadStep& step) {
  return "Invalid data type for '" + std::string(step.name) + "'";
}

// Loads into `settings` a store of SeedTwoLocations' entries in which those of `nonText` are of
// another type; the message of the error that stopped the load, "" when nothing did.
std::string LoadError(std::initializer_list<ReadStep> nonText, StoredSettings& settings) {
  MemorySettingsStore store;
  SeedTwoLocations(store);
  for (const ReadStep& step : nonText)
    store.SetNonText(step.section, step.name);
  return testing::SettingsErrorOf([&] { LoadSettings(store, 96, kAppDir, settings); });
}

class LoadFailureTest : public ::testing::TestWithParam<ReadStep> {};

// A wrong-typed entry stops loading there: what came before it is in the value, and the rest
// keeps the value's entry state.
TEST_P(LoadFailureTest, StopsAtTheEntry) {
  StoredSettings settings = Entry();
  EXPECT_EQ(LoadError({GetParam()}, settings), TypeError(GetParam()));
  StoredSettings expected = Entry();
  for (auto step = kReadOrder.begin(); std::string_view(step->name) != GetParam().name; ++step)
    step->read(expected);
  EXPECT_EQ(settings, expected);
}

INSTANTIATE_TEST_SUITE_P(Entries, LoadFailureTest, ::testing::ValuesIn(kReadOrder), RowName());

// The order of the reads: of any two entries in turn, both of the wrong type, the earlier one is
// the one that stops the load. Read through without a failure, the steps make the whole value.
TEST(LoadSettingsOrderTest, ReadsEveryEntryInOrder) {
  for (std::size_t i = 0; i + 1 < kReadOrder.size(); ++i) {
    StoredSettings settings = Entry();
    EXPECT_EQ(LoadError({kReadOrder[i], kReadOrder[i + 1]}, settings), TypeError(kReadOrder[i]));
  }
  MemorySettingsStore store;
  SeedTwoLocations(store);
  StoredSettings readThrough = Entry();
  for (const ReadStep& step : kReadOrder)
    step.read(readThrough);
  EXPECT_EQ(Loaded(store), readThrough);
}

// --- Saving ---

// What follows the layout in every save of Used().
const std::vector<std::string> kUsedWritesAfterLayout = Entries(
    "Layout/Col0=300;Layout/Col1=50;Layout/Col2=30;Layout/Col3=31;Layout/Col4=40;Layout/Col5=120;"
    "Locations/Count=2;Locations/Location0000=C:\\seti\\one,1;Locations/Location0001=D:\\work, old\\,0;"
    "Interface/tlbMain=0;Interface/pnlStats=1;Interface/sttBar=0;Defaults/PollInterval=60;"
    "Interface/TrayIcon=0;Interface/AlertStalls=1;Interface/AlertResults=1;Defaults/StallMinutes=45;"
    "Interface/StateColumn=1;Interface/FinishColumn=0;Layout/Col6=150;Layout/Col7=90;"
    "Interface/DoneColumn=1;Layout/Col8=70;Layout/HistoryWidth=500;Layout/HistoryHeight=400;"
    "Layout/HistoryTop=30;Layout/HistoryLeft=60;Layout/SizesDpi=96;");

struct SaveCase {
  const char* name;
  ShowState state;
  std::vector<std::string> layoutWrites;  // before kUsedWritesAfterLayout
  // The layout stored afterwards, over that of an earlier normal close (1, 900 by 700).
  const char* storedState;
  const char* storedWidth;
  const char* storedHeight;
};

class SaveSettingsTest : public ::testing::TestWithParam<SaveCase> {};

// A minimized window is never stored; a maximized one keeps the earlier normal bounds.
TEST_P(SaveSettingsTest, WritesEveryEntryInOrder) {
  MemorySettingsStore store;
  Seed(store, TextEntries("Layout/WindowState=1;Layout/FormWidth=900;Layout/FormHeight=700;"));
  StoredSettings settings = Used();
  settings.showState = GetParam().state;
  SaveSettings(store, settings);

  std::vector<std::string> expected = GetParam().layoutWrites;
  expected.insert(expected.end(), kUsedWritesAfterLayout.begin(), kUsedWritesAfterLayout.end());
  EXPECT_EQ(WriteKeys(store), expected);
  EXPECT_EQ(std::tuple(store.Text("Layout", "WindowState"), store.Text("Layout", "FormWidth"),
                       store.Text("Layout", "FormHeight")),
            std::tuple(GetParam().storedState, GetParam().storedWidth, GetParam().storedHeight));
}

const SaveCase kSaves[] = {
    {"Normal", ShowState::kNormal,
     Entries("Layout/WindowState=1;Layout/FormWidth=640;Layout/FormHeight=480;Layout/FormTop=120;"
             "Layout/FormLeft=-8;"),
     "1", "640", "480"},
    {"Maximized", ShowState::kMaximized, {"Layout/WindowState=2"}, "2", "900", "700"},
    {"Minimized", ShowState::kMinimized, {}, "1", "900", "700"}};

INSTANTIATE_TEST_SUITE_P(States, SaveSettingsTest, ::testing::ValuesIn(kSaves), RowName());

// A failing write ends the save there; what was written before stays written.
struct WriteFailureCase {
  const char* name;
  const char* section;
  const char* key;
  WriteFailure failure;
  const char* message;
};

class SaveFailureTest : public ::testing::TestWithParam<WriteFailureCase> {};

TEST_P(SaveFailureTest, StopsAtTheFailingWrite) {
  const StoredSettings settings = Used();
  MemorySettingsStore clean;
  SaveSettings(clean, settings);
  const std::vector<std::string> all = WriteKeys(clean);

  MemorySettingsStore store;
  store.FailWrite(GetParam().section, GetParam().key, GetParam().failure);
  EXPECT_EQ(testing::SettingsErrorOf([&] { SaveSettings(store, settings); }), GetParam().message);

  const std::string failing = std::string(GetParam().section) + "/" + GetParam().key + "=";
  const auto failingAt =
      std::ranges::find_if(all, [&](const std::string& w) { return w.starts_with(failing); });
  ASSERT_NE(failingAt, all.end());
  EXPECT_EQ(WriteKeys(store), std::vector<std::string>(all.begin(), failingAt));
  EXPECT_FALSE(store.Has(GetParam().section, GetParam().key));
  if (failingAt != all.begin()) {
    const auto& last = clean.Writes()[static_cast<std::size_t>(failingAt - all.begin()) - 1];
    EXPECT_EQ(store.Text(last.section, last.key), last.value);
  }
}

const WriteFailureCase kWriteFailures[] = {
    {"LayoutNotCreated", "Layout", "WindowState", WriteFailure::kCreateKey, "Failed to create key Layout"},
    {"ColumnNotSet", "Layout", "Col3", WriteFailure::kSetData, "Failed to set data for 'Col3'"},
    {"LocationsNotCreated", "Locations", "Count", WriteFailure::kCreateKey, "Failed to create key Locations"},
    {"SecondLocationNotSet", "Locations", "Location0001", WriteFailure::kSetData,
     "Failed to set data for 'Location0001'"},
    {"InterfaceNotCreated", "Interface", "tlbMain", WriteFailure::kCreateKey,
     "Failed to create key Interface"},
    {"IntervalNotSet", "Defaults", "PollInterval", WriteFailure::kSetData,
     "Failed to set data for 'PollInterval'"},
    {"AlertStallsNotSet", "Interface", "AlertStalls", WriteFailure::kSetData,
     "Failed to set data for 'AlertStalls'"},
    {"StallMinutesNotSet", "Defaults", "StallMinutes", WriteFailure::kSetData,
     "Failed to set data for 'StallMinutes'"}};

INSTANTIATE_TEST_SUITE_P(Writes, SaveFailureTest, ::testing::ValuesIn(kWriteFailures), RowName());

// --- Saved and loaded again ---

struct PathCase {
  const char* name;
  std::string path;
  bool enabled;
  std::string stored;
};

class PathRoundTripTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathRoundTripTest, StoredUnescapedAndRestoredExactly) {
  MemorySettingsStore store;
  StoredSettings saved = Entry();
  saved.locations = {{GetParam().path, GetParam().enabled}};
  SaveSettings(store, saved);
  EXPECT_EQ(store.Text("Locations", "Location0000"), GetParam().stored);
  EXPECT_EQ(Loaded(store).locations, saved.locations);
}

const PathCase kPaths[] = {
    {"Plain", "C:\\seti", true, "C:\\seti,1"},
    {"Disabled", "C:\\seti", false, "C:\\seti,0"},
    {"Commas", "C:\\a,b\\c,,d", true, "C:\\a,b\\c,,d,1"},
    {"EndsInCommaOne", "C:\\x,1", false, "C:\\x,1,0"},
    {"EndsInCommaZero", "C:\\x,0", true, "C:\\x,0,1"},
    {"TrailingBackslash", "C:\\seti\\", true, "C:\\seti\\,1"},
    {"DriveRoot", "D:\\", false, "D:\\,0"},
    {"UncShare", "\\\\server\\share\\seti", true, "\\\\server\\share\\seti,1"},
    {"InnerBlanks", "C:\\Program Files\\SETI  client", true, "C:\\Program Files\\SETI  client,1"},
    {"AnsiAbove127", "C:\\Gr\xFC\xDF\x65\\\xE9t\xE9\\\x80\xFF", false,
     "C:\\Gr\xFC\xDF\x65\\\xE9t\xE9\\\x80\xFF,0"},
    {"SingleCharacter", "1", true, "1,1"}};

INSTANTIATE_TEST_SUITE_P(Paths, PathRoundTripTest, ::testing::ValuesIn(kPaths), RowName());

TEST(SettingsRoundTripTest, EverythingSavedComesBack) {
  MemorySettingsStore store;
  const StoredSettings saved = Used();
  SaveSettings(store, saved);
  EXPECT_EQ(Loaded(store), saved);
}

TEST(SettingsRoundTripTest, MaximizedCloseReopensMaximizedWithTheEarlierNormalBounds) {
  MemorySettingsStore store;
  const StoredSettings first = Used();
  SaveSettings(store, first);
  StoredSettings second = Used();
  second.showState = ShowState::kMaximized;
  second.bounds = WindowBounds{1920, 1040, 0, 0};
  SaveSettings(store, second);

  StoredSettings expected = second;
  expected.bounds = WindowBounds{640, 480, 120, -8};
  EXPECT_EQ(Loaded(store), expected);
}

TEST(SettingsRoundTripTest, EmptiedTableStoresZeroAndReopensWithAppDir) {
  MemorySettingsStore store;
  SaveSettings(store, Used());
  StoredSettings emptied = Used();
  emptied.locations.clear();
  SaveSettings(store, emptied);
  EXPECT_EQ(store.Text("Locations", "Count"), "0");
  EXPECT_EQ(Loaded(store).locations, (std::vector<StoredLocation>{{kAppDir, true}}));
}

TEST(SettingsRoundTripTest, StaleEntriesAboveTheNewCountStay) {
  MemorySettingsStore store;
  StoredSettings five = Used();
  five.locations.clear();
  for (int i = 0; i < 5; ++i)
    five.locations.push_back(StoredLocation{"C:\\run" + std::to_string(i), true});
  SaveSettings(store, five);
  StoredSettings two = Used();
  two.locations = {{"D:\\x", false}, {"D:\\y", true}};
  SaveSettings(store, two);

  EXPECT_EQ(std::tuple(store.Text("Locations", "Count"), store.Text("Locations", "Location0001"),
                       store.Text("Locations", "Location0002"), store.Text("Locations", "Location0004"),
                       store.EntryCount("Locations")),
            std::tuple("2", "D:\\y,1", "C:\\run2,1", "C:\\run4,1", 6u));
  EXPECT_EQ(Loaded(store).locations, two.locations);
}

// Every combination of the switches, and stall times at the ends of their range.
TEST(SettingsRoundTripTest, AlertOptionsComeBack) {
  for (int bits = 0; bits < 8; ++bits) {
    for (int minutes : {1, 20, 1440}) {
      StoredSettings saved = Used();
      saved.alerts = AlertOptions{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, minutes};
      MemorySettingsStore store;
      SaveSettings(store, saved);
      EXPECT_EQ(Loaded(store).alerts, saved.alerts) << "switches " << bits << ", " << minutes << " minutes";
    }
  }
}

// The index and its key.
class LocationKeyTest : public ::testing::TestWithParam<std::tuple<std::size_t, const char*>> {};

TEST_P(LocationKeyTest, PaddedToFourDigitsNeverCut) {
  EXPECT_EQ(LocationKey(std::get<0>(GetParam())), std::get<1>(GetParam()));
}

const std::tuple<std::size_t, const char*> kLocationKeys[] = {
    {0, "Location0000"},    {7, "Location0007"},      {42, "Location0042"},      {123, "Location0123"},
    {9999, "Location9999"}, {10000, "Location10000"}, {123456, "Location123456"}};

INSTANTIATE_TEST_SUITE_P(Indexes, LocationKeyTest, ::testing::ValuesIn(kLocationKeys));

TEST(LocationKeyTest, TenThousandAndFirstRowSurvivesSaveAndLoad) {
  StoredSettings saved = Used();
  saved.locations.clear();
  for (int i = 0; i <= 10000; ++i)
    saved.locations.push_back(StoredLocation{"C:\\seti\\" + std::to_string(i), i % 3 != 0});
  MemorySettingsStore store;
  SaveSettings(store, saved);
  EXPECT_EQ(std::tuple(store.Text("Locations", "Location10000"), store.Text("Locations", "Location9999"),
                       store.Text("Locations", "Location1000")),
            std::tuple("C:\\seti\\10000,1", "C:\\seti\\9999,0", "C:\\seti\\1000,1"));
  EXPECT_EQ(Loaded(store).locations, saved.locations);
}

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
    StoredSettings saved = Used();
    saved.locations.clear();
    const int n = rowCount(random);
    for (int i = 0; i < n; ++i) {
      std::string path;
      if (!saved.locations.empty() && duplicate(random)) {
        std::uniform_int_distribution<std::size_t> earlier(0, saved.locations.size() - 1);
        path = saved.locations[earlier(random)].path;
      } else {
        path = RandomPath(random);
      }
      saved.locations.push_back(StoredLocation{path, enabled(random)});
    }
    SaveSettings(store, saved);

    // An empty list is stored as a count of 0, which loads as the program's own folder.
    const std::vector<StoredLocation> expected =
        n == 0 ? std::vector<StoredLocation>{{kAppDir, true}} : saved.locations;
    ASSERT_EQ(Loaded(store).locations, expected) << "round " << round;
  }
}

}  // namespace
}  // namespace velmora

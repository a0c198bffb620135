// The monitor window's stored settings end to end: the real window over the program's own key
// HKEY_CURRENT_USER\SOFTWARE\Tarnek\Velmora in the test prefix's registry, which every test
// deletes first. Values are put into the registry and read back with the registry functions
// themselves, so the store's own code is not trusted to check itself.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/file_system.h"
#include "monitor/settings.h"
#include "monitor/settings_store.h"
#include "monitor/win32/main_window.h"
#include "monitor/win32/registry_store.h"
#include "tests/gui/main_window_fixture.h"
#include "tests/gui/wait_for_reads.h"
#include "tests/support/win32/control_placement.h"
#include "tests/support/win32/dialog_driver.h"
#include "tests/support/win32/executable_folder.h"
#include "tests/support/win32/recording_shell.h"
#include "tests/support/win32/registry_sandbox.h"
#include "tests/support/win32/status_reader.h"
#include "tests/support/win32/table_reader.h"
#include "windows/window_base.h"

namespace velmora::testing {
namespace {

RECT NormalRect(HWND window) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  ::GetWindowPlacement(window, &placement);
  return placement.rcNormalPosition;
}

// The control's own visibility flag, whatever its parents show.
bool HasVisibleStyle(HWND control) {
  return (::GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

std::vector<bool> BarsVisible(const MainControls& c) {
  return {HasVisibleStyle(c.tlbMain), HasVisibleStyle(c.pnlStats), HasVisibleStyle(c.sttBar)};
}

class SettingsWindowTest : public ::testing::Test {
 protected:
  ~SettingsWindowTest() override { Close(); }

  // Start-up as the program does it: the store opened first, then the window created and shown,
  // its folder that of the running executable.
  TfrmMain& Open() {
    store_ = win::OpenUserSettingsStore();
    window_ = std::make_unique<TfrmMain>(MainWindowServices{fs_, *store_, shell_, nullptr, std::string()});
    EXPECT_TRUE(window_->Create());
    window_->Show(SW_SHOWNORMAL);
    return *window_;
  }

  // The end of the run: destroying the window saves the settings.
  void Close() {
    window_.reset();
    store_.reset();
  }
  // For the next row of a table: no window, no stored key and no message box seen.
  void StartAfresh() {
    Close();
    registry_.Delete();
    boxes_.seen.clear();
  }

  // The registry, read and written directly.
  void Put(const char* section, const std::vector<KeyText>& entries) const {
    for (const auto& [key, text] : entries)
      registry_.PutText(section, key, text);
  }
  void PutLocations(const std::vector<std::string>& values) const {
    Put("Locations", {{"Count", std::to_string(values.size())}});
    for (std::size_t i = 0; i < values.size(); ++i)
      registry_.PutText("Locations", LocationKey(i), values[i]);
  }
  void ExpectStored(const char* section, const std::vector<KeyText>& entries) const {
    for (const auto& [key, text] : entries)
      EXPECT_EQ(registry_.Text(section, key), text) << section << '\\' << key;
  }

  // Deleted before the test and after it.
  const RegistrySandbox registry_{win::kUserSettingsKeyPath};
  std::shared_ptr<FileSystem> fs_ = MakePlatformFileSystem();
  RecordingShellOpener shell_;
  DialogDriver boxes_;
  std::unique_ptr<SettingsStore> store_;
  std::unique_ptr<TfrmMain> window_;  // last: destroyed (and saved) before what it uses
};

const std::vector<int> kDefaultWidths = {248, 46, 33, 33, 35, 100};

TEST_F(SettingsWindowTest, FirstStartShowsTheDefaults) {
  TfrmMain& window = Open();
  const MainControls& c = window.Controls();

  EXPECT_EQ(Bounds(WindowRect(window.Hwnd())), (std::array<LONG, 4>{0, 0, 534, 300}));
  EXPECT_FALSE(::IsZoomed(window.Hwnd()));
  EXPECT_EQ(ColumnWidths(c.lvMain), kDefaultWidths);
  EXPECT_EQ(ShownRows(c.lvMain), (std::vector<ShownRow>{{ExecutableFolder(), true}}));
  EXPECT_EQ(ExecutableFolder().back(), '\\');
  EXPECT_EQ(BarsVisible(c), (std::vector<bool>{true, true, true}));
  EXPECT_EQ(win::WindowText(c.fldPollItv), "15");
  EXPECT_TRUE(window.TimerEnabled());
  EXPECT_EQ(window.TimerInterval(), 15000u);
  EXPECT_TRUE(boxes_.seen.empty());
}

TEST_F(SettingsWindowTest, ExitInTheNormalStateWritesEveryEntry) {
  Open();
  Close();
  const std::vector<KeyText> layout = {
      {"WindowState", "1"}, {"FormWidth", "534"}, {"FormHeight", "300"}, {"FormTop", "0"}, {"FormLeft", "0"},
      {"Col0", "248"},      {"Col1", "46"},       {"Col2", "33"},        {"Col3", "33"},   {"Col4", "35"},
      {"Col5", "100"},      {"Col6", "130"},      {"Col7", "110"}};
  ExpectStored("Layout", layout);
  ExpectStored(
      "Interface",
      {{"StateColumn", "0"}, {"FinishColumn", "0"}, {"tlbMain", "1"}, {"pnlStats", "1"}, {"sttBar", "1"}});
  ExpectStored("Locations", {{"Count", "1"}, {"Location0000", ExecutableFolder() + ",1"}});
  ExpectStored("Defaults", {{"PollInterval", "15"}});
  EXPECT_TRUE(boxes_.seen.empty());
}

// Paths with commas, a trailing backslash, blanks inside and ANSI letters above 127; one row
// disabled. The table sorts its rows, so the order is taken from what it shows.
TEST_F(SettingsWindowTest, EverythingStoredComesBackAndIsWrittenAgain) {
  const std::vector<std::string> locations = {
      "C:\\seti\\one,1",
      "D:\\work, old,1\\,0",
      "E:\\SETI client\\trailing\\,1",
      "F:\\Gr\xFC\xDF"
      "e \xE9t\xE9\\\xC0,1",
  };
  const std::vector<KeyText> layout = {{"FormWidth", "640"}, {"FormHeight", "480"}, {"FormTop", "60"},
                                       {"FormLeft", "30"},   {"WindowState", "1"},  {"Col0", "300"},
                                       {"Col1", "50"},       {"Col2", "30"},        {"Col3", "31"},
                                       {"Col4", "40"},       {"Col5", "120"}};
  Put("Layout", layout);
  const std::vector<int> widths = {300, 50, 30, 31, 40, 120};
  PutLocations(locations);
  Put("Interface", {{"tlbMain", "0"}, {"pnlStats", "1"}, {"sttBar", "0"}});
  Put("Defaults", {{"PollInterval", "60"}});

  std::vector<ShownRow> firstRun;
  {
    TfrmMain& window = Open();
    const MainControls& c = window.Controls();
    EXPECT_EQ(Bounds(WindowRect(window.Hwnd())), (std::array<LONG, 4>{30, 60, 640, 480}));
    EXPECT_EQ(ColumnWidths(c.lvMain), widths);
    firstRun = ShownRows(c.lvMain);
    std::vector<ShownRow> sorted = firstRun;
    std::ranges::sort(sorted, {}, &ShownRow::path);
    EXPECT_EQ(sorted, (std::vector<ShownRow>{{"C:\\seti\\one", true},
                                             {"D:\\work, old,1\\", false},
                                             {"E:\\SETI client\\trailing\\", true},
                                             {"F:\\Gr\xFC\xDF"
                                              "e \xE9t\xE9\\\xC0",
                                              true}}));
    EXPECT_EQ(BarsVisible(c), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(win::WindowText(c.fldPollItv), "60");
    EXPECT_EQ(window.TimerInterval(), 60000u);
    Close();
  }

  EXPECT_EQ(registry_.Text("Locations", "Count"), "4");
  for (std::size_t i = 0; i < firstRun.size(); ++i) {
    EXPECT_EQ(registry_.Text("Locations", LocationKey(i)),
              firstRun[i].path + (firstRun[i].checked ? ",1" : ",0"))
        << "display row " << i;
  }
  ExpectStored("Layout", {{"FormWidth", "640"}, {"FormLeft", "30"}, {"Col5", "120"}});
  ExpectStored("Interface", {{"tlbMain", "0"}, {"sttBar", "0"}});
  ExpectStored("Defaults", {{"PollInterval", "60"}});

  TfrmMain& again = Open();
  EXPECT_EQ(ShownRows(again.Controls().lvMain), firstRun);
  EXPECT_EQ(ColumnWidths(again.Controls().lvMain), widths);
  EXPECT_EQ(win::WindowText(again.Controls().fldPollItv), "60");
}

// The State and Finishes columns: switched from the View menu, their widths kept while hidden.
TEST_F(SettingsWindowTest, StateAndFinishColumnsAndTheirWidthsComeBack) {
  Put("Interface", {{"FinishColumn", "1"}});
  Put("Layout", {{"Col6", "140"}, {"Col7", "95"}});
  std::vector<int> widths = kDefaultWidths;
  {
    TfrmMain& window = Open();
    HWND table = window.Controls().lvMain;
    widths.push_back(95);
    EXPECT_EQ(ColumnWidths(table), widths);
    window.acViewStateColumnExecute();
    widths.insert(widths.begin() + 6, 140);
    EXPECT_EQ(ColumnWidths(table), widths);
    window.acViewFinishColumnExecute();
    widths.pop_back();
    EXPECT_EQ(ColumnWidths(table), widths);
    Close();
  }
  ExpectStored("Interface", {{"StateColumn", "1"}, {"FinishColumn", "0"}});
  ExpectStored("Layout", {{"Col6", "140"}, {"Col7", "95"}});
  TfrmMain& again = Open();
  EXPECT_EQ(ColumnWidths(again.Controls().lvMain), widths);
  again.acViewFinishColumnExecute();
  widths.push_back(95);
  EXPECT_EQ(ColumnWidths(again.Controls().lvMain), widths);
}

TEST_F(SettingsWindowTest, StoredCountDecidesWhatTheTableShows) {
  struct CountCase {
    const char* name;
    std::vector<KeyText> entries;  // "Locations" section
    std::vector<ShownRow> rows;
  };
  const std::vector<ShownRow> appDir = {{ExecutableFolder(), true}};
  const CountCase cases[] = {
      {"ZeroWithAnEntryPresent", {{"Count", "0"}, {"Location0000", "C:\\a,1"}}, appDir},
      {"Negative", {{"Count", "-1"}, {"Location0000", "C:\\a,1"}}, {}},
      {"LargerThanTheEntries",
       {{"Count", "4"}, {"Location0000", "C:\\a,1"}, {"Location0002", "C:\\c,0"}},
       {{"C:\\a", true}, {"C:\\c", false}}},
      {"AllEntriesMissing", {{"Count", "3"}}, {}}};
  for (const CountCase& row : cases) {
    SCOPED_TRACE(row.name);
    StartAfresh();
    Put("Locations", row.entries);
    EXPECT_EQ(ShownRows(Open().Controls().lvMain), row.rows);
  }
}

TEST_F(SettingsWindowTest, EntriesAboveTheNewCountStayInTheStore) {
  PutLocations({"C:\\run0,1", "C:\\run1,1", "C:\\run2,0", "C:\\run3,1", "C:\\run4,1"});
  Put("Locations", {{"Count", "2"}});  // the last run ended with two rows
  Open();
  Close();
  ExpectStored("Locations", {{"Count", "2"}, {"Location0002", "C:\\run2,0"}, {"Location0004", "C:\\run4,1"}});
  EXPECT_EQ(ShownRows(Open().Controls().lvMain),
            (std::vector<ShownRow>{{"C:\\run0", true}, {"C:\\run1", true}}));
}

// Only "2" opens maximized; restoring a maximized window gives back the stored normal bounds.
TEST_F(SettingsWindowTest, OnlyTwoOpensMaximized) {
  for (const auto& [stored, maximized] : {std::pair{"2", true}, std::pair{"1", false}, std::pair{"0", false},
                                          std::pair{"3", false}, std::pair{"maximized", false}}) {
    SCOPED_TRACE(stored);
    StartAfresh();
    Put("Layout", {{"FormWidth", "600"}, {"FormHeight", "400"}, {"FormTop", "20"}, {"FormLeft", "10"}});
    Put("Layout", {{"WindowState", stored}});
    TfrmMain& window = Open();
    EXPECT_EQ(::IsZoomed(window.Hwnd()) != FALSE, maximized);
    EXPECT_EQ(SizeOf(NormalRect(window.Hwnd())), (std::array<LONG, 2>{600, 400}));
  }
}

// After start-up the test overwrites the stored layout; what the exit leaves shows what it wrote.
TEST_F(SettingsWindowTest, ExitWhileMaximizedWritesTheStateOnly) {
  TfrmMain& window = Open();
  ::ShowWindow(window.Hwnd(), SW_MAXIMIZE);
  ASSERT_TRUE(::IsZoomed(window.Hwnd()));
  Put("Layout", {{"WindowState", "1"}, {"FormWidth", "777"}, {"FormLeft", "55"}});
  Close();
  ExpectStored("Layout", {{"WindowState", "2"}, {"FormWidth", "777"}, {"FormLeft", "55"}, {"Col0", "248"}});
  ExpectStored("Defaults", {{"PollInterval", "15"}});

  TfrmMain& again = Open();
  EXPECT_TRUE(::IsZoomed(again.Hwnd()));
  EXPECT_EQ(SizeOf(NormalRect(again.Hwnd()))[0], 777);
}

// Win+Left snaps the window to the left half of the screen. It stays in the normal state, but
// its placement keeps the place it had before, where restoring it would take it; the exit saves
// the rectangle the window stands in. Wine keeps every normal window's placement in step with
// its rectangle and has no snapping, so the test is skipped there.
TEST_F(SettingsWindowTest, ExitAfterASnapSavesWhereTheWindowStands) {
  Put("Layout", {{"FormWidth", "600"}, {"FormHeight", "400"}, {"FormTop", "70"}, {"FormLeft", "90"}});
  TfrmMain& window = Open();
  HWND hwnd = window.Hwnd();
  ::SetForegroundWindow(hwnd);
  INPUT keys[4] = {};
  for (int i = 0; i < 4; ++i) {  // Win down, Left down, Left up, Win up
    keys[i].type = INPUT_KEYBOARD;
    keys[i].ki.wVk = i == 1 || i == 2 ? VK_LEFT : VK_LWIN;
    keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
  }
  ::SendInput(4, keys, sizeof(INPUT));
  auto placementDiffers = [hwnd] {
    const RECT real = WindowRect(hwnd);
    const RECT placed = NormalRect(hwnd);
    return ::EqualRect(&real, &placed) == FALSE;
  };
  // The shell moves the window in its own time: wait for that, within a bound.
  if (!PumpUntil(placementDiffers, 1500))
    GTEST_SKIP() << "no snapped window here: its placement is its rectangle";
  const RECT snapped = WindowRect(hwnd);
  ASSERT_FALSE(::IsZoomed(hwnd));
  ASSERT_FALSE(::IsIconic(hwnd));
  Close();
  ExpectStored("Layout", {{"WindowState", "1"},
                          {"FormLeft", std::to_string(snapped.left)},
                          {"FormTop", std::to_string(snapped.top)},
                          {"FormWidth", std::to_string(snapped.right - snapped.left)},
                          {"FormHeight", std::to_string(snapped.bottom - snapped.top)}});
}

TEST_F(SettingsWindowTest, ExitWhileMinimizedLeavesTheLayoutAsItWas) {
  TfrmMain& window = Open();
  ::ShowWindow(window.Hwnd(), SW_MINIMIZE);
  ASSERT_TRUE(::IsIconic(window.Hwnd()));
  Put("Layout", {{"WindowState", "2"}, {"FormWidth", "777"}, {"FormTop", "66"}});
  Put("Defaults", {{"PollInterval", "999"}});
  Close();
  ExpectStored("Layout", {{"WindowState", "2"}, {"FormWidth", "777"}, {"FormTop", "66"}, {"Col0", "248"}});
  ExpectStored("Locations", {{"Location0000", ExecutableFolder() + ",1"}});
  ExpectStored("Interface", {{"sttBar", "1"}});
  ExpectStored("Defaults", {{"PollInterval", "15"}});
}

// Cut to the up-down control's 16 bits, then kept within 1..32767 so the timer always runs.
TEST_F(SettingsWindowTest, StoredIntervalBecomesTheTimerPeriod) {
  for (const auto& [stored, shown] :
       {std::pair{"60", "60"}, std::pair{"0", "1"}, std::pair{"-5", "1"}, std::pair{"70000", "4464"},
        std::pair{"65551", "15"}, std::pair{"abc", "15"}}) {
    SCOPED_TRACE(stored);
    StartAfresh();
    Put("Defaults", {{"PollInterval", stored}});
    TfrmMain& window = Open();
    EXPECT_EQ(win::WindowText(window.Controls().fldPollItv), shown);
    EXPECT_EQ(window.TimerInterval(), static_cast<UINT>(std::stoi(shown)) * 1000u);
    EXPECT_TRUE(window.TimerEnabled());
  }
}

// The message box names the entry; loading stops there, start-up runs no first pass and the
// timer stays off, but "Update all now" still refreshes.
TEST_F(SettingsWindowTest, StartUpReportsTheWrongTypedEntryAndSkipsTheRest) {
  struct WrongTypeCase {
    const char* section;
    const char* key;
    bool rowLoaded;     // whether the stored location was read before the failure
    bool toolbarShown;  // the stored "0" not yet read: the toolbar keeps its built-in visibility
  };
  const WrongTypeCase cases[] = {{"Layout", "FormHeight", false, true},
                                 {"Interface", "sttBar", true, false},
                                 {"Locations", "Location0000", false, true}};
  const std::string folder = ExecutableFolder();
  for (const WrongTypeCase& row : cases) {
    SCOPED_TRACE(row.key);
    StartAfresh();
    PutLocations({folder + ",1"});
    Put("Defaults", {{"PollInterval", "60"}});
    Put("Interface", {{"tlbMain", "0"}});
    registry_.PutDword(row.section, row.key, 300);

    TfrmMain& window = Open();
    const MainControls& c = window.Controls();
    EXPECT_EQ(
        boxes_.seen,
        (std::vector<SeenBox>{{"Velmora", std::string("Invalid data type for '") + row.key + "'", true}}));
    // Not read: the interval keeps the built-in 15.
    EXPECT_EQ(win::WindowText(c.fldPollItv), "15");
    EXPECT_EQ(HasVisibleStyle(c.tlbMain), row.toolbarShown);
    EXPECT_FALSE(window.TimerEnabled());
    EXPECT_TRUE(::IsWindowVisible(window.Hwnd()));
    // Without the row, the program's folder is not put in its place either; with it, no pass has
    // looked at the folder yet.
    EXPECT_EQ(ShownRows(c.lvMain),
              (row.rowLoaded ? std::vector<ShownRow>{{folder, true}} : std::vector<ShownRow>{}));
    EXPECT_EQ(ItemText(c.lvMain, 0, 2), row.rowLoaded ? "?" : "");
    EXPECT_EQ(StatusText(c.sttBar, 0), "");

    window.acRefreshExecute();
    ASSERT_TRUE(WaitForReads(window));
    EXPECT_EQ(StatusText(c.sttBar, 0), row.rowLoaded ? " Total: 1" : " Total: 0");
    EXPECT_EQ(ItemText(c.lvMain, 0, 2), row.rowLoaded ? "-" : "");
    EXPECT_FALSE(window.TimerEnabled());
  }
}

// A wrong-typed height stops loading before the height is applied: the window keeps its stored
// width and its built-in height.
TEST_F(SettingsWindowTest, WrongTypedHeightLeavesTheWidthApplied) {
  Put("Layout", {{"FormWidth", "610"}});
  registry_.PutDword("Layout", "FormHeight", 300);
  EXPECT_EQ(SizeOf(WindowRect(Open().Hwnd())), (std::array<LONG, 2>{610, 422}));
}

// The key removed while the program runs: the first section cannot be created at exit. The
// message ends in a letter and so gets its full stop; nothing is written.
TEST_F(SettingsWindowTest, SaveFailureIsShownAndEndsTheSave) {
  Open();
  registry_.Delete();
  Close();
  EXPECT_EQ(boxes_.seen, (std::vector<SeenBox>{{"Velmora", "Failed to create key Layout.", true}}));
  EXPECT_EQ(registry_.Text("Layout", "WindowState"), std::nullopt);
}

// Logging off with the monitor still open counts as an exit: the settings are saved once. A
// session that goes on saves nothing until the exit.
TEST_F(SettingsWindowTest, EndOfSessionSavesOnceAndACancelledOneNothing) {
  for (const bool ends : {true, false}) {
    SCOPED_TRACE(ends);
    StartAfresh();
    TfrmMain& window = Open();
    Put("Defaults", {{"PollInterval", "999"}});
    EXPECT_EQ(::SendMessageA(window.Hwnd(), WM_QUERYENDSESSION, 0, ends ? ENDSESSION_LOGOFF : 0), TRUE);
    EXPECT_EQ(registry_.Text("Defaults", "PollInterval"), "999");  // asking is not ending
    ::SendMessageA(window.Hwnd(), WM_ENDSESSION, ends, ends ? ENDSESSION_LOGOFF : 0);
    EXPECT_EQ(registry_.Text("Defaults", "PollInterval"), ends ? "15" : "999");
    if (ends) {
      ExpectStored("Locations", {{"Location0000", ExecutableFolder() + ",1"}});
      Put("Defaults", {{"PollInterval", "999"}});
    }
    Close();
    EXPECT_EQ(registry_.Text("Defaults", "PollInterval"), ends ? "999" : "15");  // saved once, at the end
    EXPECT_TRUE(boxes_.seen.empty());
  }
}

}  // namespace
}  // namespace velmora::testing

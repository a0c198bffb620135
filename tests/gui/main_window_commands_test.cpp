// The monitor window's commands and the ends of its life: remove, help, add through the real
// folder picker, exit, the end of the Windows session, and settings that fail to load or save.
// Message boxes and the picker are answered from a timer of the test's own thread.
#include "monitor/win32/main_window.h"

#include <gtest/gtest.h>

#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "monitor/win32/error_box.h"
#include "tests/gui/main_window_fixture.h"
#include "tests/support/win32/control_placement.h"
#include "tests/support/win32/tree_reader.h"
#include "windows/about_window.h"
#include "windows/ole_session.h"

namespace velmora::testing {
namespace {

using velmora::win::OleSession;

std::size_t WritesOf(const MemorySettingsStore& store, const std::string& section, const std::string& key) {
  return static_cast<std::size_t>(std::count_if(
      store.Writes().begin(), store.Writes().end(),
      [&](const MemorySettingsStore::Write& w) { return w.section == section && w.key == key; }));
}

class RemoveTest : public MainWindowTest {
 protected:
  TfrmMain& OpenWithThreeRows() {
    StoreLocations({{ClientPath("a"), true}, {ClientPath("b"), true}, {ClientPath("c"), false}});
    TfrmMain& window = Open();
    window.Show(SW_SHOWNORMAL);
    return window;
  }
};

TEST_F(RemoveTest, WithTheFocusInTheTableTheSelectedRowGoesAtOnce) {
  TfrmMain& window = OpenWithThreeRows();
  HWND table = window.Controls().lvMain;
  SelectRow(table, 1);
  ::SetFocus(table);
  DialogDriver driver;
  window.acRemoveLocationExecute();
  PumpMessages();
  EXPECT_TRUE(driver.seen.empty());
  EXPECT_EQ(ShownRows(table), (std::vector<ShownRow>{{ClientPath("a"), true}, {ClientPath("c"), false}}));
  EXPECT_EQ(window.Table().Count(), 2u);
  // The counters catch up at the next tick only.
  EXPECT_EQ(StatusText(window.Controls().sttBar, 0), " Total: 3");
  ASSERT_TRUE(RunAndSettle(&TfrmMain::tmrMainTimer));
  EXPECT_EQ(StatusText(window.Controls().sttBar, 0), " Total: 2");
}

TEST_F(RemoveTest, WithoutARowMarkedInTheTableSaysNoLocationMarkedAndChangesNothing) {
  for (const bool focusInIntervalBox : {false, true}) {
    SCOPED_TRACE(focusInIntervalBox ? "a row selected, the focus in the interval box" : "no row selected");
    Close();
    TfrmMain& window = OpenWithThreeRows();
    HWND table = window.Controls().lvMain;
    if (focusInIntervalBox)
      SelectRow(table, 0);
    ::SetFocus(focusInIntervalBox ? window.Controls().fldPollItv : table);
    DialogDriver driver;
    window.acRemoveLocationExecute();
    EXPECT_EQ(driver.seen, (std::vector<SeenBox>{{"Velmora", "No location marked!", true}}));
    EXPECT_EQ(ItemCount(table), 3);
    EXPECT_EQ(window.Table().Count(), 3u);
  }
}

TEST_F(RemoveTest, RemovingTheLastRowLeavesAnEmptyTableThatIsSavedAsCountZero) {
  StoreLocations({{ClientPath("only"), true}});
  TfrmMain& window = Open();
  window.Show(SW_SHOWNORMAL);
  SelectRow(window.Controls().lvMain, 0);
  ::SetFocus(window.Controls().lvMain);
  window.acRemoveLocationExecute();
  EXPECT_EQ(ItemCount(window.Controls().lvMain), 0);
  Close();
  EXPECT_EQ(settings_.Text("Locations", "Count"), "0");
}

TEST_F(MainWindowTest, HelpOpensTheLocalPageWhenItExists) {
  appFolder_.WriteFile("index.html", "<html></html>");
  TfrmMain& window = Open();
  window.acHelpExecute();
  ASSERT_EQ(shell_.calls.size(), 1u);
  EXPECT_EQ(shell_.calls[0].target, appFolder_.ProgramPath() + "\\index.html");
  EXPECT_EQ(shell_.calls[0].owner, window.Hwnd());
}

// Without it, the home page that the about window names for Europe: the address its link shows,
// with "index.html", as that link opens it.
TEST_F(MainWindowTest, HelpOpensTheAboutWindowsEuropeanPageWithoutTheLocalOne) {
  TfrmMain& window = Open();
  window.acHelpExecute();
  ASSERT_EQ(shell_.calls.size(), 1u);
  const std::string& target = shell_.calls[0].target;

  RecordingShellOpener aboutShell;
  win::TfrmAbout about(window.Hwnd(), aboutShell);
  EXPECT_EQ(target, win::WindowText(::GetDlgItem(about.Hwnd(), win::kAboutLblHttpEuro)) + "index.html");
  about.lblHttpEuroClick();
  ASSERT_EQ(aboutShell.calls.size(), 1u);
  EXPECT_EQ(target, aboutShell.calls[0].target);
}

TEST_F(MainWindowTest, MoreInfoAndAboutCallTheirHooksAndDoNothingWithoutThem) {
  TfrmMain& window = Open();
  window.acMoreInfoExecute();
  window.acAboutExecute();
  int moreInfo = 0;
  int about = 0;
  window.onMoreInfo = [&] { ++moreInfo; };
  window.onAbout = [&] { ++about; };
  window.acMoreInfoExecute();
  window.acAboutExecute();
  window.acAboutExecute();
  EXPECT_EQ(moreInfo, 1);
  EXPECT_EQ(about, 2);
}

TEST_F(MainWindowTest, SelectedPathFollowsTheSelection) {
  StoreLocations({{ClientPath("x"), true}, {ClientPath("y"), true}});
  TfrmMain& window = Open();
  EXPECT_EQ(window.SelectedPath(), std::nullopt);
  SelectRow(window.Controls().lvMain, 1);
  EXPECT_EQ(window.SelectedPath(), ClientPath("y"));
}

constexpr int kTicksBeforeGivingUp = 300;

TEST_F(MainWindowTest, AddPutsTheConfirmedFolderEnabledAtItsSortedPlace) {
  OleSession ole;
  const std::string existing = MakeClient("m", {.workUnit = "unit"});
  StoreLocations({{existing, true}});
  TfrmMain& window = OpenOwned();
  window.Show(SW_SHOWNORMAL);
  clients_.MakeFolder("a-new");
  const std::string chosen = clients_.ProgramPath("a-new");
  bool windowWasDisabled = false;
  int ticks = 0;
  DialogDriver driver([&](HWND dialog) {
    if (ticks++ == 0)
      windowWasDisabled = !::IsWindowEnabled(window.Hwnd());
    // The picker selects its own initial folder when it is ready, which may come after the
    // first tick: select until the tree shows the folder, then confirm as a user would.
    if (TreeItemText(::GetDlgItem(dialog, kFolderDialogTreeId), TVGN_CARET) == "a-new") {
      ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
      return true;
    }
    if (ticks > kTicksBeforeGivingUp) {
      ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      return true;
    }
    ::SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(chosen.c_str()));
    return false;
  });
  window.acAddLocationExecute();
  EXPECT_TRUE(windowWasDisabled);
  EXPECT_TRUE(::IsWindowEnabled(window.Hwnd()));
  HWND table = window.Controls().lvMain;
  EXPECT_EQ(ShownRows(table), (std::vector<ShownRow>{{chosen, true}, {existing, true}}));
  EXPECT_EQ(RowTexts(table, 0), (std::vector<std::string>{chosen, "?", "?", "?", "?", "?"}));
  EXPECT_EQ(ItemImage(table, 0), kIconNone);
}

TEST_F(MainWindowTest, CancellingThePickerAddsNothing) {
  OleSession ole;
  TfrmMain& window = OpenOwned();
  window.Show(SW_SHOWNORMAL);
  // Cancel on every tick until the dialog has gone: one sent before it is ready may be lost.
  DialogDriver driver([](HWND dialog) {
    ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return false;
  });
  window.acAddLocationExecute();
  EXPECT_EQ(ItemCount(window.Controls().lvMain), 1);
  EXPECT_TRUE(::IsWindowEnabled(window.Hwnd()));
}

TEST_F(MainWindowTest, ExitDestroysTheWindowAndSavesTheRows) {
  StoreLocations({{ClientPath("one"), true}, {ClientPath("two"), false}});
  TfrmMain& window = Open();
  int destroyed = 0;
  window.onDestroyed = [&] { ++destroyed; };
  window.acExitExecute();
  EXPECT_EQ(window.Hwnd(), nullptr);
  EXPECT_EQ(destroyed, 1);
  ExpectSaved("Locations", {{"Count", "2"},
                            {"Location0000", ClientPath("one") + ",1"},
                            {"Location0001", ClientPath("two") + ",0"}});
  ExpectSaved("Defaults", {{"PollInterval", "15"}});
  EXPECT_EQ(WritesOf(settings_, "Locations", "Count"), 1u);
}

// The end of the session saves once, like an exit; a session that goes on saves nothing until
// the exit.
TEST_F(MainWindowTest, TheEndOfTheSessionSavesOnceLikeAnExitAndOneThatGoesOnNothing) {
  for (const bool ends : {true, false}) {
    SCOPED_TRACE(ends ? "ends" : "goes on");
    settings_.ClearWrites();
    TfrmMain& window = Open();
    EXPECT_EQ(::SendMessageA(window.Hwnd(), WM_QUERYENDSESSION, 0, 0), TRUE);
    ::SendMessageA(window.Hwnd(), WM_ENDSESSION, ends, 0);
    if (ends) {
      EXPECT_EQ(WritesOf(settings_, "Locations", "Count"), 1u);
      EXPECT_EQ(settings_.Text("Locations", "Location0000"), appFolder_.ProgramPath() + "\\,1");
    } else {
      EXPECT_TRUE(settings_.Writes().empty());
    }
    // The window may still be destroyed afterwards; that does not save a second time.
    Close();
    EXPECT_EQ(WritesOf(settings_, "Locations", "Count"), 1u);
  }
}

const std::vector<KeyText> kStoredBounds = {{"FormWidth", "600"},
                                            {"FormHeight", "400"},
                                            {"FormTop", "30"},
                                            {"FormLeft", "40"}};

TEST_F(MainWindowTest, StoredLayoutBarsAndIntervalAreAppliedAndSavedBack) {
  Store("Layout", kStoredBounds);
  Store("Layout", {{"Col0", "300"}, {"Col5", "120"}});
  Store("Interface", {{"pnlStats", "0"}});
  Store("Defaults", {{"PollInterval", "60"}});
  TfrmMain& window = Open();
  EXPECT_EQ(Bounds(WindowRect(window.Hwnd())), (std::array<LONG, 4>{40, 30, 600, 400}));
  EXPECT_EQ(ColumnWidths(window.Controls().lvMain), (std::vector<int>{300, 46, 33, 33, 35, 120}));
  EXPECT_FALSE(window.BarVisible(Bar::kStatsPanel));
  EXPECT_FALSE(::GetWindowLongPtrA(window.Controls().pnlStats, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(win::WindowText(window.Controls().fldPollItv), "60");
  EXPECT_EQ(window.TimerInterval(), 60000u);

  ::SendMessageA(window.Controls().lvMain, LVM_SETCOLUMNWIDTH, 1, 77);
  Close();
  ExpectSaved("Layout", kStoredBounds);
  ExpectSaved("Layout", {{"WindowState", "1"}, {"Col0", "300"}, {"Col1", "77"}});
  ExpectSaved("Interface", {{"pnlStats", "0"}, {"tlbMain", "1"}});
  ExpectSaved("Defaults", {{"PollInterval", "60"}});
}

TEST_F(MainWindowTest, AMaximizedStartKeepsTheStoredNormalBounds) {
  Store("Layout", kStoredBounds);
  Store("Layout", {{"WindowState", "2"}});
  TfrmMain& window = Open();
  EXPECT_EQ(window.CurrentShowState(), ShowState::kMaximized);
  window.Show(SW_SHOWNORMAL);
  EXPECT_TRUE(::IsZoomed(window.Hwnd()));
  const auto [width, height, top, left] = window.CurrentBounds();
  EXPECT_EQ((std::array<int, 4>{left, top, width, height}), (std::array<int, 4>{40, 30, 600, 400}));
  Close();
  EXPECT_EQ(settings_.Text("Layout", "WindowState"), "2");
  EXPECT_EQ(WritesOf(settings_, "Layout", "FormWidth"), 0u);
}

TEST_F(MainWindowTest, AMinimizedExitLeavesTheLayoutAlone) {
  TfrmMain& window = Open();
  window.Show(SW_SHOWNORMAL);
  ::ShowWindow(window.Hwnd(), SW_MINIMIZE);
  ASSERT_EQ(window.CurrentShowState(), ShowState::kMinimized);
  Close();
  EXPECT_EQ(WritesOf(settings_, "Layout", "WindowState"), 0u);
  EXPECT_EQ(WritesOf(settings_, "Layout", "FormWidth"), 0u);
  EXPECT_EQ(WritesOf(settings_, "Layout", "Col0"), 1u);
  EXPECT_EQ(WritesOf(settings_, "Locations", "Count"), 1u);
}

TEST_F(MainWindowTest, ALoadFailureIsShownAndTheStartStopsThere) {
  StoreLocations({{MakeClient("client", {.workUnit = "unit"}), true}});
  settings_.SetNonText("Defaults", "PollInterval");
  DialogDriver driver;
  TfrmMain& window = Open();
  EXPECT_EQ(driver.seen, (std::vector<SeenBox>{{"Velmora", "Invalid data type for 'PollInterval'", true}}));
  // What was read before the failure is there; no first pass ran and the timer stays off.
  HWND table = window.Controls().lvMain;
  ASSERT_EQ(ItemCount(table), 1);
  EXPECT_EQ(ItemText(table, 0, 2), "?");
  EXPECT_EQ(StatusText(window.Controls().sttBar, 0), "");
  EXPECT_FALSE(window.TimerEnabled());
  EXPECT_FALSE(::KillTimer(window.Hwnd(), TfrmMain::kMainTimerId));

  ASSERT_TRUE(RunAndSettle(&TfrmMain::tmrMainTimer));
  EXPECT_FALSE(window.TimerEnabled());
  ::SetWindowTextA(window.Controls().fldPollItv, "30");
  EXPECT_FALSE(window.TimerEnabled());
  ASSERT_TRUE(RunAndSettle(&TfrmMain::acRefreshExecute));
  EXPECT_EQ(ItemText(table, 0, 2), "+");
  EXPECT_EQ(StatusText(window.Controls().sttBar, 0), " Total: 1");
}

TEST_F(MainWindowTest, AFailureAtTheFirstEntryKeepsTheBuiltInWindowSize) {
  settings_.SetNonText("Layout", "FormWidth");
  DialogDriver driver;
  TfrmMain& window = Open();
  EXPECT_EQ(driver.seen, (std::vector<SeenBox>{{"Velmora", "Invalid data type for 'FormWidth'", true}}));
  EXPECT_EQ(SizeOf(WindowRect(window.Hwnd())), (std::array<LONG, 2>{505, 422}));
  EXPECT_EQ(ItemCount(window.Controls().lvMain), 0);
}

TEST_F(MainWindowTest, ASaveFailureIsShownWithAFullStopAndTheWindowStillCloses) {
  TfrmMain& window = Open();
  settings_.FailWrite("Layout", "Col0", MemorySettingsStore::WriteFailure::kCreateKey);
  int destroyed = 0;
  window.onDestroyed = [&] { ++destroyed; };
  DialogDriver driver;
  window.acExitExecute();
  EXPECT_EQ(driver.seen, (std::vector<SeenBox>{{"Velmora", "Failed to create key Layout.", true}}));
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(window.Hwnd(), nullptr);
  // Written before the failure: stays; after it: never written.
  EXPECT_EQ(settings_.Text("Layout", "WindowState"), "1");
  EXPECT_FALSE(settings_.Has("Locations", "Count"));
}

TEST(FullStop, OnlyAMessageEndingInALetterGetsAFullStop) {
  for (const auto& [message, shown] :
       {std::pair{"Failed to create key Layout", "Failed to create key Layout."},
        std::pair{"Invalid data type for 'Col2'", "Invalid data type for 'Col2'"},
        std::pair{"Failed to set data for 'x'", "Failed to set data for 'x'"}, std::pair{"Done.", "Done."},
        std::pair{"Count 3", "Count 3"},
        std::pair{"Schl\xFC"
                  "ssel \xC4",
                  "Schl\xFC"
                  "ssel \xC4."},
        std::pair{"", ""}})
    EXPECT_EQ(WithFullStop(message), shown) << message;
}

}  // namespace
}  // namespace velmora::testing

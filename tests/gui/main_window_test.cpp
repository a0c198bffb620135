// The monitor window created for real under Wine: start-up, layout, the location table with its
// icons and check boxes, the refresh timer, the statistics panel and the View commands, each read
// back from the controls.
#include "monitor/win32/main_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "monitor/win32/main_commands.h"
#include "tests/gui/main_window_fixture.h"
#include "tests/support/win32/clipboard_text.h"
#include "tests/support/win32/executable_folder.h"
#include "tests/support/win32/window_finders.h"
#include "tests/support/win32/window_pinger.h"

namespace velmora::testing {
namespace {

TEST_F(MainWindowTest, FirstStartShowsTheProgramFolderAsTheOneEnabledRowRefreshedInTheDefaultLayout) {
  TfrmMain& window = Open("");
  HWND table = window.Controls().lvMain;
  EXPECT_EQ(Bounds(WindowRect(window.Hwnd())), (std::array<LONG, 4>{0, 0, 534, 300}));
  EXPECT_EQ(ColumnWidths(table), (std::vector<int>{248, 46, 33, 33, 35, 100}));
  EXPECT_EQ(win::WindowText(window.Controls().fldPollItv), "15");
  for (Bar bar : {Bar::kToolbar, Bar::kStatsPanel, Bar::kStatusBar})
    EXPECT_TRUE(window.BarVisible(bar));

  EXPECT_EQ(ShownRows(table), (std::vector<ShownRow>{{ExecutableFolder(), true}}));
  // Refreshed at once: the file columns show what the folder holds instead of "?".
  EXPECT_EQ(RowTexts(table, 0), (std::vector<std::string>{ExecutableFolder(), "?", "-", "-", "-", "-"}));
  EXPECT_EQ(ItemImage(table, 0), kIconNone);
  EXPECT_EQ(StatusTexts(window.Controls().sttBar),
            (std::vector<std::string>{" Total: 1", " Work: 0", " Ready: 0"}));
  EXPECT_TRUE(window.TimerEnabled());
  EXPECT_EQ(window.TimerInterval(), 15000u);
  // KillTimer succeeds only for a timer that exists.
  EXPECT_TRUE(::KillTimer(window.Hwnd(), TfrmMain::kMainTimerId));
  EXPECT_EQ(window.AppDir(), ExecutableFolder());
}

// The program's own start: no folder is read while the window is built. Showing it sends the
// reads out at once; without that, its messages running do. The first pass then shows as ever,
// and the notification-area icon comes once the messages run.
TEST_F(MainWindowTest, DeferredStartWaitsForTheWindow) {
  for (const bool show : {true, false}) {
    StoreLocations(
        {{MakeClient(show ? "shown" : "pumped", {.state = "prog=0.5\n", .workUnit = "unit"}), true}});
    deferUntilShown_ = true;
    const std::uint64_t calls = probe_->CallCount();
    OpenWithoutWaiting(appFolder_.ProgramPath() + "\\");
    ::Sleep(100);
    EXPECT_EQ(probe_->CallCount(), calls) << show;
    EXPECT_FALSE(tray_.Shown()) << show;
    if (show) {
      window_->Show(SW_SHOWNOACTIVATE);
      for (int wait = 0; wait < 1000 && probe_->CallCount() == calls; ++wait)
        ::Sleep(5);
      EXPECT_GT(probe_->CallCount(), calls);
    }
    ASSERT_TRUE(WaitForReads(*window_)) << show;
    EXPECT_EQ(ItemText(window_->Controls().lvMain, 0, 1), "50.00") << show;
    EXPECT_TRUE(tray_.Shown()) << show;
    window_.reset();
  }
}

TEST_F(MainWindowTest, AppDirGetsItsTrailingBackslash) {
  TfrmMain& window = Open(appFolder_.ProgramPath());
  EXPECT_EQ(window.AppDir(), appFolder_.ProgramPath() + "\\");
  EXPECT_EQ(ItemText(window.Controls().lvMain, 0, 0), appFolder_.ProgramPath() + "\\");
}

TEST_F(MainWindowTest, WindowIsAnAppWindowOwnedByTheApplicationWindow) {
  TfrmMain& window = Open();
  EXPECT_TRUE(::GetWindowLongPtrA(window.Hwnd(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_EQ(::GetWindow(window.Hwnd(), GW_OWNER), nullptr);  // the tests give no owner
  EXPECT_EQ(::GetMenu(window.Hwnd()), window.Menu());
}

TEST_F(MainWindowTest, ActivationSetsTheTitleWithTheVersionText) {
  TfrmMain& window = Open();
  ASSERT_TRUE(RunAndSettle(&TfrmMain::FormActivate));
  // The test program carries no version resource.
  EXPECT_EQ(win::WindowText(window.Hwnd()), "Velmora v.Unknown");
}

TEST_F(MainWindowTest, BarsStackFromTopToBottomAroundTheTableAndHiddenOnesGiveItTheirSpace) {
  TfrmMain& window = Open();
  const MainControls& c = window.Controls();
  RECT client{};
  ::GetClientRect(window.Hwnd(), &client);
  const RECT toolbar = RectInParent(c.tlbMain);
  const RECT main = RectInParent(c.pnlMain);
  const RECT bevel = RectInParent(c.bvlStats);
  const RECT stats = RectInParent(c.pnlStats);
  const RECT status = RectInParent(c.sttBar);

  // Each bar's top is the bottom of the one above; the bevel is 2 high and the panel 80.
  EXPECT_EQ((std::vector<LONG>{toolbar.top, main.top, main.bottom, bevel.bottom - bevel.top, bevel.bottom,
                               stats.bottom - stats.top, stats.bottom, status.bottom}),
            (std::vector<LONG>{0, toolbar.bottom, bevel.top, 2, stats.top, 80, status.top, client.bottom}));
  for (const RECT& r : {main, stats, status})
    EXPECT_EQ(r.right - r.left, client.right);

  EXPECT_EQ(Bounds(RectInParent(c.lvMain)),
            (std::array<LONG, 4>{5, 2, main.right - main.left - 10, main.bottom - main.top - 7}));

  window.acViewNoneExecute();
  const RECT alone = RectInParent(c.pnlMain);
  EXPECT_EQ((std::array<LONG, 2>{alone.top, alone.bottom}), (std::array<LONG, 2>{0, client.bottom}));
  for (HWND bar : std::initializer_list<HWND>{c.tlbMain, c.pnlStats, c.bvlStats, c.sttBar})
    EXPECT_FALSE(::IsWindowVisible(bar));
}

// Each control at its place, and each value read after its prompt.
TEST_F(MainWindowTest, StatisticsPanelControlsStandAtTheirLaidOutPlacesInReadingOrder) {
  const MainControls& c = Open().Controls();
  std::vector<HWND> laidOut;
  for (const StatsLabel& label : kStatsLabels) {
    HWND control = StatsControl(c, label);
    ASSERT_NE(control, nullptr) << label.name;
    EXPECT_EQ(Bounds(RectInParent(control)),
              (std::array<LONG, 4>{label.x, label.y, label.width, label.height}))
        << label.name;
    laidOut.push_back(control);
  }
  EXPECT_EQ(Children(c.pnlStats), laidOut);
}

// Only top-level windows hear of new system colours: the window passes them on to its common
// controls and its tooltips, the status bar's hints among them (Wine's keep their colours either
// way, so the message itself is watched).
TEST_F(MainWindowTest, NewSystemColoursReachEveryControlAndTooltip) {
  TfrmMain& window = Open();
  const MainControls& c = window.Controls();
  std::vector<HWND> watched = ThreadWindows(TOOLTIPS_CLASSA, false);  // all of this window
  ASSERT_FALSE(watched.empty());
  watched.insert(watched.end(), {c.tlbMain, c.lvMain, c.sttBar, c.spnPollItv});
  std::vector<std::unique_ptr<MessageCounter>> counters;
  for (HWND control : watched)
    counters.push_back(std::make_unique<MessageCounter>(control, WM_SYSCOLORCHANGE));
  ::SendMessageA(window.Hwnd(), WM_SYSCOLORCHANGE, 0, 0);
  for (const auto& counter : counters)
    EXPECT_EQ(counter->Count(), 1);
}

TEST_F(MainWindowTest, EveryControlUsesMicrosoftSansSerifEightPoints) {
  const MainControls& c = Open().Controls();
  for (HWND control :
       std::initializer_list<HWND>{c.lblPollItv, c.fldPollItv, c.chkActive, c.lvMain, c.frmUserStats,
                                   c.lblUserTotUnits, c.frmUnitStats, c.lblTimeLeft, c.sttBar}) {
    const LOGFONTA face = ControlFont(control);
    EXPECT_EQ(face.lfHeight, -11);
    EXPECT_STREQ(face.lfFaceName, "Microsoft Sans Serif");
  }
}

TEST_F(MainWindowTest, SettingsPanelHoldsTheIntervalAndTheSpyingSwitch) {
  const MainControls& c = Open().Controls();
  EXPECT_EQ(win::WindowText(c.lblPollItv), "Refresh interval (sec): ");
  EXPECT_EQ(win::WindowText(c.fldPollItv), "15");
  EXPECT_EQ(reinterpret_cast<HWND>(::SendMessageA(c.spnPollItv, UDM_GETBUDDY, 0, 0)), c.fldPollItv);
  std::array<int, 2> range{};
  ::SendMessageA(c.spnPollItv, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&range[0]),
                 reinterpret_cast<LPARAM>(&range[1]));
  EXPECT_EQ(range, (std::array<int, 2>{1, 32767}));
  EXPECT_EQ(::SendMessageA(c.spnPollItv, UDM_GETPOS32, 0, 0), 15);
  EXPECT_TRUE(::GetWindowLongPtrA(c.spnPollItv, GWL_STYLE) & UDS_SETBUDDYINT);
  EXPECT_EQ(win::WindowText(c.chkActive), "Spying enabled");
  EXPECT_TRUE(::GetWindowLongPtrA(c.chkActive, GWL_STYLE) & BS_LEFTTEXT);
  EXPECT_EQ(::SendMessageA(c.chkActive, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(::GetParent(c.pnlSettings), c.tlbMain);
}

const std::vector<std::string> kSixCaptions = {"Location", "%", "WU", "Stt", "Res", "Last date"};

TEST_F(MainWindowTest, TableHasSixColumnsWithCaptionsAlignmentStylesAndStateImages) {
  HWND table = Open().Controls().lvMain;
  EXPECT_EQ(ColumnCaptions(table), kSixCaptions);
  std::vector<int> alignments;
  for (int column = 0; column < 6; ++column) {
    LVCOLUMNA info{};
    info.mask = LVCF_FMT;
    EXPECT_TRUE(::SendMessageA(table, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&info))) << column;
    alignments.push_back(info.fmt & LVCFMT_JUSTIFYMASK);
  }
  EXPECT_EQ(alignments, (std::vector<int>{LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_LEFT, LVCFMT_LEFT, LVCFMT_LEFT,
                                          LVCFMT_LEFT}));
  constexpr LONG_PTR kStyle = LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
  EXPECT_EQ(::GetWindowLongPtrA(table, GWL_STYLE) & (LVS_TYPEMASK | kStyle), kStyle);
  constexpr LRESULT kExtended =
      LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE;
  EXPECT_EQ(::SendMessageA(table, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & kExtended, kExtended);
  auto images = reinterpret_cast<HIMAGELIST>(::SendMessageA(table, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(::ImageList_GetImageCount(images), 5);
}

std::vector<std::string> MenuTexts(HMENU menu) {
  std::vector<std::string> texts;
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    char text[128] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
    texts.push_back(text);
  }
  return texts;
}

TEST_F(MainWindowTest, MenusListTheirCommandsWithShortcuts) {
  const std::vector<std::vector<std::string>> expected = {
      {"E&xit\tCtrl+X"},
      {"&Toolbar", "&Statistics panel", "Status &bar", "", "Show &all\tF7", "&Hide all\tF8", "",
       "Notification-area &icon", "Alert when a client s&talls", "Alert when a &result waits", "",
       "Stat&e column", "&Finish column", "&Done column", "", "&History...\tCtrl+H"},
      // More info and the separator before it are not in the menu: F4 reaches it.
      {"&Add a new location...\tIns", "&Remove this location\tShift+Del", "", "&Update all now\tF5", "",
       "&Copy table"},
      {"&Help...", "", "&About..."},
  };
  HMENU bar = Open().Menu();
  EXPECT_EQ(MenuTexts(bar), (std::vector<std::string>{"&File", "&View", "&Locations", "&Help"}));
  ASSERT_EQ(::GetMenuItemCount(bar), 4);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(MenuTexts(::GetSubMenu(bar, i)), expected[static_cast<std::size_t>(i)]);
}

// Ctrl+C delivered to `target` as the program's message loop delivers a key.
void PressCtrlC(TfrmMain& window, HWND target) {
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  ::SetKeyboardState(keys);
  MSG message{target, WM_KEYDOWN, 'C', 0x002E0001, 0, {}};
  if (!window.PreTranslateMessage(message)) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  PumpMessages();
  keys[VK_CONTROL] = 0;
  ::SetKeyboardState(keys);
}

TEST_F(MainWindowTest, StateAndFinishColumnsSwitchAndCtrlCCopiesTheTable) {
  TfrmMain& window = OpenOverClient("busy", {.state = "prog=0.5\n", .workUnit = "unit"});
  const std::string path = ClientPath("busy");
  HWND table = window.Controls().lvMain;
  EXPECT_EQ(ColumnCaptions(table), kSixCaptions);
  window.acViewStateColumnExecute();
  std::vector<std::string> captions = kSixCaptions;
  captions.push_back("State");
  EXPECT_EQ(ColumnCaptions(table), captions);
  EXPECT_EQ(ItemText(table, 0, 6), "In work");
  EXPECT_TRUE(MenuChecked(window.Menu(), kCmdViewStateColumn));
  window.acViewFinishColumnExecute();
  captions.push_back("Finishes");
  EXPECT_EQ(ColumnCaptions(table), captions);
  EXPECT_EQ(ItemText(table, 0, 7), "");  // one reading: nothing to say yet
  window.acViewStateColumnExecute();
  captions.erase(captions.begin() + 6);
  EXPECT_EQ(ColumnCaptions(table), captions);
  EXPECT_EQ(MenuChecks(window.Menu(), {kCmdViewStateColumn, kCmdViewFinishColumn}),
            (std::vector<bool>{false, true}));

  ::SetFocus(table);
  PressCtrlC(window, table);
  EXPECT_EQ(ClipboardText(), "On\tLocation\t%\tWU\tStt\tRes\tLast date\tFinishes\r\n1\t" + path +
                                 "\t50.00\t+\t+\t-\t" + ItemText(table, 0, 5) + "\t\r\n");
  // In the interval box, Ctrl+C copies the box's own text.
  HWND interval = window.Controls().fldPollItv;
  ::SetFocus(interval);
  ::SendMessageA(interval, EM_SETSEL, 0, -1);
  PressCtrlC(window, interval);
  EXPECT_EQ(ClipboardText(), "15");
}

// Another program holds the clipboard through every try of the copy: the status bar says so.
TEST_F(MainWindowTest, ACopyThatFindsTheClipboardHeldSaysSo) {
  TfrmMain& window = OpenOverClient("busy", {.state = "prog=0.5\n", .workUnit = "unit"});
  // Plain flags: MinGW's std::latch can miss a wake-up and hang.
  std::atomic<bool> opened = false, copied = false, closed = false;
  std::thread holder([&] {
    const bool open = ::OpenClipboard(nullptr) != FALSE;
    opened = true;
    while (!copied)
      ::Sleep(1);
    if (open)
      ::CloseClipboard();
    closed = true;
  });
  while (!opened)
    ::Sleep(1);
  window.acCopyTableExecute();
  copied = true;
  EXPECT_TRUE(PumpUntil([&closed] { return closed.load(); }));
  holder.join();
  EXPECT_EQ(StatusText(window.Controls().sttBar, 3), " Not copied: another program holds the clipboard");
}

TEST_F(MainWindowTest, AcceleratorTableHoldsTheEightShortcuts) {
  TfrmMain& window = Open();
  const int count = ::CopyAcceleratorTableA(window.Accelerators(), nullptr, 0);
  std::vector<ACCEL> entries(static_cast<std::size_t>(count));
  ::CopyAcceleratorTableA(window.Accelerators(), entries.data(), count);
  // In any order: the modifiers with the flag of a virtual key, the key, the command.
  std::set<std::array<int, 3>> shown;
  for (const ACCEL& a : entries)
    shown.insert({a.fVirt & (FCONTROL | FSHIFT | FALT | FVIRTKEY), a.key, a.cmd});
  EXPECT_EQ(count, 8);
  EXPECT_EQ(shown, (std::set<std::array<int, 3>>{{FVIRTKEY | FCONTROL, 'X', kCmdExit},
                                                 {FVIRTKEY, VK_F7, kCmdViewAll},
                                                 {FVIRTKEY, VK_F8, kCmdViewNone},
                                                 {FVIRTKEY, VK_INSERT, kCmdAddLocation},
                                                 {FVIRTKEY | FSHIFT, VK_DELETE, kCmdRemoveLocation},
                                                 {FVIRTKEY, VK_F5, kCmdRefresh},
                                                 {FVIRTKEY, VK_F4, kCmdMoreInfo},
                                                 {FVIRTKEY | FCONTROL, 'H', kCmdHistory}}));
}

MSG KeyDown(HWND target, WORD key) {
  return MSG{target, WM_KEYDOWN, key, 1, 0, {}};
}

TEST_F(MainWindowTest, ShortcutsReachTheirCommandsFromTheTable) {
  TfrmMain& window = Open();
  int moreInfoCalls = 0;
  window.onMoreInfo = [&] { ++moreInfoCalls; };
  const auto press = [&](WORD key) {
    MSG down = KeyDown(window.Controls().lvMain, key);
    return window.PreTranslateMessage(down);
  };
  EXPECT_TRUE(press(VK_F8));
  EXPECT_FALSE(window.BarVisible(Bar::kToolbar));
  EXPECT_TRUE(press(VK_F7));
  EXPECT_TRUE(window.BarVisible(Bar::kStatusBar));
  EXPECT_TRUE(press(VK_F4));
  EXPECT_EQ(moreInfoCalls, 1);
}

TEST_F(MainWindowTest, TabWalksTheIntervalBoxTheSpyingSwitchAndTheTable) {
  TfrmMain& window = Open();
  window.Show(SW_SHOWNORMAL);
  const MainControls& c = window.Controls();
  EXPECT_EQ(::GetFocus(), c.lvMain);
  // Wine keeps no UI state: what shows the focus rectangle is the request to the window's tree.
  MessageCounter uiState(window.Hwnd(), WM_CHANGEUISTATE);
  for (HWND next : std::initializer_list<HWND>{c.fldPollItv, c.chkActive, c.lvMain}) {
    const int requests = uiState.Count();
    MSG tab = KeyDown(::GetFocus(), VK_TAB);
    EXPECT_TRUE(window.PreTranslateMessage(tab));
    EXPECT_EQ(::GetFocus(), next);
    EXPECT_GT(uiState.Count(), requests);
    EXPECT_EQ(uiState.LastWParam(), MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS));
  }
}

TEST_F(MainWindowTest, ToolbarButtonsSeparatorsAndSettingsPanel) {
  TfrmMain& window = Open();
  HWND toolbar = window.Controls().tlbMain;
  // Separator or not, command, image: a separator's image is its width, left out.
  using Slot = std::tuple<bool, int, int>;
  std::vector<Slot> slots;
  for (int i = 0; i < ::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0); ++i) {
    TBBUTTON button{};
    ::SendMessageA(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
    const bool separator = (button.fsStyle & BTNS_SEP) != 0;
    slots.emplace_back(separator, button.idCommand, separator ? 0 : button.iBitmap);
  }
  EXPECT_EQ(slots, (std::vector<Slot>{{true, 0, 0},
                                      {false, kCmdAddLocation, 1},
                                      {false, kCmdRemoveLocation, 2},
                                      {true, 0, 0},
                                      {false, kCmdRefresh, 4},
                                      {true, kToolbarSettingsPanel, 0},
                                      {true, 0, 0},
                                      {false, kCmdExit, 0}}));
  RECT slot{}, button{};
  ::SendMessageA(toolbar, TB_GETITEMRECT, 5, reinterpret_cast<LPARAM>(&slot));
  ::SendMessageA(toolbar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&button));
  const RECT panel = RectInParent(window.Controls().pnlSettings);
  EXPECT_EQ((std::array<LONG, 3>{panel.left, panel.right - panel.left, button.bottom - button.top}),
            (std::array<LONG, 3>{slot.left, 292, 23}));
}

TEST_F(MainWindowTest, ToolbarButtonsHaveTooltips) {
  TfrmMain& window = Open();
  EXPECT_TRUE(::GetWindowLongPtrA(window.Controls().tlbMain, GWL_STYLE) & TBSTYLE_TOOLTIPS);
  const auto tips = reinterpret_cast<HWND>(::SendMessageA(window.Controls().tlbMain, TB_GETTOOLTIPS, 0, 0));
  EXPECT_NE(tips, nullptr);
  const std::pair<WORD, const char*> expected[] = {{kCmdAddLocation, "Add a new location"},
                                                   {kCmdRemoveLocation, "Remove this location"},
                                                   {kCmdRefresh, "Update all now"},
                                                   {kCmdExit, "Exit"}};
  for (const auto& [command, hint] : expected) {
    NMTTDISPINFOA info{};
    info.hdr = {tips, command, TTN_GETDISPINFOA};
    ::SendMessageA(window.Hwnd(), WM_NOTIFY, command, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(info.lpszText, nullptr);
    EXPECT_STREQ(info.lpszText, hint);
  }
}

// Only the missing folder is not made, and only the disabled row is unchecked.
struct IconCase {
  const char* name;
  ClientFiles files;
  int icon;
  std::vector<std::string> cells;  // "%", "WU", "Stt", "Res", "Last date"
};

TEST_F(MainWindowTest, EveryFolderStateShowsItsIconAndCells) {
  const std::vector<IconCase> cases = {
      {"empty", {}, kIconNone, {"?", "-", "-", "-", "-"}},
      {"temp", {.tempResult = "partial"}, kIconTempResult, {"?", "-", "-", "-", "-"}},
      {"unit",
       {.state = "prog=0.5\ncpu=10\n", .workUnit = "unit"},
       kIconWorkUnit,
       {"50.00", "+", "+", "-", "2024.05.17  09:30"}},
      {"unitTemp", {.workUnit = "unit", .tempResult = "partial"}, kIconWorkUnit, {"?", "+", "-", "-", "-"}},
      {"done", {.workUnit = "unit", .result = "result"}, kIconResult, {"?", "+", "-", "+", "-"}},
      {"missing", {}, kIconNoFolder, {"?", "-", "-", "-", "-"}},
      {"off", {.state = "prog=0.5\n", .workUnit = "unit"}, kIconDisabled, {"?", "", "", "", ""}},
  };
  std::vector<std::pair<std::string, bool>> stored;
  for (const IconCase& c : cases) {
    const std::string path = c.icon != kIconNoFolder ? MakeClient(c.name, c.files) : ClientPath(c.name);
    if (c.files.state)
      SetFileTimeTo(path + "state.sah", 2024, 5, 17, 9, 30);
    stored.emplace_back(path, c.icon != kIconDisabled);
  }
  StoreLocations(stored);
  TfrmMain& window = Open();
  HWND table = window.Controls().lvMain;
  ASSERT_EQ(ItemCount(table), static_cast<int>(cases.size()));
  for (const IconCase& c : cases) {
    const int row = RowOf(table, ClientPath(c.name));
    ASSERT_GE(row, 0) << c.name;
    std::vector<std::string> cells = RowTexts(table, row);
    cells.erase(cells.begin());
    EXPECT_EQ(cells, c.cells) << c.name;
    EXPECT_EQ(ItemImage(table, row), c.icon) << c.name;
    EXPECT_EQ(ItemChecked(table, row), c.icon != kIconDisabled) << c.name;
  }
  EXPECT_EQ(StatusTexts(window.Controls().sttBar),
            (std::vector<std::string>{" Total: 7", " Work: 1", " Ready: 1"}));
}

TEST_F(MainWindowTest, RowsAreSortedByTheLocaleAwareComparison) {
  const std::vector<std::string> names = {"Banana", "b", "co-op", "apple", "B", "coop"};
  std::vector<std::pair<std::string, bool>> stored;
  for (const std::string& name : names)
    stored.emplace_back(ClientPath(name), true);
  StoreLocations(stored);
  std::vector<ShownRow> expected;
  for (const char* name : {"apple", "b", "B", "Banana", "coop", "co-op"})
    expected.push_back({ClientPath(name), true});
  EXPECT_EQ(ShownRows(Open().Controls().lvMain), expected);
}

TEST_F(MainWindowTest, UncheckingARowTakesEffectAtTheNextPass) {
  TfrmMain& window = OpenOverClient("busy", {.state = "prog=0.25\n", .workUnit = "unit"});
  const std::string path = ClientPath("busy");
  HWND table = window.Controls().lvMain;
  ASSERT_EQ(ItemText(table, 0, 1), "25.00");

  SetRowChecked(table, 0, false);
  EXPECT_FALSE(window.Table().Row(0).enabled);
  EXPECT_EQ(ItemImage(table, 0), kIconWorkUnit);  // nothing shown changes before the pass

  ASSERT_TRUE(RunAndSettle(&TfrmMain::RefreshLocations));
  EXPECT_EQ(RowTexts(table, 0), (std::vector<std::string>{path, "25.00", "", "", "", ""}));
  EXPECT_EQ(ItemImage(table, 0), kIconDisabled);
  EXPECT_EQ(StatusTexts(window.Controls().sttBar, 2), (std::vector<std::string>{" Total: 1", " Work: 0"}));
  SetRowChecked(table, 0, true);
  ASSERT_TRUE(RunAndSettle(&TfrmMain::RefreshLocations));
  EXPECT_EQ(ItemImage(table, 0), kIconWorkUnit);
  EXPECT_EQ(ItemText(table, 0, 2), "+");
}

TEST_F(MainWindowTest, WithSpyingOffNeitherTableNorCountersChange) {
  TfrmMain& window = OpenOverClient("client", {.workUnit = "unit"});
  HWND table = window.Controls().lvMain;
  HWND spying = window.Controls().chkActive;

  // The result is there before the first tick: spying off, that tick must not show it.
  WriteClientFile("client\\result.sah", "done");
  for (const auto& [state, shown] : {std::pair{BST_UNCHECKED, std::tuple("-", kIconWorkUnit, " Ready: 0")},
                                     std::pair{BST_CHECKED, std::tuple("+", kIconResult, " Ready: 1")}}) {
    // BM_SETCHECK alone does not notify, so the click's notification is sent as the button would.
    ::SendMessageA(spying, BM_SETCHECK, state, 0);
    ::SendMessageA(window.Hwnd(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(spying), BN_CLICKED),
                   reinterpret_cast<LPARAM>(spying));
    ASSERT_TRUE(RunAndSettle(&TfrmMain::tmrMainTimer));
    EXPECT_EQ(std::tuple(ItemText(table, 0, 4), ItemImage(table, 0), StatusText(window.Controls().sttBar, 2)),
              shown)
        << state;
  }
}

TEST_F(MainWindowTest, APassThatChangedNothingRepaintsNothing) {
  const std::string first = MakeClient("a", {.state = "prog=0.1\n", .workUnit = "unit"});
  const std::string second = MakeClient("b", {.workUnit = "unit"});
  const std::string third = MakeClient("c", {});
  StoreLocations({{first, true}, {second, true}, {third, true}});
  TfrmMain& window = Open();
  window.Show(SW_SHOWNOACTIVATE);
  HWND table = window.Controls().lvMain;
  HWND status = window.Controls().sttBar;
  ::UpdateWindow(table);
  ::UpdateWindow(status);
  ASSERT_FALSE(::GetUpdateRect(table, nullptr, FALSE));
  const MessageCounter tablePaints(table, WM_PAINT);
  const MessageCounter statusPaints(status, WM_PAINT);
  const MessageCounter redraws(table, LVM_REDRAWITEMS);
  const MessageCounter statusWrites(status, SB_SETTEXTA);

  ASSERT_TRUE(RunAndSettle(&TfrmMain::RefreshLocations));
  ::UpdateWindow(table);
  ::UpdateWindow(status);
  const RefreshOutcome& pass = window.LastRefresh();
  EXPECT_EQ(std::tuple(pass.ran, pass.changedRows.size(), pass.countersChanged),
            std::tuple(true, std::size_t{0}, false));
  EXPECT_EQ(
      (std::array<int, 4>{redraws.Count(), statusWrites.Count(), tablePaints.Count(), statusPaints.Count()}),
      (std::array<int, 4>{0, 0, 0, 0}));

  // One folder changes: only its row is invalidated, and one status panel is written.
  WriteClientFile("b\\result.sah", "done");
  ASSERT_TRUE(RunAndSettle(&TfrmMain::RefreshLocations));
  EXPECT_EQ(window.LastRefresh().changedRows, (std::vector<std::size_t>{1}));
  EXPECT_EQ(redraws.Count(), 1);
  RECT dirty{};
  ASSERT_TRUE(::GetUpdateRect(table, &dirty, FALSE));
  RECT row{};
  row.left = LVIR_BOUNDS;
  ::SendMessageA(table, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
  EXPECT_GE(dirty.top, row.top);
  EXPECT_LE(dirty.bottom, row.bottom);
  ::UpdateWindow(table);
  ::UpdateWindow(status);
  EXPECT_EQ(tablePaints.Count(), 1);
  EXPECT_GE(statusPaints.Count(), 1);
  EXPECT_EQ(statusWrites.Count(), 1);
  EXPECT_EQ(StatusText(status, 2), " Ready: 1");
}

TEST_F(MainWindowTest, APassRepaintsOnlyTheChangedRowsOnScreen) {
  constexpr int kRows = 40;
  std::vector<std::pair<std::string, bool>> rows;
  std::vector<std::string> names;
  for (int i = 0; i < kRows; ++i) {
    names.push_back((i < 10 ? "c0" : "c") + std::to_string(i));
    rows.emplace_back(MakeClient(names.back(), {.state = "prog=0.1\n", .workUnit = "unit"}), true);
  }
  StoreLocations(rows);
  TfrmMain& window = Open();
  window.Show(SW_SHOWNOACTIVATE);
  HWND table = window.Controls().lvMain;
  const int shown = static_cast<int>(::SendMessageA(table, LVM_GETCOUNTPERPAGE, 0, 0));
  ASSERT_GT(shown, 0);
  ASSERT_LT(shown + 1, kRows);

  // At the top, then scrolled to the bottom: one request for the rows on screen, the row cut
  // off at the bottom included; every row is still reported changed, and reads its new text.
  for (const auto& [progress, scrollTo] : {std::pair{"0.2", 0}, std::pair{"0.3", kRows - 1}}) {
    ::SendMessageA(table, LVM_ENSUREVISIBLE, scrollTo, FALSE);
    const int top = static_cast<int>(::SendMessageA(table, LVM_GETTOPINDEX, 0, 0));
    for (const std::string& name : names)
      WriteClientFile(name + "\\state.sah", std::string("prog=") + progress + "\n");
    const MessageCounter redraws(table, LVM_REDRAWITEMS);
    ASSERT_TRUE(RunAndSettle(&TfrmMain::RefreshLocations));
    EXPECT_EQ(window.LastRefresh().changedRows.size(), static_cast<std::size_t>(kRows));
    EXPECT_EQ(redraws.Received(), (std::vector<std::pair<WPARAM, LPARAM>>{
                                      {static_cast<WPARAM>(top), std::min(top + shown, kRows - 1)}}))
        << "top row " << top << ", " << shown << " rows shown";
    const std::string expected = std::string(progress) == "0.2" ? "20.00" : "30.00";
    EXPECT_EQ(ItemText(table, 0, 1), expected);
    EXPECT_EQ(ItemText(table, kRows - 1, 1), expected);
  }
}

TEST_F(MainWindowTest, TimerIntervalFollowsTheEditBox) {
  TfrmMain& window = Open();
  for (const auto& [typed, milliseconds] : {std::pair{"60", 60000u}, std::pair{"1", 1000u},
                                            std::pair{"32767", 32767000u}, std::pair{"120", 120000u}}) {
    ::SetWindowTextA(window.Controls().fldPollItv, typed);
    EXPECT_EQ(window.TimerInterval(), milliseconds) << typed;
    EXPECT_TRUE(window.TimerEnabled()) << typed;
    EXPECT_EQ(window.PollInterval() * 1000u, milliseconds) << typed;
  }
}

TEST_F(MainWindowTest, UpArrowInTheIntervalBoxAddsOneSecond) {
  TfrmMain& window = Open();
  ::SendMessageA(window.Controls().fldPollItv, WM_KEYDOWN, VK_UP, 1);
  EXPECT_EQ(win::WindowText(window.Controls().fldPollItv), "16");
  EXPECT_EQ(window.TimerInterval(), 16000u);
}

struct StatsCase {
  const char* name;
  const char* userInfo;
  const char* state;
  std::vector<std::string> shown;  // user caption, 3 values, unit caption, 3 values
};

std::vector<std::string> PanelTexts(const MainControls& c) {
  std::vector<std::string> texts;
  for (HWND control :
       std::initializer_list<HWND>{c.frmUserStats, c.lblUserTotUnits, c.lblUserTotCPU, c.lblUserAvgCPU,
                                   c.frmUnitStats, c.lblProgress, c.lblTimeTotal, c.lblTimeLeft})
    texts.push_back(win::WindowText(control));
  return texts;
}

TEST_F(MainWindowTest, SelectedRowFillsThePanel) {
  const StatsCase cases[] = {
      {"quarter",
       "name=Ann\nnresults=3\ntotal_cpu=30000\n",
       "prog=0.25\ncpu=3600\n",
       {"User info (Ann)", "3", "0.001 years", " 2:46", "Working unit info", "25.00%", " 4: 0", " 3: 0"}},
      {"oneYear",
       "name=Bo\nnresults=1\ntotal_cpu=31536000\n",
       nullptr,
       {"User info (Bo)", "1", "1.000 years", "8760: 0", "No progress info found", "?", "?", "?"}},
      {"noUser",
       nullptr,
       "prog=0\ncpu=50\n",
       {"No user info found", "?", "?", "?", "Working unit info", "0.00%", "?", "?"}},
      {"sentinels",
       "name=Cy\n",
       "cpu=50\n",
       {"User info (Cy)", "?", "?", "?", "Working unit info", "?", "?", "?"}}};
  for (const StatsCase& c : cases) {
    SCOPED_TRACE(c.name);
    Close();  // first, or the window would save its own locations over these
    const std::string path = MakeClient(c.name, {.state = c.state, .userInfo = c.userInfo});
    StoreLocations({{path, true}});
    TfrmMain& window = Open();
    SelectRow(window.Controls().lvMain, 0);
    ASSERT_TRUE(RunAndSettle(&TfrmMain::lvMainClick));
    EXPECT_EQ(PanelTexts(window.Controls()), c.shown);
    EXPECT_EQ(StatusText(window.Controls().sttBar, 3), " " + path);
  }
}

TEST_F(MainWindowTest, WithoutASelectionBothGroupsSayNoLocationMarked) {
  TfrmMain& window = OpenOverClient("client", {.state = "prog=0.5\n", .userInfo = "name=Ann\n"});
  SelectRow(window.Controls().lvMain, 0);
  ASSERT_TRUE(RunAndSettle(&TfrmMain::ShowSelectedStats));
  ClearSelection(window.Controls().lvMain);
  ASSERT_TRUE(RunAndSettle(&TfrmMain::ShowSelectedStats));
  EXPECT_EQ(PanelTexts(window.Controls()), (std::vector<std::string>{"No location marked!", "?", "?", "?",
                                                                     "No location marked!", "?", "?", "?"}));
  EXPECT_EQ(StatusText(window.Controls().sttBar, 3), "");
}

TEST_F(MainWindowTest, WithTheStatusBarHiddenThePanelKeepsItsContentsAcrossTicks) {
  TfrmMain& window = OpenOverClient("client", {.state = "prog=0.5\ncpu=100\n", .userInfo = "nresults=2\n"});
  SelectRow(window.Controls().lvMain, 0);
  ASSERT_TRUE(RunAndSettle(&TfrmMain::ShowSelectedStats));
  ASSERT_EQ(win::WindowText(window.Controls().lblUserTotUnits), "2");

  window.acViewSttBarExecute();
  WriteClientFile("client\\user_info.sah", "nresults=7\n");
  ASSERT_TRUE(RunAndSettle(&TfrmMain::tmrMainTimer));
  EXPECT_EQ(win::WindowText(window.Controls().lblUserTotUnits), "2");
  ASSERT_TRUE(RunAndSettle(&TfrmMain::lvMainClick));
  EXPECT_EQ(win::WindowText(window.Controls().lblUserTotUnits), "2");

  // Activation refreshes it whatever the bars show.
  ASSERT_TRUE(RunAndSettle(&TfrmMain::FormActivate));
  EXPECT_EQ(win::WindowText(window.Controls().lblUserTotUnits), "7");

  window.acViewSttBarExecute();
  WriteClientFile("client\\user_info.sah", "nresults=9\n");
  ASSERT_TRUE(RunAndSettle(&TfrmMain::tmrMainTimer));
  EXPECT_EQ(win::WindowText(window.Controls().lblUserTotUnits), "9");
}

TEST_F(MainWindowTest, HideAllThenShowAllLeavesTheThreeViewItemsChecked) {
  TfrmMain& window = Open();
  HMENU menu = window.Menu();
  window.acViewNoneExecute();
  EXPECT_EQ(MenuChecks(menu, {kCmdViewToolbar, kCmdViewStats, kCmdViewSttBar}), std::vector<bool>(3, false));
  window.acViewAllExecute();
  EXPECT_EQ(MenuChecks(menu, {kCmdViewToolbar, kCmdViewStats, kCmdViewSttBar}), std::vector<bool>(3, true));
  for (HWND bar : std::initializer_list<HWND>{window.Controls().tlbMain, window.Controls().pnlStats,
                                              window.Controls().sttBar})
    EXPECT_TRUE(::GetWindowLongPtrA(bar, GWL_STYLE) & WS_VISIBLE);
}

struct ToggleCase {
  void (TfrmMain::*command)();
  Bar bar;
  UINT menuItem;
};

TEST_F(MainWindowTest, EachViewItemTogglesItsBar) {
  TfrmMain& window = Open();
  const MainControls& c = window.Controls();
  const ToggleCase cases[] = {{&TfrmMain::acViewToolbarExecute, Bar::kToolbar, kCmdViewToolbar},
                              {&TfrmMain::acViewStatsExecute, Bar::kStatsPanel, kCmdViewStats},
                              {&TfrmMain::acViewSttBarExecute, Bar::kStatusBar, kCmdViewSttBar}};
  const HWND bars[] = {c.tlbMain, c.pnlStats, c.sttBar};
  for (const ToggleCase& toggle : cases) {
    HWND bar = bars[static_cast<int>(toggle.bar)];
    (window.*toggle.command)();
    EXPECT_FALSE(window.BarVisible(toggle.bar));
    EXPECT_FALSE(::GetWindowLongPtrA(bar, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(MenuChecked(window.Menu(), toggle.menuItem));
    (window.*toggle.command)();
    EXPECT_TRUE(window.BarVisible(toggle.bar));
    EXPECT_TRUE(MenuChecked(window.Menu(), toggle.menuItem));
  }
}

TEST_F(MainWindowTest, ActivationSyncsTheViewMenuWithBarsSetElsewhere) {
  TfrmMain& window = Open();
  window.SyncViewMenu();
  window.SetBarVisible(Bar::kStatsPanel, false);
  EXPECT_TRUE(MenuChecked(window.Menu(), kCmdViewStats));
  ASSERT_TRUE(RunAndSettle(&TfrmMain::FormActivate));
  EXPECT_EQ(MenuChecks(window.Menu(), {kCmdViewStats, kCmdViewToolbar}), (std::vector<bool>{false, true}));
}

// The header of a notification `code` from the window's table.
NMHDR FromTable(const TfrmMain& window, UINT code) {
  return {window.Controls().lvMain, static_cast<UINT_PTR>(::GetDlgCtrlID(window.Controls().lvMain)), code};
}

// What the list view asks its parent before it draws a row, and for a row's info tip.
COLORREF RowTextColour(TfrmMain& window, int row) {
  NMLVCUSTOMDRAW draw{};
  draw.nmcd.hdr = FromTable(window, NM_CUSTOMDRAW);
  draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
  draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
  draw.clrText = CLR_DEFAULT;
  ::SendMessageA(window.Hwnd(), WM_NOTIFY, draw.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&draw));
  return draw.clrText;
}

// As the list view asks: with flags 0 and the row's text (`shown`) in the buffer when it is cut off.
std::string RowInfoTip(TfrmMain& window, int row, DWORD flags = LVGIT_UNFOLDED, const char* shown = "") {
  char text[INFOTIPSIZE] = {};
  ::lstrcpynA(text, shown, sizeof(text));
  NMLVGETINFOTIPA tip{};
  tip.hdr = FromTable(window, LVN_GETINFOTIPA);
  tip.dwFlags = flags;
  tip.pszText = text;
  tip.cchTextMax = sizeof(text);
  tip.iItem = row;
  ::SendMessageA(window.Hwnd(), WM_NOTIFY, tip.hdr.idFrom, reinterpret_cast<LPARAM>(&tip));
  return text;
}

class HungFolderTest : public MainWindowTest {
 protected:
  // Two clients, "a" behind a share that does not answer until released, and "b"; one-second
  // passes.
  TfrmMain& OpenWithAHungFolder() {
    StoreTwoClients();
    probe_->Block(hung_);
    TfrmMain& window = OpenWithoutWaiting(appFolder_.ProgramPath() + "\\");
    EXPECT_TRUE(probe_->WaitUntilWaiting(1));
    return window;
  }
  void StoreTwoClients() {
    hung_ =
        MakeClient("a", {.state = "prog=0.5\n", .userInfo = "name=Ann\nnresults=2\n", .workUnit = "unit"});
    fine_ =
        MakeClient("b", {.state = "prog=0.25\n", .userInfo = "name=Bo\nnresults=3\n", .workUnit = "unit"});
    StoreLocations({{hung_, true}, {fine_, true}});
    settings_.SetText("Defaults", "PollInterval", "1");
  }
  std::string hung_, fine_;
};

TEST_F(HungFolderTest, HoldsUpOnlyItsOwnRowWhichTurnsGreyAndSaysSinceWhen) {
  TfrmMain& window = OpenWithAHungFolder();
  HWND table = window.Controls().lvMain;
  // The window goes on: the other row is shown at once, the hung one keeps the "?" of a new row.
  ASSERT_TRUE(PumpUntil([&] { return ItemText(table, 1, 1) == "25.00"; }));
  EXPECT_EQ(RowTexts(table, 0), (std::vector<std::string>{hung_, "?", "?", "?", "?", "?"}));
  EXPECT_FALSE(window.Table().Row(0).late);
  EXPECT_EQ(StatusText(window.Controls().sttBar, 1), " Work: 1");

  // Passes go on every second; once the read has been out longer than that, the row is late.
  ASSERT_TRUE(PumpUntil([&] { return window.Table().Row(0).late; }));
  EXPECT_EQ(RowTextColour(window, 0), ::GetSysColor(COLOR_GRAYTEXT));
  EXPECT_EQ(RowTextColour(window, 1), static_cast<COLORREF>(CLR_DEFAULT));
  const std::string tip = RowInfoTip(window, 0);
  ASSERT_TRUE(std::regex_match(tip, std::regex("No answer since [0-9][0-9]:[0-9][0-9]"))) << tip;
  EXPECT_EQ(RowInfoTip(window, 1), "");
  window.acViewStateColumnExecute();
  EXPECT_EQ(ItemText(table, 0, 6), tip);  // the same words as its tip
  EXPECT_EQ(ItemText(table, 1, 6), "In work");

  // The other row keeps refreshing, and the hung folder was asked once, not once a pass.
  WriteClientFile("b\\state.sah", "prog=0.75\n");
  ASSERT_TRUE(PumpUntil([&] { return ItemText(table, 1, 1) == "75.00"; }));
  EXPECT_EQ(probe_->Waiting(), 1);

  // It answers: the row is as any other again.
  probe_->Release(hung_);
  ASSERT_TRUE(PumpUntil([&] { return ItemText(table, 0, 1) == "50.00" && !window.Table().Row(0).late; }));
  EXPECT_EQ(RowTextColour(window, 0), static_cast<COLORREF>(CLR_DEFAULT));
  EXPECT_EQ(RowInfoTip(window, 0), "");
  EXPECT_EQ(StatusText(window.Controls().sttBar, 1), " Work: 2");
}

TEST_F(HungFolderTest, ARemovedRowsLateAnswerIsDropped) {
  TfrmMain& window = OpenWithAHungFolder();
  HWND table = window.Controls().lvMain;
  ::SetFocus(table);
  SelectRow(table, 0);
  DialogDriver driver;
  window.acRemoveLocationExecute();
  ASSERT_EQ(ItemCount(table), 1);
  probe_->Release(hung_);
  ASSERT_TRUE(WaitForReads(window));
  EXPECT_EQ(ShownRows(table), (std::vector<ShownRow>{{fine_, true}}));
  EXPECT_EQ(window.Table().Count(), 1u);
  EXPECT_TRUE(driver.seen.empty());
}

TEST_F(HungFolderTest, TheStatisticsShowOnlyTheRowSelectedNow) {
  TfrmMain& window = OpenWithAHungFolder();
  const MainControls& c = window.Controls();
  SelectRow(c.lvMain, 0);
  window.ShowSelectedStats();
  EXPECT_EQ(StatusText(c.sttBar, 3), " " + hung_);
  // No answer: once the wait is over, the panel shows nothing read rather than older figures.
  ASSERT_TRUE(PumpUntil([&] { return win::WindowText(c.frmUserStats) == "No user info found"; }));

  SelectRow(c.lvMain, 1);
  window.ShowSelectedStats();
  ASSERT_TRUE(PumpUntil([&] { return win::WindowText(c.frmUserStats) == "User info (Bo)"; }));
  // The first row's figures come in late: they belong to a row no longer selected.
  probe_->Release(hung_);
  ASSERT_TRUE(WaitForReads(window));
  EXPECT_EQ(win::WindowText(c.frmUserStats), "User info (Bo)");
  EXPECT_EQ(win::WindowText(c.lblUserTotUnits), "3");
  EXPECT_EQ(StatusText(c.sttBar, 3), " " + fine_);
}

TEST_F(HungFolderTest, ExitSavesAndReturnsWhileAReadHangs) {
  OpenWithAHungFolder();
  Close();  // destroying the window must not wait for the hung read
  EXPECT_EQ(probe_->Waiting(), 1);
  ExpectSaved("Locations", {{"Count", "2"}, {"Location0000", hung_ + ",1"}});
}

// tests/e2e/slow_share_test.sh mounts a file system that delays every call and names its client
// folder in VELMORA_SLOW_SHARE; VELMORA_SLOW_SHARE_DEAD=1 when a call takes longer than these
// cases run, as on a machine that is switched off. Without the share they are skipped.

std::string EnvironmentText(const char* name) {
  char value[MAX_PATH + 1] = {};
  const DWORD length = ::GetEnvironmentVariableA(name, value, sizeof(value));
  return length < sizeof(value) ? std::string(value, length) : std::string();
}

// The share's client folder with its trailing "\", when the run has one that answers slowly
// (`dead` false) or never; otherwise empty.
std::string SlowShareFolder(bool dead) {
  const std::string folder = EnvironmentText("VELMORA_SLOW_SHARE");
  if (folder.empty() || (EnvironmentText("VELMORA_SLOW_SHARE_DEAD") == "1") != dead)
    return {};
  return folder.back() == '\\' ? folder : folder + '\\';
}

// Delivers the thread's messages until six seconds have passed since `shown`.
void PumpUntilWatchedSince(ULONGLONG shown) {
  PumpUntil([shown] { return ::GetTickCount64() - shown >= 6000; }, 6000);
}

// Pings the window and, at the same time, the desktop window, which another program's idle
// thread answers: it shows when Wine's server, not the window, held the answers back.
struct Pingers {
  explicit Pingers(HWND watched) : window(watched), desktop(::GetDesktopWindow()) {}
  WindowPinger window;
  WindowPinger desktop;
};

// Ends the pings and prints their figures: the window answered every one within a second, save
// while the server held every window's answers back.
void ExpectEveryPingAnswered(Pingers& pingers) {
  pingers.window.Stop();
  pingers.desktop.Stop();
  std::printf("[ pings    ] %s; the desktop's: %s\n", pingers.window.Figures().c_str(),
              pingers.desktop.Figures().c_str());
  EXPECT_GT(pingers.window.Pings(), 0);
  EXPECT_GT(pingers.desktop.Pings(), 0);
  for (const std::string& stall : pingers.window.StallsOfItsOwn(pingers.desktop, 1000.0))
    ADD_FAILURE() << "the window's own stall: " << stall;
}

std::string LocalClockText() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  char text[8] = {};
  std::snprintf(text, sizeof(text), "%02u:%02u", static_cast<unsigned>(now.wHour) % 100u,
                static_cast<unsigned>(now.wMinute) % 100u);
  return text;
}

TEST_F(MainWindowTest, SlowShareRowFillsInWhileTheWindowKeepsAnsweringAndLocalRowsRefresh) {
  const std::string share = SlowShareFolder(false);
  if (share.empty())
    GTEST_SKIP() << "needs a slow share in VELMORA_SLOW_SHARE (tests/e2e/slow_share_test.sh)";
  TfrmMain& window = OpenBesideLocalClients({{share, true}});
  HWND table = window.Controls().lvMain;
  const ULONGLONG shown = ::GetTickCount64();
  Pingers pingers(window.Hwnd());
  ASSERT_TRUE(pingers.window.Running());

  EXPECT_TRUE(PumpUntil([&] { return LocalClientsShow("50.00"); }, 5000));
  // Every call of the share waits, yet its row fills in when its read comes back.
  EXPECT_TRUE(PumpUntil([&] { return RowShowsUnitAt(table, share, "50.00"); }, 30000))
      << RowTexts(table, RowOf(table, share))[1];
  WriteClientFile("local2\\state.sah", "prog=0.25\ncpu=60\n");
  EXPECT_TRUE(PumpUntil([&] { return RowShowsUnitAt(table, ClientPath("local2"), "25.00"); }, 5000));
  PumpUntilWatchedSince(shown);

  ExpectEveryPingAnswered(pingers);
}

TEST_F(MainWindowTest, SlowShareThatNeverAnswersTurnsItsRowLateAndClosingDoesNotWaitForIt) {
  const std::string share = SlowShareFolder(true);
  if (share.empty())
    GTEST_SKIP() << "needs a share that does not answer in VELMORA_SLOW_SHARE and VELMORA_SLOW_SHARE_DEAD=1"
                    " (tests/e2e/slow_share_test.sh)";
  const std::string handedOut = LocalClockText();
  TfrmMain& window = OpenBesideLocalClients({{share, true}});
  HWND hwnd = window.Hwnd();
  HWND table = window.Controls().lvMain;
  const ULONGLONG shown = ::GetTickCount64();
  Pingers pingers(hwnd);
  ASSERT_TRUE(pingers.window.Running());

  EXPECT_TRUE(PumpUntil([&] { return LocalClientsShow("50.00"); }, 5000));
  const int row = RowOf(table, share);
  ASSERT_GE(row, 0);
  ASSERT_EQ(window.Table().Row(static_cast<std::size_t>(row)).caption, share);
  // Once its read has been out longer than an interval, the row says since when.
  EXPECT_TRUE(PumpUntil([&] { return window.Table().Row(static_cast<std::size_t>(row)).late; }, 5000));
  const std::string tip = RowInfoTip(window, row);
  const std::string checked = LocalClockText();
  EXPECT_TRUE(tip == "No answer since " + handedOut || tip == "No answer since " + checked) << tip;
  // The local rows go on being read at every interval.
  WriteClientFile("local2\\state.sah", "prog=0.25\ncpu=60\n");
  EXPECT_TRUE(PumpUntil([&] { return RowShowsUnitAt(table, ClientPath("local2"), "25.00"); }, 5000));
  PumpUntilWatchedSince(shown);
  EXPECT_TRUE(window.Table().Row(static_cast<std::size_t>(row)).late);

  ExpectEveryPingAnswered(pingers);

  // The share's read still hangs: closing returns all the same, and the process goes on.
  ASSERT_FALSE(window.ReadsSettled());
  const ULONGLONG closing = ::GetTickCount64();
  Close();
  std::printf("[ closed   ] in %llu ms while the share's read hung\n",
              static_cast<unsigned long long>(::GetTickCount64() - closing));
  EXPECT_FALSE(::IsWindow(hwnd));
}

// A farm whose network went down: 100 client folders on one share that never answers, half
// named through the drive Wine maps the share to and half through a UNC path; 100 servers that
// each share one folder; and a NAS on the local clients' drive with one folder per host; beside
// local clients. Every local row refreshes at every pass, clicking between a dead row and a live
// one brings the live row's figures, and the dead hold no more threads than the probes may.
TEST_F(MainWindowTest, SlowShareFarmThatDiesHoldsUpNoLocalRow) {
  const std::string drivePath = EnvironmentText("VELMORA_DEAD_FARM");
  const std::string uncPath = EnvironmentText("VELMORA_DEAD_FARM_UNC");
  if (drivePath.empty() || uncPath.empty())
    GTEST_SKIP()
        << "needs a dead share in VELMORA_DEAD_FARM and VELMORA_DEAD_FARM_UNC (tests/e2e/slow_share_test.sh)";
  std::vector<std::pair<std::string, bool>> stored;
  for (int i = 0; i < 100; ++i) {
    char name[8] = {};
    std::snprintf(name, sizeof(name), "m%03d", i);
    stored.emplace_back((i < 50 ? drivePath : uncPath) + "\\" + name + "\\", true);
  }
  const std::string nasPath = EnvironmentText("VELMORA_DEAD_NAS");
  const int servers = std::atoi(EnvironmentText("VELMORA_DEAD_SERVERS").c_str());
  for (int i = 0; i < servers; ++i) {
    char server[32] = {};
    std::snprintf(server, sizeof(server), "\\\\farm%03d\\seti", i);
    stored.emplace_back(server, true);
    if (!nasPath.empty())
      stored.emplace_back(nasPath + "\\host" + std::string(server + 6, 3) + "\\seti", true);
  }
  TfrmMain& window = OpenBesideLocalClients(stored);
  HWND table = window.Controls().lvMain;
  Pingers pingers(window.Hwnd());
  ASSERT_TRUE(pingers.window.Running());
  EXPECT_TRUE(PumpUntil([&] { return LocalClientsShow("50.00"); }, 5000));
  for (const char* progress : {"25", "75"}) {
    for (const char* name : kLocalClients)
      WriteClientFile(std::string(name) + "\\state.sah", std::string("prog=0.") + progress + "\ncpu=60\n");
    EXPECT_TRUE(PumpUntil([&] { return LocalClientsShow(std::string(progress) + ".00"); }, 3000)) << progress;
  }

  const int deadRow = RowOf(table, stored[0].first);
  const int liveRow = RowOf(table, ClientPath(kLocalClients[0]));
  ASSERT_GE(deadRow, 0);
  ASSERT_GE(liveRow, 0);
  for (int click = 0; click < 70; ++click) {
    SelectRow(table, click % 2 == 0 ? deadRow : liveRow);
    window.lvMainClick();
    PumpUntil([] { return false; }, 5);  // the thread's messages for 5 ms
  }
  EXPECT_TRUE(PumpUntil([&] { return win::WindowText(window.Controls().lblUserTotUnits) == "7"; }, 3000));
  // The dead hold the reads that were out when they fell and the probes; the rest wait.
  const ReaderLimits limits;
  EXPECT_LE(window.ReadingThreads(), limits.probes + 2 * limits.readers);
  std::printf("[ threads  ] %zu reading threads\n", window.ReadingThreads());

  ExpectEveryPingAnswered(pingers);
}

// A read that throws on its thread ends as an answer with nothing learnt: the row keeps what it
// showed, the others refresh, and the window keeps polling.
TEST_F(HungFolderTest, AReadThatFailsNeverStopsThePolling) {
  StoreTwoClients();
  probe_->Fail(hung_);
  DialogDriver driver;
  TfrmMain& window = Open();
  HWND table = window.Controls().lvMain;
  EXPECT_EQ(ItemText(table, 0, 1), "?");
  EXPECT_EQ(ItemText(table, 1, 1), "25.00");
  EXPECT_TRUE(window.TimerEnabled());
  WriteClientFile("b\\state.sah", "prog=0.75\n");
  ASSERT_TRUE(PumpUntil([&] { return ItemText(table, 1, 1) == "75.00"; }));
  EXPECT_TRUE(window.TimerEnabled());
  EXPECT_FALSE(window.Table().Row(0).late);
  EXPECT_TRUE(driver.seen.empty());
}

class StallTest : public MainWindowTest {
 protected:
  // One client "a" in work; a one-minute stall time; passes at the test's clock `now_`.
  TfrmMain& OpenAtTestClock() {
    folder_ = MakeClient("a", {.state = "prog=0.5\n", .workUnit = "unit"});
    StoreLocations({{folder_, true}});
    settings_.SetText("Defaults", "StallMinutes", "1");
    clock_ = [this] { return now_; };
    return Open();
  }
  void Pass(int seconds) {
    now_.now += std::chrono::seconds(seconds);
    ASSERT_TRUE(RunAndSettle(&TfrmMain::RefreshLocations));
  }
  PassClock now_{std::chrono::steady_clock::now(), LocalDateTime{2024, 5, 17, 9, 41, 0}};
  std::string folder_;
};

// A client that stops writing its state file while it keeps its unit: after the stall time its
// row is drawn red and says since when it has made no progress.
TEST_F(StallTest, AStalledRowIsRedAndSaysSinceWhen) {
  TfrmMain& window = OpenAtTestClock();
  EXPECT_EQ(RowTextColour(window, 0), static_cast<COLORREF>(CLR_DEFAULT));

  now_.wall.minute = 42;
  Pass(61);
  EXPECT_TRUE(window.Table().Stalled(0));
  EXPECT_EQ(RowTextColour(window, 0), RGB(192, 0, 0));
  EXPECT_EQ(RowInfoTip(window, 0), "No progress since 09:41");
  EXPECT_EQ(RowInfoTip(window, 0, 0, folder_.c_str()), folder_ + "\r\nNo progress since 09:41");
  EXPECT_EQ(ItemText(window.Controls().lvMain, 0, 1), "50.00");  // the cells stay as they were
  window.acViewStateColumnExecute();
  EXPECT_EQ(ItemText(window.Controls().lvMain, 0, 6), "Stalled since 09:41");
  EXPECT_EQ(RowTextColour(window, 0), RGB(192, 0, 0));

  WriteClientFile("a\\state.sah", "prog=0.6\n");
  SetFileTimeTo(folder_ + "state.sah", 2024, 5, 17, 9, 42);
  ASSERT_TRUE(RunAndSettle(&TfrmMain::RefreshLocations));
  EXPECT_EQ(RowTextColour(window, 0), static_cast<COLORREF>(CLR_DEFAULT));
  EXPECT_EQ(RowInfoTip(window, 0), "");
  EXPECT_EQ(RowInfoTip(window, 0, 0, folder_.c_str()), folder_);
}

TEST_F(StallTest, TheNotificationAreaIconTellsOfStallsAndWaitingResults) {
  settings_.SetText("Interface", "AlertResults", "1");
  TfrmMain& window = OpenAtTestClock();
  EXPECT_EQ(std::tuple(tray_.Shown(), tray_.Tip(), tray_.Balloons().size()),
            std::tuple(true, "Velmora: Work 1, Ready 0, Stalled 0", std::size_t{0}));

  Pass(61);
  EXPECT_EQ(tray_.Tip(), "Velmora: Work 1, Ready 0, Stalled 1");
  EXPECT_EQ(tray_.Balloons(), (std::vector<std::string>{folder_ + ": no progress for 1 minute"}));
  Pass(30);
  EXPECT_EQ(tray_.Balloons().size(), 1u);  // once, not at every pass

  WriteClientFile("a\\result.sah", "done");
  Pass(1);
  EXPECT_EQ(tray_.Tip(), "Velmora: Work 1, Ready 1, Stalled 0");
  ASSERT_EQ(tray_.Balloons().size(), 2u);
  EXPECT_EQ(tray_.Balloons()[1], folder_ + ": result waiting to be sent");

  // The View menu switches the icon and its notices; the switches are saved at exit.
  window.SyncViewMenu();
  EXPECT_EQ(MenuChecks(window.Menu(), {kCmdViewTrayIcon, kCmdAlertStalls, kCmdAlertResults}),
            (std::vector<bool>{true, true, true}));
  window.acViewTrayIconExecute();
  EXPECT_FALSE(tray_.Shown());
  EXPECT_FALSE(MenuChecked(window.Menu(), kCmdViewTrayIcon));
  window.acViewTrayIconExecute();
  EXPECT_TRUE(tray_.Shown());
  window.acAlertStallsExecute();
  EXPECT_FALSE(MenuChecked(window.Menu(), kCmdAlertStalls));
  // The icon's own menu: the same switches, with the window's refresh and exit.
  const win::MenuHandle trayMenu = window.TrayMenu();
  EXPECT_EQ(MenuTexts(trayMenu.Get()),
            (std::vector<std::string>{"&Update all now", "", "Alert when a client s&talls",
                                      "Alert when a &result waits", "", "E&xit"}));
  EXPECT_EQ(MenuChecks(trayMenu.Get(), {kCmdAlertStalls, kCmdAlertResults}),
            (std::vector<bool>{false, true}));

  // A left click on the icon, or Enter or Space on it, brings a minimized window back.
  for (const WORD event : {WORD{NIN_SELECT}, WORD{NIN_KEYSELECT}}) {
    ::ShowWindow(window.Hwnd(), SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(::IsIconic(window.Hwnd())) << event;
    ::SendMessageA(window.Hwnd(), TfrmMain::kTrayCallback, 0, MAKELPARAM(event, TfrmMain::kTrayIconId));
    EXPECT_FALSE(::IsIconic(window.Hwnd())) << event;
    EXPECT_TRUE(::IsWindowVisible(window.Hwnd())) << event;
  }
  Close();
  EXPECT_FALSE(tray_.Shown());  // removed at exit
  ExpectSaved("Interface", {{"TrayIcon", "1"}, {"AlertStalls", "0"}, {"AlertResults", "1"}});
  ExpectSaved("Defaults", {{"StallMinutes", "1"}});
}

// At logon the shell refuses the icon and sends no TaskbarCreated: the icon is tried again on a
// timer, and the notices raised meanwhile come gathered once it is there. A click on the notice
// shows the row it named; the menu opens from the menu key, and Esc gives the focus back.
TEST_F(StallTest, ARefusedIconIsTriedAgainItsNoticesWaitAndTheKeyboardReachesIt) {
  settings_.SetText("Interface", "AlertResults", "1");
  tray_.refuse = true;
  TfrmMain& window = OpenAtTestClock();
  Pass(61);
  WriteClientFile("a\\result.sah", "done");
  Pass(1);
  tray_.refuse = false;
  ASSERT_TRUE(PumpUntil([&] { return tray_.Shown(); }, 3 * TfrmMain::kTrayRetryMilliseconds));
  EXPECT_EQ(tray_.Balloons(), (std::vector<std::string>{folder_ + ": no progress for 1 minute\n" + folder_ +
                                                        ": result waiting to be sent"}));
  for (const RecordingTrayShell::Call& call : tray_.calls) {
    if (call.answered && call.message == NIM_MODIFY) {
      EXPECT_EQ(call.data.uFlags & (NIF_TIP | NIF_SHOWTIP), static_cast<UINT>(NIF_TIP | NIF_SHOWTIP))
          << call.data.szInfo;
      EXPECT_STREQ(call.data.szTip, "Velmora: Work 1, Ready 1, Stalled 0") << call.data.szInfo;
    }
  }

  ::SendMessageA(window.Hwnd(), TfrmMain::kTrayCallback, 0,
                 MAKELPARAM(NIN_BALLOONUSERCLICK, TfrmMain::kTrayIconId));
  EXPECT_EQ(::GetActiveWindow(), window.Hwnd());
  EXPECT_EQ(window.SelectedPath(), folder_);

  int escapes = 0;  // Esc pressed in an open menu of this thread, at every tick it is open
  const DialogDriver escaper(
      [&escapes](HWND menu) {
        escapes += ::PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0) != FALSE;
        return false;
      },
      50, "#32768");
  const std::size_t calls = tray_.calls.size();
  ::SendMessageA(window.Hwnd(), TfrmMain::kTrayCallback, 0,
                 MAKELPARAM(WM_CONTEXTMENU, TfrmMain::kTrayIconId));
  EXPECT_GT(escapes, 0);
  ASSERT_EQ(tray_.calls.size(), calls + 1);
  EXPECT_EQ(tray_.calls.back().message, static_cast<DWORD>(NIM_SETFOCUS));
}

}  // namespace
}  // namespace velmora::testing

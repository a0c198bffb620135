// The monitor window on screens of more dots per inch: every size the layout gives at 96 dpi
// grows with the window's dpi, at creation and when the window moves to a screen of another dpi
// (WM_DPICHANGED), nothing overlaps, and stored pixels stay pixels. The Windows tree runs these
// tests once more in a prefix set to 144 dpi (VELMORA_EXPECT_DPI says which dpi the run is for).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/tools.h"
#include "monitor/win32/main_commands.h"
#include "tests/gui/main_window_fixture.h"
#include "tests/support/win32/canvas.h"
#include "tests/support/win32/window_finders.h"
#include "windows/layout_table.h"
#include "windows/ui_font.h"

namespace velmora::testing {
namespace {

// The dpi this run of the tests was started for; a run in the wrong prefix must fail.
int ExpectedStartDpi() {
  const char* text = std::getenv("VELMORA_EXPECT_DPI");
  return text && *text ? std::atoi(text) : USER_DEFAULT_SCREEN_DPI;
}

using Geometry = std::map<std::string, std::vector<int>>;

std::vector<int> Box(const RECT& r) {
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}
std::vector<int> Box(HWND control) {
  return Box(RectInParent(control));
}

std::vector<int> Union(HWND a, HWND b) {
  RECT both{};
  const RECT ra = RectInParent(a), rb = RectInParent(b);
  ::UnionRect(&both, &ra, &rb);
  return Box(both);
}

// What the window shows now, in pixels, beside what the layout gives, scaled to `dpi`.
struct Measured {
  Geometry shown;
  Geometry laidOut;
};

Measured Measure(const TfrmMain& window, int dpi) {
  const MainControls& c = window.Controls();
  Measured m;
  const auto add = [&](const std::string& name, std::vector<int> shown, std::vector<int> atDefaultDpi) {
    m.shown[name] = std::move(shown);
    for (int& value : atDefaultDpi)
      value = win::ScaleToDpi(value, dpi);
    m.laidOut[name] = std::move(atDefaultDpi);
  };
  add("lblPollItv", Box(c.lblPollItv), {4, 5, 114, 13});
  // The up-down control takes its width out of the edit box's rectangle, at its right end; how
  // much is the control's own affair (the overlap checks keep it inside its slot).
  const std::vector<int> spin = Union(c.fldPollItv, c.spnPollItv);
  add("fldPollItv with spnPollItv", {spin[0], spin[1], spin[3]}, {118, 1, 21});
  add("chkActive", Box(c.chkActive), {186, 3, 100, 17});
  add("pnlSettings width", {Box(c.pnlSettings)[2]}, {292});
  for (const StatsLabel& label : kStatsLabels)
    add(label.name, Box(StatsControl(c, label)), {label.x, label.y, label.width, label.height});
  add("pnlStats height", {Box(c.pnlStats)[3]}, {80});
  const RECT main = RectInParent(c.pnlMain), table = RectInParent(c.lvMain);
  add("lvMain insets",
      {table.left, table.top, (main.right - main.left) - table.right,
       (main.bottom - main.top) - table.bottom},
      {5, 2, 5, 5});
  const auto buttonSize = static_cast<DWORD>(::SendMessageA(c.tlbMain, TB_GETBUTTONSIZE, 0, 0));
  add("tlbMain button size", {LOWORD(buttonSize), HIWORD(buttonSize)}, {23, 23});
  add("tlbMain images",
      ImageSize(reinterpret_cast<HIMAGELIST>(::SendMessageA(c.tlbMain, TB_GETIMAGELIST, 0, 0))), {16, 16});
  add("lvMain images",
      ImageSize(reinterpret_cast<HIMAGELIST>(::SendMessageA(c.lvMain, LVM_GETIMAGELIST, LVSIL_SMALL, 0))),
      {16, 16});
  // Not scaled value by value: the status bar's edges are multiples of one scaled panel, and the
  // font follows points.
  int edges[4] = {};
  const auto parts =
      static_cast<int>(::SendMessageA(c.sttBar, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)));
  m.shown["sttBar parts: count, then right edges"] = {parts, edges[0], edges[1], edges[2], edges[3]};
  const int panel = win::ScaleToDpi(80, dpi);
  m.laidOut["sttBar parts: count, then right edges"] = {4, panel, 2 * panel, 3 * panel, -1};
  m.shown["font height"] = {FontHeight(c.lblPollItv), FontHeight(c.lvMain), FontHeight(c.lblProgress),
                            FontHeight(c.sttBar)};
  m.laidOut["font height"] = std::vector<int>(4, -::MulDiv(8, dpi, 72));
  return m;
}

std::array<LONG, 2> WindowSize(const TfrmMain& window) {
  return SizeOf(WindowRect(window.Hwnd()));
}

// What the system sends when the window is dragged onto a screen of `dpi`: the bounds scaled.
void MoveToScreenOf(TfrmMain& window, int dpi) {
  const int oldDpi = window.Dpi();
  const RECT bounds = WindowRect(window.Hwnd());
  RECT suggested{bounds.left, bounds.top, bounds.left + ::MulDiv(bounds.right - bounds.left, dpi, oldDpi),
                 bounds.top + ::MulDiv(bounds.bottom - bounds.top, dpi, oldDpi)};
  ::SendMessageA(window.Hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

// Nothing covers anything else, every label keeps to its group box and every caption fits.
void ExpectNothingOverlaps(const TfrmMain& window) {
  const MainControls& c = window.Controls();
  for (HWND parent : std::initializer_list<HWND>{window.Hwnd(), c.pnlSettings, c.pnlStats})
    ExpectControlsKeepApart(parent);
  const std::vector<int> spin = Union(c.fldPollItv, c.spnPollItv);
  EXPECT_LE(spin[0] + spin[2], RectInParent(c.chkActive).left);
  EXPECT_LE(TextWidth(c.lblPollItv), Box(c.lblPollItv)[2]);
  EXPECT_LE(TextWidth(c.chkActive) + ::GetSystemMetricsForDpi(SM_CXMENUCHECK, win::WindowDpi(window.Hwnd())),
            Box(c.chkActive)[2]);

  const RECT userBox = RectInParent(c.frmUserStats);
  const RECT unitBox = RectInParent(c.frmUnitStats);
  for (const StatsLabel& label : kStatsLabels) {
    HWND control = StatsControl(c, label);
    if (control == c.frmUserStats || control == c.frmUnitStats)
      continue;
    const RECT r = RectInParent(control);
    EXPECT_TRUE(Inside(r, label.x < 264 ? userBox : unitBox)) << label.name;
    if (label.control == nullptr) {
      EXPECT_LE(TextWidth(control), r.right - r.left) << label.name;
    }
  }

  // The bars stack without covering each other.
  const RECT bars[] = {RectInParent(c.tlbMain), RectInParent(c.pnlMain), RectInParent(c.bvlStats),
                       RectInParent(c.pnlStats), RectInParent(c.sttBar)};
  for (std::size_t i = 0; i + 1 < std::size(bars); ++i)
    EXPECT_LE(bars[i].bottom, bars[i + 1].top) << "bar " << i;
}

// A tool of a tooltip control of this thread whose tool lies on `owner`: its text and rectangle.
struct ToolOn {
  UINT_PTR id;
  std::string text;
  std::vector<int> rect;  // left, top, right, bottom in the owner's client area
  bool operator==(const ToolOn&) const = default;
};

void PrintTo(const ToolOn& tool, std::ostream* os) {
  *os << tool.id << " \"" << tool.text << "\" at " << ::testing::PrintToString(tool.rect);
}

std::vector<ToolOn> ToolsOn(HWND owner) {
  std::vector<ToolOn> tools;
  for (HWND tips : ThreadWindows(TOOLTIPS_CLASSA, false)) {
    const auto count = static_cast<int>(::SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
      TTTOOLINFOA tool{};
      tool.cbSize = sizeof(tool);
      if (!::SendMessageA(tips, TTM_ENUMTOOLSA, static_cast<WPARAM>(index),
                          reinterpret_cast<LPARAM>(&tool)) ||
          tool.hwnd != owner) {
        continue;
      }
      char text[256] = {};
      tool.lpszText = text;
      ::SendMessageA(tips, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&tool));
      tools.push_back({tool.uId, text, {tool.rect.left, tool.rect.top, tool.rect.right, tool.rect.bottom}});
    }
  }
  return tools;
}

// What the status bar's hinted panels should carry now: each hint on its panel's rectangle.
std::vector<ToolOn> ExpectedHints(HWND statusBar) {
  const char* hints[] = {"Total locations", "Units in work", "Processed, waiting for sending"};
  std::vector<ToolOn> tools;
  for (int part = 0; part < 3; ++part) {
    RECT rect{};
    ::SendMessageA(statusBar, SB_GETRECT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&rect));
    tools.push_back(
        {static_cast<UINT_PTR>(part), hints[part], {rect.left, rect.top, rect.right, rect.bottom}});
  }
  return tools;
}

// The largest difference of one colour channel between two renderings.
int LargestDifference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  int largest = a.size() == b.size() ? 0 : 256;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    for (int shift : {0, 8, 16}) {
      const int difference =
          std::abs(static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF));
      largest = std::max(largest, difference);
    }
  }
  return largest;
}

// Each menu item with a picture shows its command's toolbar image: the same pixels, blended with
// their alpha over any background, at the size of the toolbar's images; the others show none.
void ExpectMenuImagesMatchTheToolbar(const TfrmMain& window) {
  const std::map<WORD, int> images = {
      {kCmdExit, 0}, {kCmdAddLocation, 1}, {kCmdRemoveLocation, 2}, {kCmdRefresh, 4}, {kCmdHelp, 6}};
  const int size = win::ScaleToDpi(16, window.Dpi());
  const auto toolbarImages =
      reinterpret_cast<HIMAGELIST>(::SendMessageA(window.Controls().tlbMain, TB_GETIMAGELIST, 0, 0));
  for (const MainCommand& command : MainCommands()) {
    if (!command.inMenu)
      continue;
    MENUITEMINFOA item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_BITMAP;
    ASSERT_TRUE(::GetMenuItemInfoA(window.Menu(), command.id, FALSE, &item)) << command.action;
    const auto image = images.find(command.id);
    if (image == images.end()) {
      EXPECT_EQ(item.hbmpItem, nullptr) << command.action;
      continue;
    }
    ASSERT_NE(item.hbmpItem, nullptr) << command.action;
    BITMAP bitmap{};
    ASSERT_EQ(::GetObjectA(item.hbmpItem, sizeof(bitmap), &bitmap), static_cast<int>(sizeof(bitmap)));
    EXPECT_EQ((std::array<LONG, 3>{bitmap.bmWidth, bitmap.bmHeight, bitmap.bmBitsPixel}),
              (std::array<LONG, 3>{size, size, 32}))
        << command.action;
    // Over white and over black: a picture whose alpha was not premultiplied, or that has none,
    // looks wrong on at least one of them.
    for (COLORREF background : {RGB(255, 255, 255), RGB(0, 0, 0)}) {
      const auto menu = Rendered(size, background, [&](HDC dc) {
        const MemoryDc source(::CreateCompatibleDC(dc));
        HGDIOBJ old = ::SelectObject(source.Get(), item.hbmpItem);
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ::GdiAlphaBlend(dc, 0, 0, size, size, source.Get(), 0, 0, size, size, blend);
        ::SelectObject(source.Get(), old);
        return true;
      });
      const auto toolbar = Rendered(size, background, [&](HDC dc) {
        ::ImageList_Draw(toolbarImages, image->second, dc, 0, 0, ILD_NORMAL);
        return true;
      });
      EXPECT_LE(LargestDifference(menu, toolbar), 2) << command.action << " over " << std::hex << background;
    }
  }
}

class HighDpiTest : public MainWindowTest {};

TEST_F(HighDpiTest, MenuItemsShowTheirToolbarImagesAtEveryDpi) {
  TfrmMain& window = Open();
  ExpectMenuImagesMatchTheToolbar(window);
  for (const int dpi : {192, 120, ExpectedStartDpi()}) {
    MoveToScreenOf(window, dpi);
    ASSERT_EQ(window.Dpi(), dpi);
    ExpectMenuImagesMatchTheToolbar(window);
  }
}

// A tooltip of the window's own holds the three hints, one tool per panel, and keeps the tools
// on their panels when the window is resized, the bar comes back or the dpi changes.
TEST_F(HighDpiTest, StatusBarHintsStayOnTheirPanels) {
  TfrmMain& window = Open();
  window.Show(SW_SHOWNOACTIVATE);
  HWND bar = window.Controls().sttBar;
  EXPECT_EQ(ToolsOn(bar), ExpectedHints(bar));

  ::SetWindowPos(window.Hwnd(), nullptr, 0, 0, 700, 520, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(ToolsOn(bar), ExpectedHints(bar));
  window.acViewSttBarExecute();
  window.acViewSttBarExecute();
  EXPECT_EQ(ToolsOn(bar), ExpectedHints(bar));

  const std::vector<ToolOn> before = ToolsOn(bar);
  MoveToScreenOf(window, window.Dpi() == 192 ? 96 : 192);
  const std::vector<ToolOn> moved = ToolsOn(bar);
  EXPECT_EQ(moved, ExpectedHints(bar));
  ASSERT_EQ(moved.size(), 3u);
  EXPECT_NE(moved[2].rect, before[2].rect);  // the panels did move
}

TEST_F(HighDpiTest, TheRunHasTheDpiItWasStartedForAndLayoutAndFirstStartSizesFollowIt) {
  TfrmMain& window = Open();
  const int dpi = win::WindowDpi(window.Hwnd());
  EXPECT_EQ(dpi, ExpectedStartDpi());
  EXPECT_EQ(window.Dpi(), ExpectedStartDpi());
  const Measured measured = Measure(window, dpi);
  EXPECT_EQ(measured.shown, measured.laidOut);
  EXPECT_EQ(WindowSize(window), (std::array<LONG, 2>{win::ScaleToDpi(534, dpi), win::ScaleToDpi(300, dpi)}));
  std::vector<int> columns;
  for (int width : {248, 46, 33, 33, 35, 100})
    columns.push_back(win::ScaleToDpi(width, dpi));
  EXPECT_EQ(ColumnWidths(window.Controls().lvMain), columns);
  ExpectNothingOverlaps(window);
}

// Stored sizes come back from the dpi they were taken at (96 when the store does not say) at the
// window's, and are stored again with the window's.
TEST_F(HighDpiTest, StoredBoundsAndColumnWidthsKeepTheirDpi) {
  for (const int storedDpi : {0, 96, 120}) {
    SCOPED_TRACE(storedDpi);
    Store("Layout", {{"FormWidth", "640"}, {"FormHeight", "410"}, {"Col0", "60"}, {"Col5", "65"}});
    if (storedDpi != 0)
      Store("Layout", {{"SizesDpi", std::to_string(storedDpi)}});
    TfrmMain& window = Open();
    const int dpi = win::WindowDpi(window.Hwnd());
    const auto scaled = [dpi, storedDpi](int pixels) {
      return ScalePixels(pixels, dpi, storedDpi ? storedDpi : 96);
    };
    EXPECT_EQ(WindowSize(window), (std::array<LONG, 2>{scaled(640), scaled(410)}));
    const std::vector<int> columns = ColumnWidths(window.Controls().lvMain);
    EXPECT_EQ(std::pair(columns.front(), columns.back()), std::pair(scaled(60), scaled(65)));
    Close();
    ExpectSaved("Layout", {{"FormWidth", std::to_string(scaled(640))},
                           {"Col5", std::to_string(scaled(65))},
                           {"SizesDpi", std::to_string(dpi)}});
  }
}

// Each screen in turn, and back to the first.
TEST_F(HighDpiTest, MovingToAnotherScreenScalesEverythingAndBackRestoresIt) {
  TfrmMain& window = Open();
  window.Show(SW_SHOWNOACTIVATE);
  const int startDpi = win::WindowDpi(window.Hwnd());
  HWND table = window.Controls().lvMain;
  for (const int target : {120, 144, 192}) {
    SCOPED_TRACE(target);
    const Geometry before = Measure(window, startDpi).shown;
    const std::vector<int> columnsBefore = ColumnWidths(table);
    const std::array<LONG, 2> sizeBefore = WindowSize(window);

    MoveToScreenOf(window, target);
    EXPECT_EQ(window.Dpi(), target);
    const Measured moved = Measure(window, target);
    EXPECT_EQ(moved.shown, moved.laidOut);
    std::vector<int> scaledColumns;
    for (int width : columnsBefore)
      scaledColumns.push_back(::MulDiv(width, target, startDpi));
    EXPECT_EQ(ColumnWidths(table), scaledColumns);
    EXPECT_EQ(WindowSize(window), (std::array<LONG, 2>{::MulDiv(sizeBefore[0], target, startDpi),
                                                       ::MulDiv(sizeBefore[1], target, startDpi)}));
    ExpectNothingOverlaps(window);

    // The layout comes back exactly; sizes scaled twice through a ratio like 120/144 may each
    // have been rounded once, as the system's own suggested bounds are.
    MoveToScreenOf(window, startDpi);
    EXPECT_EQ(Measure(window, startDpi).shown, before);
    const std::vector<int> columnsAfter = ColumnWidths(table);
    const std::array<LONG, 2> sizeAfter = WindowSize(window);
    for (std::size_t i = 0; i < columnsBefore.size(); ++i)
      EXPECT_NEAR(columnsAfter[i], columnsBefore[i], 1) << "column " << i;
    for (std::size_t i = 0; i < sizeBefore.size(); ++i)
      EXPECT_NEAR(sizeAfter[i], sizeBefore[i], 1) << "window size " << i;
  }
}

}  // namespace
}  // namespace velmora::testing

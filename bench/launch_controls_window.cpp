// The launch benchmark's second baseline: a window with the same controls as Velmora's monitor
// window, each made once in its place, and nothing else: no settings, no rows, no reads, no
// hidden windows. The menu bar, the toolbar with its buttons and the settings panel's four
// controls, the table with its columns, check boxes and images, the bevel, the statistics
// panel's two group boxes and twelve labels, and the status bar with its four panels. Beside the
// bare window, it shows what the monitor window's controls alone cost to start.
#include <windows.h>

#include <commctrl.h>

#include <array>

#include "bench/baseline_window.h"
#include "windows/artwork.h"
#include "windows/layout_table.h"

namespace {

using velmora::win::ControlLayout;

constexpr char kClassName[] = "VelmoraLaunchControlsWindow";
constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;

constexpr std::array<ControlLayout, 3> kSettings{{
    {"STATIC", 10, "Refresh interval (sec): ", kLabel, 0, 0, 5, 114, 13},
    {"EDIT", 11, "15", ES_AUTOHSCROLL | ES_NUMBER | WS_TABSTOP, WS_EX_CLIENTEDGE, 118, 1, 56, 21},
    {"BUTTON", 12, "Spying enabled", BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_TABSTOP, 0, 186, 3, 100, 17},
}};

constexpr std::array<ControlLayout, 14> kStats{{
    {"BUTTON", 20, "User info", BS_GROUPBOX, 0, 4, 4, 253, 68},
    {"STATIC", 21, "Total units:", kLabel, 0, 20, 20, 96, 13},
    {"STATIC", 22, "?", kLabel, 0, 120, 20, 129, 13},
    {"STATIC", 23, "Total CPU time:", kLabel, 0, 20, 36, 96, 13},
    {"STATIC", 24, "?", kLabel, 0, 120, 36, 129, 13},
    {"STATIC", 25, "Average CPU time:", kLabel, 0, 20, 52, 96, 13},
    {"STATIC", 26, "?", kLabel, 0, 120, 52, 129, 13},
    {"BUTTON", 27, "Working unit info", BS_GROUPBOX, 0, 264, 4, 217, 68},
    {"STATIC", 28, "Progress:", kLabel, 0, 280, 20, 100, 13},
    {"STATIC", 29, "?", kLabel, 0, 384, 20, 89, 13},
    {"STATIC", 30, "Estimated total time:", kLabel, 0, 280, 36, 100, 13},
    {"STATIC", 31, "?", kLabel, 0, 384, 36, 89, 13},
    {"STATIC", 32, "Time left:", kLabel, 0, 280, 52, 100, 13},
    {"STATIC", 33, "?", kLabel, 0, 384, 52, 89, 13},
}};

HWND Child(DWORD exStyle, const char* className, DWORD style, const RECT& place, HWND parent, HFONT font) {
  HWND child = ::CreateWindowExA(exStyle, className, "", WS_CHILD | WS_VISIBLE | style, place.left, place.top,
                                 place.right - place.left, place.bottom - place.top, parent, nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
  ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

HMENU MenuBar() {
  HMENU bar = ::CreateMenu();
  const char* const titles[] = {"&File", "&Location", "&View", "&Help"};
  const int items[] = {1, 5, 9, 2};
  for (int title = 0; title < 4; ++title) {
    HMENU popup = ::CreatePopupMenu();
    for (int item = 0; item < items[title]; ++item)
      ::AppendMenuA(popup, MF_STRING, static_cast<UINT_PTR>(100 + title * 10 + item), "&Menu item\tCtrl+M");
    ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), titles[title]);
  }
  return bar;
}

void AddControls(HWND window, HFONT font) {
  HWND toolbar = Child(0, TOOLBARCLASSNAMEA, TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP, {}, window, font);
  ::SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  std::array<TBBUTTON, 8> buttons{};
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    const bool separator = i == 0 || i == 3 || i == 5 || i == 6;
    // The settings panel's slot is a separator as wide as the panel.
    buttons[i].iBitmap = i == 5 ? 292 : static_cast<int>(i % 7);
    buttons[i].idCommand = static_cast<int>(200 + i);
    buttons[i].fsState = TBSTATE_ENABLED;
    buttons[i].fsStyle = static_cast<BYTE>(separator ? BTNS_SEP : BTNS_BUTTON);
    buttons[i].iString = -1;
  }
  ::SendMessageA(toolbar, TB_SETIMAGELIST, 0,
                 // The program's own pictures, kept until the process ends.
                 reinterpret_cast<LPARAM>(velmora::win::MakeButtonImageList(16).Release()));
  ::SendMessageA(toolbar, TB_ADDBUTTONS, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  ::SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
  RECT slot{};
  ::SendMessageA(toolbar, TB_GETITEMRECT, 5, reinterpret_cast<LPARAM>(&slot));
  HWND settings = Child(WS_EX_CONTROLPARENT, "STATIC", 0, slot, toolbar, font);
  for (const ControlLayout& layout : kSettings)
    velmora::win::CreateLaidOutControl(settings, layout, font, USER_DEFAULT_SCREEN_DPI);
  HWND upDown = Child(0, UPDOWN_CLASSA, UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS, {}, settings, font);
  ::SendMessageA(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(::GetDlgItem(settings, 11)), 0);

  HWND panel = Child(0, "STATIC", 0, {0, 28, 526, 150}, window, font);
  HWND table =
      Child(WS_EX_CLIENTEDGE, WC_LISTVIEWA, WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
            {5, 2, 521, 122}, panel, font);
  constexpr DWORD kTableStyle = LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT |
                                LVS_EX_ONECLICKACTIVATE | LVS_EX_DOUBLEBUFFER | LVS_EX_INFOTIP;
  ::SendMessageA(table, LVM_SETEXTENDEDLISTVIEWSTYLE, kTableStyle, kTableStyle);
  ::SendMessageA(table, LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(velmora::win::MakeStateImageList(16).Release()));
  const char* const captions[] = {"Location", "%", "WU", "Res", "Usr", "Last change"};
  const int widths[] = {248, 46, 33, 33, 35, 100};
  for (int i = 0; i < 6; ++i) {
    LVCOLUMNA column{
        LVCF_TEXT | LVCF_WIDTH, 0, widths[i], const_cast<char*>(captions[i]), 0, 0, 0, 0, 0, 0, 0};
    ::SendMessageA(table, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
  }
  Child(0, "STATIC", SS_ETCHEDHORZ, {0, 150, 526, 152}, window, font);
  HWND stats = Child(WS_EX_CONTROLPARENT, "STATIC", 0, {0, 152, 526, 232}, window, font);
  for (const ControlLayout& layout : kStats)
    velmora::win::CreateLaidOutControl(stats, layout, font, USER_DEFAULT_SCREEN_DPI);
  HWND status = Child(0, STATUSCLASSNAMEA, SBARS_SIZEGRIP, {}, window, font);
  const int edges[] = {80, 160, 240, -1};
  ::SendMessageA(status, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY)
    ::PostQuitMessage(0);
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  const velmora::bench::BaselineWindow window{
      .className = kClassName,
      .title = "Velmora",
      .proc = &WindowProc,
      .commonControls = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES,
      .exStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT,
      .style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
      .width = 534,
      .height = 300,
      .menu = MenuBar()};
  return velmora::bench::RunBaselineWindow(instance, showCommand, window, [](HWND hwnd) {
    AddControls(
        hwnd, ::CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Microsoft Sans Serif"));
  });
}

// The monitor window's controls: created from layout tables where their places are fixed in
// pixels, and placed again whenever the window's size or the visible bars change.
#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "monitor/poll_interval.h"
#include "monitor/win32/main_commands.h"
#include "monitor/win32/main_window.h"
#include "windows/artwork.h"
#include "windows/layout_table.h"
#include "windows/panel.h"
#include "windows/ui_font.h"

namespace velmora {

namespace {

enum ControlId : int {
  kIdToolbar = 100,
  kIdSettingsPanel,
  kIdPollItvLabel,
  kIdPollItv,
  kIdPollItvSpin,
  kIdActive,
  kIdMainPanel,
  kIdTable,
  kIdStatsBevel,
  kIdStatsPanel,
  kIdUserStats,
  kIdUserTotUnitsPrompt,
  kIdUserTotCpuPrompt,
  kIdUserAvgCpuPrompt,
  kIdUserTotUnits,
  kIdUserTotCpu,
  kIdUserAvgCpu,
  kIdUnitStats,
  kIdProgressPrompt,
  kIdTimeTotalPrompt,
  kIdTimeLeftPrompt,
  kIdProgress,
  kIdTimeTotal,
  kIdTimeLeft,
  kIdStatusBar,
};

constexpr int kButtonSize = 23;
constexpr int kImageSize = 16;  // toolbar and table images
constexpr int kSettingsPanelWidth = 292;
constexpr int kStatsPanelHeight = 80;
constexpr int kBevelHeight = 2;
constexpr int kTableInsetTop = 2;
constexpr int kTableInset = 5;  // left, right and bottom
constexpr int kStatusPanelWidth = 80;

// Inside pnlSettings, which takes the toolbar's button height. The up-down control sits on
// the right end of the edit box (UDS_ALIGNRIGHT takes its width from the box).
constexpr std::array<win::ControlLayout, 3> kSettingsLayout{{
    {"STATIC", kIdPollItvLabel, "Refresh interval (sec): ", SS_LEFT | SS_NOPREFIX, 0, 4, 5, 114, 13},
    {"EDIT", kIdPollItv, "15", ES_LEFT | ES_AUTOHSCROLL | ES_NUMBER | WS_TABSTOP, WS_EX_CLIENTEDGE, 118, 1,
     56, 21},
    {"BUTTON", kIdActive, "Spying enabled", BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_TABSTOP, 0, 186, 3, 100, 17},
}};

// Inside pnlStats. Created in the order screen readers walk them (the z-order): a group box,
// then each prompt directly followed by its value, so that every value is read with its caption.
constexpr int kUserX = 4;
constexpr int kUnitX = 264;
constexpr int kBoxY = 4;
constexpr int kPromptX = 16;
constexpr int kUserValueX = 116;
constexpr int kUnitValueX = 120;
constexpr int kRow1 = kBoxY + 16;
constexpr int kRow2 = kBoxY + 32;
constexpr int kRow3 = kBoxY + 48;
constexpr int kLabelHeight = 13;
constexpr DWORD kLabelStyle = SS_LEFT | SS_NOPREFIX;

constexpr std::array<win::ControlLayout, 14> kStatsLayout{{
    {"BUTTON", kIdUserStats, "User info", BS_GROUPBOX, 0, kUserX, kBoxY, 253, 68},
    {"STATIC", kIdUserTotUnitsPrompt, "Total units:", kLabelStyle, 0, kUserX + kPromptX, kRow1, 96,
     kLabelHeight},
    {"STATIC", kIdUserTotUnits, "?", kLabelStyle, 0, kUserX + kUserValueX, kRow1, 129, kLabelHeight},
    {"STATIC", kIdUserTotCpuPrompt, "Total CPU time:", kLabelStyle, 0, kUserX + kPromptX, kRow2, 96,
     kLabelHeight},
    {"STATIC", kIdUserTotCpu, "?", kLabelStyle, 0, kUserX + kUserValueX, kRow2, 129, kLabelHeight},
    {"STATIC", kIdUserAvgCpuPrompt, "Average CPU time:", kLabelStyle, 0, kUserX + kPromptX, kRow3, 96,
     kLabelHeight},
    {"STATIC", kIdUserAvgCpu, "?", kLabelStyle, 0, kUserX + kUserValueX, kRow3, 129, kLabelHeight},
    {"BUTTON", kIdUnitStats, "Working unit info", BS_GROUPBOX, 0, kUnitX, kBoxY, 217, 68},
    {"STATIC", kIdProgressPrompt, "Progress:", kLabelStyle, 0, kUnitX + kPromptX, kRow1, 100, kLabelHeight},
    {"STATIC", kIdProgress, "?", kLabelStyle, 0, kUnitX + kUnitValueX, kRow1, 89, kLabelHeight},
    {"STATIC", kIdTimeTotalPrompt, "Estimated total time:", kLabelStyle, 0, kUnitX + kPromptX, kRow2, 100,
     kLabelHeight},
    {"STATIC", kIdTimeTotal, "?", kLabelStyle, 0, kUnitX + kUnitValueX, kRow2, 89, kLabelHeight},
    {"STATIC", kIdTimeLeftPrompt, "Time left:", kLabelStyle, 0, kUnitX + kPromptX, kRow3, 100, kLabelHeight},
    {"STATIC", kIdTimeLeft, "?", kLabelStyle, 0, kUnitX + kUnitValueX, kRow3, 89, kLabelHeight},
}};

constexpr const char* const kStatusHints[] = {"Total locations", "Units in work",
                                              "Processed, waiting for sending"};

int Height(HWND hwnd) {
  RECT rect{};
  ::GetWindowRect(hwnd, &rect);
  return rect.bottom - rect.top;
}

}  // namespace

bool TfrmMain::CreateControls() {
  dpi_ = win::WindowDpi(Hwnd());
  font_ = win::MakeUiFont(dpi_);
  SetAppIcons(dpi_);
  BuildMenu();
  BuildAccelerators();
  ::SetMenu(Hwnd(), menu_.Get());

  CreateToolbar();
  CreateSettingsPanel();

  ctl_.pnlMain = win::CreatePanel(Hwnd(), Hwnd(), kIdMainPanel, 0, 0, 0, 0, true);
  ctl_.lvMain = win::ListView(::CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT |
                                                    LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                                                0, 0, 0, 0, ctl_.pnlMain, reinterpret_cast<HMENU>(kIdTable),
                                                ::GetModuleHandleA(nullptr), nullptr));
  ctl_.lvMain.SetFont(font_.Get(), false);
  // Info tips: a late row says since when its folder has not answered.
  constexpr DWORD kTableStyle = LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT |
                                LVS_EX_ONECLICKACTIVATE | LVS_EX_DOUBLEBUFFER | LVS_EX_INFOTIP;
  ctl_.lvMain.SetExtendedStyle(kTableStyle, kTableStyle);
  SetStateImages();

  ctl_.bvlStats = win::Static(::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_ETCHEDHORZ, 0, 0,
                                                0, 0, Hwnd(), reinterpret_cast<HMENU>(kIdStatsBevel),
                                                ::GetModuleHandleA(nullptr), nullptr));
  CreateStatsPanel();
  CreateStatusBar();
  lblVsn_.InfoCategory = win::TInfoCategory::icVersion;
  lblVsn_.ShortVsn = false;
  lblVsn_.Create(Hwnd(), 0, 0, false);
  return ctl_.tlbMain && ctl_.pnlSettings && ctl_.lvMain && ctl_.pnlStats && ctl_.sttBar;
}

void TfrmMain::StartImagesAhead() {
  imagesAhead_.emplace(win::ScaleToDpi(kImageSize, dpi_));
}

void TfrmMain::SetStateImages() {
  // The list view shares the list (LVS_SHAREIMAGELISTS): the old one goes once the new is set.
  const int size = win::ScaleToDpi(kImageSize, dpi_);
  win::ImageListHandle images =
      imagesAhead_ ? imagesAhead_->TakeStateBalls(size) : win::MakeStateImageList(size);
  ctl_.lvMain.SetSmallImageList(images.Get());
  stateImages_ = std::move(images);
}

void TfrmMain::CreateToolbar() {
  ctl_.tlbMain = win::Toolbar(::CreateWindowExA(
      0, TOOLBARCLASSNAMEA, "",
      WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP, 0, 0, 0, 0, Hwnd(),
      reinterpret_cast<HMENU>(kIdToolbar), ::GetModuleHandleA(nullptr), nullptr));
  ctl_.tlbMain.SetButtonStructSize();
  FillToolbar();
}

void TfrmMain::FillToolbar() {
  // Images, buttons and the settings panel's slot all follow the dpi; a toolbar takes new image
  // and button sizes reliably only before its buttons are added, so they are added again.
  const int size = win::ScaleToDpi(kImageSize, dpi_);
  win::ImageListHandle images =
      imagesAhead_ ? imagesAhead_->TakeButtons(size) : win::MakeButtonImageList(size);
  ctl_.tlbMain.SetImageList(images.Get());
  buttonImages_ = std::move(images);
  ctl_.tlbMain.SetBitmapSize(size, size);
  while (ctl_.tlbMain.ButtonCount() > 0)
    ctl_.tlbMain.DeleteButton(0);

  std::vector<TBBUTTON> buttons;
  for (WORD entry : MainToolbarLayout()) {
    TBBUTTON button{};
    button.fsState = TBSTATE_ENABLED;
    button.iString = -1;
    if (entry == kToolbarSeparator) {
      button.fsStyle = BTNS_SEP;
    } else if (entry == kToolbarSettingsPanel) {
      // A separator as wide as the settings panel keeps its place among the buttons.
      button.fsStyle = BTNS_SEP;
      button.idCommand = kToolbarSettingsPanel;
      button.iBitmap = win::ScaleToDpi(kSettingsPanelWidth, dpi_);
    } else {
      const MainCommand* command = FindMainCommand(entry);
      button.fsStyle = BTNS_BUTTON;
      button.idCommand = entry;
      button.iBitmap = command ? command->image : I_IMAGENONE;
    }
    buttons.push_back(button);
  }
  ctl_.tlbMain.AddButtons(static_cast<int>(buttons.size()), buttons.data());
  ctl_.tlbMain.SetButtonSize(win::ScaleToDpi(kButtonSize, dpi_), win::ScaleToDpi(kButtonSize, dpi_));
  ctl_.tlbMain.AutoSize();
}

void TfrmMain::CreateSettingsPanel() {
  ctl_.pnlSettings =
      win::CreatePanel(ctl_.tlbMain, Hwnd(), kIdSettingsPanel, 0, 0,
                       win::ScaleToDpi(kSettingsPanelWidth, dpi_), win::ScaleToDpi(kButtonSize, dpi_), true);
  ctl_.lblPollItv =
      win::Static(win::CreateLaidOutControl(ctl_.pnlSettings, kSettingsLayout[0], font_.Get(), dpi_));
  ctl_.fldPollItv =
      win::Edit(win::CreateLaidOutControl(ctl_.pnlSettings, kSettingsLayout[1], font_.Get(), dpi_));
  ctl_.chkActive =
      win::CheckBox(win::CreateLaidOutControl(ctl_.pnlSettings, kSettingsLayout[2], font_.Get(), dpi_));
  ctl_.spnPollItv = win::UpDown(::CreateWindowExA(
      0, UPDOWN_CLASSA, "",
      WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, 0, 0,
      ctl_.pnlSettings, reinterpret_cast<HMENU>(kIdPollItvSpin), ::GetModuleHandleA(nullptr), nullptr));
  ctl_.spnPollItv.SetBuddy(ctl_.fldPollItv);
  ctl_.spnPollItv.SetRange(kMinPollInterval, kMaxPollInterval);
  ctl_.spnPollItv.SetPosition(kDefaultPollInterval);
  ctl_.chkActive.SetChecked(true);
  PlaceSettingsPanel();
}

void TfrmMain::CreateStatsPanel() {
  ctl_.pnlStats = win::CreatePanel(Hwnd(), Hwnd(), kIdStatsPanel, 0, 0, 0, 0, true);
  std::array<HWND, kStatsLayout.size()> created{};
  for (std::size_t i = 0; i < kStatsLayout.size(); ++i) {
    created[i] = win::CreateLaidOutControl(ctl_.pnlStats, kStatsLayout[i], font_.Get(), dpi_);
  }
  auto byId = [&](int id) {
    for (std::size_t i = 0; i < kStatsLayout.size(); ++i) {
      if (kStatsLayout[i].id == id)
        return created[i];
    }
    return HWND{};
  };
  ctl_.frmUserStats = win::GroupBox(byId(kIdUserStats));
  ctl_.lblUserTotUnits = win::Static(byId(kIdUserTotUnits));
  ctl_.lblUserTotCPU = win::Static(byId(kIdUserTotCpu));
  ctl_.lblUserAvgCPU = win::Static(byId(kIdUserAvgCpu));
  ctl_.frmUnitStats = win::GroupBox(byId(kIdUnitStats));
  ctl_.lblProgress = win::Static(byId(kIdProgress));
  ctl_.lblTimeTotal = win::Static(byId(kIdTimeTotal));
  ctl_.lblTimeLeft = win::Static(byId(kIdTimeLeft));
}

void TfrmMain::CreateStatusBar() {
  ctl_.sttBar = win::StatusBar(
      ::CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, Hwnd(),
                        reinterpret_cast<HMENU>(kIdStatusBar), ::GetModuleHandleA(nullptr), nullptr));
  ctl_.sttBar.SetFont(font_.Get(), false);
  SetStatusParts();
  sttBarHints_.Create(ctl_.sttBar, kStatusHints);
}

void TfrmMain::SetStatusParts() {
  const int panel = win::ScaleToDpi(kStatusPanelWidth, dpi_);
  const int rightEdges[] = {panel, 2 * panel, 3 * panel, -1};
  ctl_.sttBar.SetParts(4, rightEdges);
  sttBarHints_.Follow();
}

void TfrmMain::ApplyDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_)
    return;
  const int oldDpi = dpi_;
  dpi_ = dpi;
  // Every control switches to the new font before the old one is deleted.
  win::FontHandle font = win::MakeUiFont(dpi_);
  ctl_.lvMain.SetFont(font.Get(), true);
  ctl_.sttBar.SetFont(font.Get(), true);
  win::PlaceLaidOutControls(ctl_.pnlSettings, kSettingsLayout, font.Get(), dpi_);
  win::PlaceLaidOutControls(ctl_.pnlStats, kStatsLayout, font.Get(), dpi_);
  font_ = std::move(font);
  // The up-down control takes its place from its buddy's new rectangle.
  ctl_.spnPollItv.SetBuddy(ctl_.fldPollItv);

  SetAppIcons(dpi_);
  SetMenuImages();
  FillToolbar();
  SetStatusParts();
  SetStateImages();
  // Column widths are the user's: they keep their size relative to the text.
  for (int column = 0; column < ColumnCount(); ++column)
    ctl_.lvMain.SetColumnWidth(column, ::MulDiv(ctl_.lvMain.ColumnWidth(column), dpi_, oldDpi));
  for (int slot : kOptionalSlots)
    SetColumnWidth(slot, ::MulDiv(ColumnWidth(slot), dpi_, oldDpi));
  LayoutControls();
}

void TfrmMain::PlaceSettingsPanel() {
  RECT slot{};
  const int index = ctl_.tlbMain.CommandToIndex(kToolbarSettingsPanel);
  if (index < 0 || !ctl_.tlbMain.GetItemRect(index, slot))
    return;
  ctl_.pnlSettings.Move(slot.left, slot.top, slot.right - slot.left, slot.bottom - slot.top, true);
}

void TfrmMain::LayoutControls() {
  if (!ctl_.pnlMain || layoutHeld_)
    return;
  RECT client{};
  ::GetClientRect(Hwnd(), &client);
  const int width = client.right - client.left;
  int top = 0;
  int bottom = client.bottom - client.top;
  if (barVisible_[static_cast<std::size_t>(Bar::kToolbar)]) {
    ctl_.tlbMain.AutoSize();
    PlaceSettingsPanel();
    top = Height(ctl_.tlbMain);
  }
  if (barVisible_[static_cast<std::size_t>(Bar::kStatusBar)]) {
    ctl_.sttBar.Reposition();
    sttBarHints_.Follow();
    bottom -= Height(ctl_.sttBar);
  }
  if (barVisible_[static_cast<std::size_t>(Bar::kStatsPanel)]) {
    const int statsHeight = win::ScaleToDpi(kStatsPanelHeight, dpi_);
    bottom -= statsHeight;
    ctl_.pnlStats.Move(0, bottom, width, statsHeight, true);
    bottom -= kBevelHeight;
    ctl_.bvlStats.Move(0, bottom, width, kBevelHeight, true);
  }
  const int mainHeight = std::max(0, bottom - top);
  ctl_.pnlMain.Move(0, top, width, mainHeight, true);
  const int inset = win::ScaleToDpi(kTableInset, dpi_);
  const int insetTop = win::ScaleToDpi(kTableInsetTop, dpi_);
  ctl_.lvMain.Move(inset, insetTop, std::max(0, width - 2 * inset),
                   std::max(0, mainHeight - insetTop - inset), true);
}

void TfrmMain::SetBarVisible(Bar bar, bool visible) {
  barVisible_[static_cast<std::size_t>(bar)] = visible;
  const int show = visible ? SW_SHOWNA : SW_HIDE;
  // The keyboard focus must not stay on a control that disappears.
  HWND focus = ::GetFocus();
  HWND barWindow = bar == Bar::kToolbar      ? ctl_.tlbMain.Hwnd()
                   : bar == Bar::kStatsPanel ? ctl_.pnlStats.Hwnd()
                                             : ctl_.sttBar.Hwnd();
  if (!visible && focus && ::IsChild(barWindow, focus))
    ::SetFocus(ctl_.lvMain);
  switch (bar) {
    case Bar::kToolbar:
      ctl_.tlbMain.Show(show);
      break;
    case Bar::kStatsPanel:
      ctl_.pnlStats.Show(show);
      ctl_.bvlStats.Show(show);
      break;
    case Bar::kStatusBar:
      ctl_.sttBar.Show(show);
      break;
  }
  LayoutControls();
}

bool TfrmMain::BarVisible(Bar bar) const {
  return barVisible_[static_cast<std::size_t>(bar)];
}

}  // namespace velmora

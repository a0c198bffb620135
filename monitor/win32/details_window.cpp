#include "monitor/win32/details_window.h"

#include <commctrl.h>

#include <array>
#include <span>
#include <stdexcept>
#include <utility>

#include "windows/colour_change.h"
#include "windows/layout_table.h"
#include "windows/status_bar.h"
#include "windows/ui_font.h"

namespace velmora {

// The window helpers and controls it is built from.
using namespace win;

namespace {

constexpr const char* kClassName = "VelmoraDetailsWindow";
constexpr const char* kTitle = "Location details";
// No WS_CLIPCHILDREN: the group boxes paint only their frames, the window paints beneath them.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_TOPMOST;

// Group boxes; the rows inside them are placed relative to these.
constexpr int kUserBoxX = 12, kUserBoxY = 12;
constexpr int kUnitBoxX = 12, kUnitBoxY = 128;
constexpr int kUserPromptX = kUserBoxX + 20;
constexpr int kUnitPromptX = kUnitBoxX + 16;
constexpr int kValueX = kUserBoxX + 120;  // both boxes
constexpr int kRowY = 20, kRowStep = 20;
constexpr int kLabelHeight = 13;
constexpr int kValueWidth = 125;

constexpr int UserRow(int row) {
  return kUserBoxY + kRowY + row * kRowStep;
}
constexpr int UnitRow(int row) {
  return kUnitBoxY + kRowY + row * kRowStep;
}

constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;

// In the order screen readers walk them (the z-order): each group box, then each prompt directly
// followed by its value, so that every value is read with its caption.
constexpr std::array<ControlLayout, 17> kLayout = {{
    {"BUTTON", kDetailsBtnClose, "&Close", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 276, 16, 67, 25},
    {"BUTTON", kDetailsFrmUser, "User info", BS_GROUPBOX, 0, kUserBoxX, kUserBoxY, 253, 105},
    {"STATIC", kDetailsPromptUser, "User:", kLabel, 0, kUserPromptX, UserRow(0), 100, kLabelHeight},
    {"STATIC", kDetailsLblUser, "", kLabel, 0, kValueX, UserRow(0), kValueWidth, kLabelHeight},
    {"STATIC", kDetailsPromptTotUnits, "Total units:", kLabel, 0, kUserPromptX, UserRow(1), 100,
     kLabelHeight},
    {"STATIC", kDetailsLblUserTotUnits, "", kLabel, 0, kValueX, UserRow(1), kValueWidth, kLabelHeight},
    {"STATIC", kDetailsPromptTotCPU, "Total CPU time:", kLabel, 0, kUserPromptX, UserRow(2), 100,
     kLabelHeight},
    {"STATIC", kDetailsLblUserTotCPU, "", kLabel, 0, kValueX, UserRow(2), kValueWidth, kLabelHeight},
    // Worded as the monitor window words the same figure.
    {"STATIC", kDetailsPromptAvgCPU, "Average CPU time:", kLabel, 0, kUserPromptX, UserRow(3), 100,
     kLabelHeight},
    {"STATIC", kDetailsLblUserAvgCPU, "", kLabel, 0, kValueX, UserRow(3), kValueWidth, kLabelHeight},
    {"BUTTON", kDetailsFrmUnit, "Working unit info", BS_GROUPBOX, 0, kUnitBoxX, kUnitBoxY, 253, 85},
    {"STATIC", kDetailsPromptProgress, "Progress:", kLabel, 0, kUnitPromptX, UnitRow(0), 104, kLabelHeight},
    {"STATIC", kDetailsLblProgress, "", kLabel, 0, kValueX, UnitRow(0), kValueWidth, kLabelHeight},
    {"STATIC", kDetailsPromptTimeTotal, "Estimated total time:", kLabel, 0, kUnitPromptX, UnitRow(1), 104,
     kLabelHeight},
    {"STATIC", kDetailsLblTimeTotal, "", kLabel, 0, kValueX, UnitRow(1), kValueWidth, kLabelHeight},
    {"STATIC", kDetailsPromptTimeLeft, "Time left:", kLabel, 0, kUnitPromptX, UnitRow(2), 104, kLabelHeight},
    {"STATIC", kDetailsLblTimeLeft, "", kLabel, 0, kValueX, UnitRow(2), kValueWidth, kLabelHeight},
}};

// A one-part bar 19 pixels high: CCS_NORESIZE keeps the height we give it instead of
// the one the bar would derive from its font.
constexpr ControlLayout kStatusLayout = {STATUSCLASSNAMEA,
                                         kDetailsSttBar,
                                         "",
                                         CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                                         0,
                                         0,
                                         kDetailsClientHeight - kDetailsStatusHeight,
                                         kDetailsClientWidth,
                                         kDetailsStatusHeight};

}  // namespace

TfrmDetails::TfrmDetails(HWND owner, FiguresRequest requestFigures)
    : requestFigures_(std::move(requestFigures)) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);

  WNDCLASSEXA windowClass{};
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  if (!CreateBound({.className = kClassName,
                    .wc = windowClass,
                    .exStyle = kExStyle,
                    .title = kTitle,
                    .style = kStyle,
                    .x = CW_USEDEFAULT,
                    .y = CW_USEDEFAULT,
                    .parent = owner})) {
    throw std::runtime_error("The details window could not be created.");
  }
  dpi_ = WindowDpi(Hwnd());
  FitClientArea(Hwnd(), kDetailsClientWidth, kDetailsClientHeight, dpi_);
  font_ = MakeUiFont(dpi_);
  SetAppIcons(dpi_);
  CreateControls();
}

TfrmDetails::~TfrmDetails() {
  // Before the font and icons it uses are released.
  if (Hwnd())
    ::DestroyWindow(Hwnd());
}

void TfrmDetails::CreateControls() {
  for (const ControlLayout& layout : kLayout)
    CreateLaidOutControl(Hwnd(), layout, font_.Get(), dpi_);
  StatusBar bar(CreateLaidOutControl(Hwnd(), kStatusLayout, font_.Get(), dpi_));
  const int wholeWidth = -1;
  bar.SetParts(1, &wholeWidth);
}

void TfrmDetails::ApplyDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_)
    return;
  dpi_ = dpi;
  FontHandle font = MakeUiFont(dpi_);
  PlaceLaidOutControls(Hwnd(), kLayout, font.Get(), dpi_);
  PlaceLaidOutControls(Hwnd(), std::span(&kStatusLayout, 1), font.Get(), dpi_);
  font_ = std::move(font);
  SetAppIcons(dpi_);
  FitClientArea(Hwnd(), kDetailsClientWidth, kDetailsClientHeight, dpi_);
}

void TfrmDetails::ShowAndActivate() {
  if (!::IsWindowVisible(Hwnd())) {
    ::ShowWindow(Hwnd(), SW_SHOW);  // activates it, which fills it
  } else {
    ::BringWindowToTop(Hwnd());
  }
  ::SetForegroundWindow(Hwnd());
  ::SetActiveWindow(Hwnd());
}

bool TfrmDetails::PreTranslateMessage(MSG& message) {
  if (message.hwnd != Hwnd() && !::IsChild(Hwnd(), message.hwnd))
    return false;
  // Esc arrives as IDCANCEL, Enter as the default button's click (DM_GETDEFID), Alt+C as the
  // Close button's click.
  return ::IsDialogMessageA(Hwnd(), &message) != FALSE;
}

void TfrmDetails::FormActivate() {
  ShowDetails();
}

void TfrmDetails::ShowDetails() {
  if (requestFigures_)
    requestFigures_();
}

void TfrmDetails::ShowFigures(const SelectedFigures& figures) {
  SetLabel(kDetailsLblUser, kNoUserInfo);
  SetLabel(kDetailsLblUserTotUnits, kUnknownFigure);
  SetLabel(kDetailsLblUserTotCPU, kUnknownFigure);
  SetLabel(kDetailsLblUserAvgCPU, kUnknownFigure);
  SetLabel(kDetailsLblProgress, kNoProgressInfo);
  SetLabel(kDetailsLblTimeTotal, kUnknownFigure);
  SetLabel(kDetailsLblTimeLeft, kUnknownFigure);

  if (!figures.rowSelected) {
    SetStatusText(kNoLocationMarked);
    return;
  }
  SetStatusText(figures.path);
  if (figures.userRead) {
    SetLabel(kDetailsLblUser, figures.userName);
    SetLabel(kDetailsLblUserTotUnits, figures.totalUnits);
    SetLabel(kDetailsLblUserTotCPU, figures.totalCpu);
    SetLabel(kDetailsLblUserAvgCPU, figures.averageCpu);
  }
  if (figures.stateRead) {
    SetLabel(kDetailsLblProgress, figures.progress);
    SetLabel(kDetailsLblTimeTotal, figures.timeTotal);
    SetLabel(kDetailsLblTimeLeft, figures.timeLeft);
  }
}

void TfrmDetails::btnCloseClick() {
  ::ShowWindow(Hwnd(), SW_HIDE);
}

void TfrmDetails::SetLabel(int id, const std::string& text) const {
  ::SetDlgItemTextA(Hwnd(), id, text.c_str());
}

void TfrmDetails::SetStatusText(const std::string& text) const {
  StatusBar(::GetDlgItem(Hwnd(), kDetailsSttBar)).SetText(0, text);
}

LRESULT TfrmDetails::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        FormActivate();
        // The button takes the keys, so that Enter and Esc arrive from a child as from the form.
        ::SetFocus(::GetDlgItem(Hwnd(), kDetailsBtnClose));
        return 0;
      }
      break;
    case WM_COMMAND:
      if ((LOWORD(wParam) == kDetailsBtnClose && HIWORD(wParam) == BN_CLICKED) ||
          LOWORD(wParam) == IDCANCEL) {
        btnCloseClick();
        return 0;
      }
      break;
    case DM_GETDEFID:
      return MAKELRESULT(kDetailsBtnClose, DC_HASDEFID);
    case WM_SYSCOLORCHANGE:
      ForwardSysColorChange(Hwnd(), {}, wParam, lParam);
      return 0;
    case WM_CLOSE:  // the close box only hides: the window lives until the program ends
      btnCloseClick();
      return 0;
    case WM_DPICHANGED:
      ApplyDpi(LOWORD(wParam));
      MoveToSuggestedPlace(Hwnd(), lParam);
      return 0;
    default:
      break;
  }
  return BaseWindow::HandleMessage(message, wParam, lParam);
}

void TfrmDetails::ReportFailure(const char* what) {
  ::MessageBoxA(Hwnd(), what, "Velmora", MB_OK | MB_ICONERROR);
}

}  // namespace velmora

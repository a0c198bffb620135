#include "windows/about_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <array>
#include <stdexcept>
#include <utility>
#include <vector>

#include "windows/artwork.h"
#include "windows/colour_change.h"
#include "windows/control.h"
#include "windows/layout_table.h"
#include "windows/ui_font.h"

namespace velmora::win {

namespace {

constexpr const char* kClassName = "VelmoraAboutWindow";
constexpr const char* kTitle = "About";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr COLORREF kNameColour = RGB(255, 0, 255);    // fuchsia
constexpr COLORREF kShadowColour = RGB(128, 0, 128);  // purple
constexpr int kNameHeight = 23;
constexpr const char* kProductName = "Velmora";

// Blue, except in a high-contrast theme: there the theme's own link colour, which the user can
// tell from the background as a fixed blue may not be.
COLORREF LinkColour() {
  return HighContrastOn() ? ::GetSysColor(COLOR_HOTLIGHT) : kLinkColour;
}

// Everything but the OK button stands on a bevelled panel, and their places are given relative
// to it; the panel itself is only painted, so they are children of the window at the panel's
// offset.
constexpr int kPanelX = 8, kPanelY = 8, kPanelWidth = 309, kPanelHeight = 169;
constexpr int OnPanelX(int x) {
  return kPanelX + x;
}
constexpr int OnPanelY(int y) {
  return kPanelY + y;
}

constexpr int kLabelHeight = 13;
// The version label is a control of its own, not a row of the table.
// It takes the width of its text, and the "Freeware" note after it moves right when a long
// version (65535.65535.65535.65535) would reach into it.
constexpr int kVersionX = 120, kVersionY = 48;
constexpr int kFreewareX = 168, kVersionGap = 4;
constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
constexpr DWORD kLink = ES_LEFT | ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP;

// Creation order is tab order: the three links, then the OK button. The Credits button is no
// tab stop at all.
constexpr std::array<ControlLayout, 11> kLayout = {{
    {"STATIC", kAboutPromptVersion, "Version", kLabel, 0, OnPanelX(80), OnPanelY(48), 38, kLabelHeight},
    {"STATIC", kAboutFreeware, "Freeware", kLabel, 0, OnPanelX(kFreewareX), OnPanelY(48), 60, kLabelHeight},
    {"STATIC", kAboutPromptEMail, "e-mail", kLabel, 0, OnPanelX(32), OnPanelY(76), 72, kLabelHeight},
    {"STATIC", kAboutPromptEuro, "WWW Europe:", kLabel, 0, OnPanelX(32), OnPanelY(96), 72, kLabelHeight},
    {"STATIC", kAboutPromptUSA, "WWW USA:", kLabel, 0, OnPanelX(32), OnPanelY(116), 72, kLabelHeight},
    {"STATIC", kAboutNotice, kAboutNoticeText, kLabel, 0, OnPanelX(12), OnPanelY(148), 285, kLabelHeight},
    {"EDIT", kAboutLblEMail, kAboutEMail, kLink, 0, OnPanelX(108), OnPanelY(76), 185, 17},
    {"EDIT", kAboutLblHttpEuro, kAboutHttpEuro, kLink, 0, OnPanelX(108), OnPanelY(96), 189, 21},
    {"EDIT", kAboutFldHttpUSA, kAboutHttpUSA, kLink, 0, OnPanelX(108), OnPanelY(116), 193, 17},
    {"BUTTON", kAboutOKButton, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 123, 184, 75, 25},
    {"BUTTON", kAboutBtnCredits, "&Credits", BS_PUSHBUTTON | BS_FLAT, 0, OnPanelX(252), OnPanelY(8), 45, 21},
}};

constexpr std::array<int, 3> kLinkIds = {kAboutLblEMail, kAboutLblHttpEuro, kAboutFldHttpUSA};

// While the about window is modal every other enabled window of the thread (the monitor
// window, an open details window, the hidden application window) is disabled; they are
// enabled again before the about window hides, so that activation returns to them.
class DisabledThreadWindows {
 public:
  DisabledThreadWindows(HWND modal, HWND owner) : modal_(modal), owner_(owner) {
    ::EnumThreadWindows(::GetCurrentThreadId(), &DisabledThreadWindows::Visit,
                        reinterpret_cast<LPARAM>(this));
  }
  ~DisabledThreadWindows() {
    for (HWND window : disabled_)
      ::EnableWindow(window, TRUE);
  }
  DisabledThreadWindows(const DisabledThreadWindows&) = delete;
  DisabledThreadWindows& operator=(const DisabledThreadWindows&) = delete;

 private:
  static BOOL CALLBACK Visit(HWND window, LPARAM self) {
    auto* windows = reinterpret_cast<DisabledThreadWindows*>(self);
    if (window != windows->modal_ && ::IsWindowEnabled(window) &&
        (::IsWindowVisible(window) || window == windows->owner_)) {
      // Recorded before it is disabled, so that it is enabled again; no exception may cross the
      // system's enumeration: out of memory, the rest stay usable.
      try {
        windows->disabled_.push_back(window);
      } catch (...) {
        return FALSE;
      }
      ::EnableWindow(window, FALSE);
    }
    return TRUE;
  }

  HWND modal_;
  HWND owner_;
  std::vector<HWND> disabled_;
};

FontHandle MakeFont(int height, int weight, bool underline) {
  return FontHandle(::CreateFontA(-height, 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, kUiFontFace));
}

// The note keeps its place unless the version label, sized to its text, would reach into it.
void PlaceFreewareAfter(HWND window, HWND version, int dpi) {
  HWND freeware = ::GetDlgItem(window, kAboutFreeware);
  RECT label{};
  ::GetWindowRect(version, &label);
  ::MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&label), 2);
  const int place = ScaleToDpi(OnPanelX(kFreewareX), dpi);
  const int x = label.right > place ? static_cast<int>(label.right) + ScaleToDpi(kVersionGap, dpi) : place;
  RECT note{};
  ::GetWindowRect(freeware, &note);
  ::MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&note), 2);
  ::SetWindowPos(freeware, nullptr, x, note.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool IsLink(int id) {
  for (int link : kLinkIds) {
    if (link == id)
      return true;
  }
  return false;
}

}  // namespace

TfrmAbout::TfrmAbout(HWND owner, ShellOpener& shell) : shell_(shell) {
  WNDCLASSEXA windowClass{};
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  if (!CreateBound({.className = kClassName,
                    .wc = windowClass,
                    .exStyle = kExStyle,
                    .title = kTitle,
                    .style = kStyle,
                    .parent = owner})) {
    throw std::runtime_error("The about window could not be created.");
  }
  dpi_ = WindowDpi(Hwnd());
  FitClientArea(Hwnd(), kAboutClientWidth, kAboutClientHeight, dpi_);
  MakeDpiResources();
  MakePictures();
  CreateControls();
}

// Blended over the face colour once, so they are made again whenever it changes.
void TfrmAbout::MakePictures() {
  envelope_ = MakeEnvelopeBitmap(::GetSysColor(COLOR_BTNFACE));
  globe_ = MakeGlobeBitmap(::GetSysColor(COLOR_BTNFACE));
}

void TfrmAbout::MakeDpiResources() {
  font_ = MakeUiFont(dpi_);
  linkFont_ = MakeFont(::MulDiv(8, dpi_, 72), FW_NORMAL, true);
  nameFont_ = MakeFont(Scale(kNameHeight), FW_BOLD, false);
  programIcon_ = MakeAppIcon(Scale(32));
  SetAppIcons(dpi_);
}

void TfrmAbout::ApplyDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_)
    return;
  dpi_ = dpi;
  // The old fonts stay alive until every control has been given its new one.
  FontHandle oldFont = std::move(font_);
  FontHandle oldLinkFont = std::move(linkFont_);
  MakeDpiResources();
  PlaceLaidOutControls(Hwnd(), kLayout, nullptr, dpi_);
  for (const ControlLayout& layout : kLayout)
    Control(::GetDlgItem(Hwnd(), layout.id)).SetFont(IsLink(layout.id) ? linkFont_.Get() : font_.Get(), true);
  ::SetWindowPos(lblVersion_.Hwnd(), nullptr, Scale(OnPanelX(kVersionX)), Scale(OnPanelY(kVersionY)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Control(lblVersion_.Hwnd()).SetFont(font_.Get(), true);
  PlaceFreewareAfter(Hwnd(), lblVersion_.Hwnd(), dpi_);
  FitClientArea(Hwnd(), kAboutClientWidth, kAboutClientHeight, dpi_);
  ::InvalidateRect(Hwnd(), nullptr, TRUE);
}

TfrmAbout::~TfrmAbout() {
  // Before the fonts, icons and pictures it uses are released.
  if (Hwnd())
    ::DestroyWindow(Hwnd());
}

int TfrmAbout::Scale(int value) const {
  return ScaleToDpi(value, dpi_);
}

void TfrmAbout::CreateControls() {
  for (const ControlLayout& layout : kLayout) {
    HWND control =
        CreateLaidOutControl(Hwnd(), layout, IsLink(layout.id) ? linkFont_.Get() : font_.Get(), dpi_);
    if (IsLink(layout.id)) {
      ::SetWindowSubclass(control, &TfrmAbout::LinkProc, 0, reinterpret_cast<DWORD_PTR>(this));
    } else if (layout.id == kAboutBtnCredits) {
      ::SetWindowSubclass(control, &TfrmAbout::NoFocusButtonProc, 0, reinterpret_cast<DWORD_PTR>(this));
    }
  }
  lblVersion_.InfoCategory = TInfoCategory::icVersion;
  lblVersion_.ShortVsn = false;
  lblVersion_.Create(Hwnd(), Scale(OnPanelX(kVersionX)), Scale(OnPanelY(kVersionY)), true, kAboutLblVersion);
  Control(lblVersion_.Hwnd()).SetFont(font_.Get(), false);
  PlaceFreewareAfter(Hwnd(), lblVersion_.Hwnd(), dpi_);
}

void TfrmAbout::CentreOnOwnersScreen() {
  // The program's owner is its hidden application window: the window the user asked from is the
  // active one, and its screen is the one meant.
  HWND from = ::GetActiveWindow();
  if (!from || from == Hwnd())
    from = ::GetWindow(Hwnd(), GW_OWNER);
  MONITORINFO screen{};
  screen.cbSize = sizeof(screen);
  if (!::GetMonitorInfoA(::MonitorFromWindow(from, MONITOR_DEFAULTTONEAREST), &screen))
    return;
  const RECT& area = screen.rcWork;
  RECT window;
  ::GetWindowRect(Hwnd(), &window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  ::SetWindowPos(Hwnd(), nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int TfrmAbout::ShowModal() {
  CentreOnOwnersScreen();
  modalResult_ = 0;
  modal_ = true;
  {
    DisabledThreadWindows disabled(Hwnd(), ::GetWindow(Hwnd(), GW_OWNER));
    lastFocus_ = ::GetDlgItem(Hwnd(), kAboutOKButton);
    ::ShowWindow(Hwnd(), SW_SHOW);
    ::SetForegroundWindow(Hwnd());
    ::SetFocus(lastFocus_);
    MSG message;
    while (modalResult_ == 0) {
      const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
      if (got == 0) {
        // The program is ending: leave the quit request for the outer loop.
        ::PostQuitMessage(static_cast<int>(message.wParam));
        modalResult_ = IDCANCEL;
        break;
      }
      if (got == -1) {
        modalResult_ = IDCANCEL;
        break;
      }
      if (PreTranslateMessage(message))
        continue;
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
  }
  modal_ = false;
  ::ShowWindow(Hwnd(), SW_HIDE);
  return modalResult_;
}

bool TfrmAbout::PreTranslateMessage(MSG& message) {
  if (message.hwnd != Hwnd() && !::IsChild(Hwnd(), message.hwnd))
    return false;
  if (message.message == WM_KEYDOWN) {
    if (message.wParam == VK_ESCAPE) {
      FormKeyPress(VK_ESCAPE);
      return true;
    }
    if (message.wParam == VK_RETURN) {
      // The default button, whichever link field holds the focus.
      EndModal(IDOK);
      return true;
    }
  }
  return ::IsDialogMessageA(Hwnd(), &message) != FALSE;
}

void TfrmAbout::EndModal(int result) {
  if (modal_)
    modalResult_ = result;
}

void TfrmAbout::FormKeyPress(char key) {
  if (key == VK_ESCAPE)
    EndModal(IDCANCEL);
}

void TfrmAbout::lblE_mailClick() {
  shell_.Open(Hwnd(), std::string("mailto:") + kAboutEMail);
}

void TfrmAbout::lblHttpEuroClick() {
  shell_.Open(Hwnd(), std::string(kAboutHttpEuro) + "index.html");
}

void TfrmAbout::fldHttpUSAClick() {
  shell_.Open(Hwnd(), std::string(kAboutHttpUSA) + "index.html");
}

void TfrmAbout::btnCreditsClick() {
  const std::string text =
      std::string("Special thanks go to:\n\n") + kCreditsLine1 + "\n" + kCreditsLine2 + "\n" + kCreditsLine3;
  ::MessageBoxA(Hwnd(), text.c_str(), "Velmora", MB_OK);
}

void TfrmAbout::LinkClick(int id) {
  switch (id) {
    case kAboutLblEMail:
      lblE_mailClick();
      break;
    case kAboutLblHttpEuro:
      lblHttpEuroClick();
      break;
    case kAboutFldHttpUSA:
      fldHttpUSAClick();
      break;
    default:
      break;
  }
}

void TfrmAbout::Paint() {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(Hwnd(), &paint);

  RECT panel{Scale(kPanelX), Scale(kPanelY), Scale(kPanelX + kPanelWidth), Scale(kPanelY + kPanelHeight)};
  // Lowered outside, raised inside.
  ::DrawEdge(dc, &panel, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);

  RECT iconFrame{Scale(OnPanelX(12)), Scale(OnPanelY(12)), Scale(OnPanelX(12 + 49)),
                 Scale(OnPanelY(12 + 49))};
  ::DrawEdge(dc, &iconFrame, BDR_SUNKENOUTER, BF_RECT);
  ::DrawIconEx(dc, Scale(OnPanelX(20)), Scale(OnPanelY(20)), programIcon_.Get(), Scale(32), Scale(32), 0,
               nullptr, DI_NORMAL);

  // The purple copy first, then the fuchsia one 2 pixels up and left over it: a shadow. A
  // high-contrast theme gets its own text colour, which it keeps readable on its face colour.
  HGDIOBJ oldFont = ::SelectObject(dc, nameFont_.Get());
  ::SetBkMode(dc, TRANSPARENT);
  const bool highContrast = HighContrastOn();
  if (!highContrast) {
    ::SetTextColor(dc, kShadowColour);
    ::TextOutA(dc, Scale(OnPanelX(78)), Scale(OnPanelY(14)), kProductName, 7);
  }
  ::SetTextColor(dc, highContrast ? ::GetSysColor(COLOR_BTNTEXT) : kNameColour);
  ::TextOutA(dc, Scale(OnPanelX(76)), Scale(OnPanelY(12)), kProductName, 7);
  ::SelectObject(dc, oldFont);

  HDC pictures = ::CreateCompatibleDC(dc);
  if (pictures) {
    auto drawPicture = [&](HBITMAP picture, int x, int y, int width, int height) {
      HGDIOBJ old = ::SelectObject(pictures, picture);
      ::StretchBlt(dc, Scale(OnPanelX(x)), Scale(OnPanelY(y)), Scale(width), Scale(height), pictures, 0, 0,
                   width, height, SRCCOPY);
      ::SelectObject(pictures, old);
    };
    drawPicture(envelope_.Get(), 12, 80, 12, 8);
    drawPicture(globe_.Get(), 12, 98, 12, 12);
    drawPicture(globe_.Get(), 12, 117, 12, 12);
    ::DeleteDC(pictures);
  }

  RECT separator{Scale(OnPanelX(12)), Scale(OnPanelY(136)), Scale(OnPanelX(12 + 285)),
                 Scale(OnPanelY(136)) + 2};
  ::DrawEdge(dc, &separator, EDGE_ETCHED, BF_TOP);

  ::EndPaint(Hwnd(), &paint);
}

LRESULT TfrmAbout::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ACTIVATE:
      // A plain window does not remember its focused control as a dialog does: without this,
      // closing the Credits message box would leave the focus on the window itself.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(Hwnd(), focus))
          lastFocus_ = focus;
      } else {
        ::SetFocus(lastFocus_ && ::IsChild(Hwnd(), lastFocus_) ? lastFocus_
                                                               : ::GetDlgItem(Hwnd(), kAboutOKButton));
      }
      return 0;
    case WM_CTLCOLORSTATIC: {
      auto control = reinterpret_cast<HWND>(lParam);
      if (!IsLink(::GetDlgCtrlID(control)))
        break;
      auto dc = reinterpret_cast<HDC>(wParam);
      ::SetTextColor(dc, LinkColour());
      ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kAboutOKButton:
          EndModal(IDOK);
          return 0;
        case IDCANCEL:
          EndModal(IDCANCEL);
          return 0;
        case kAboutBtnCredits:
          if (HIWORD(wParam) == BN_CLICKED)
            btnCreditsClick();
          return 0;
        default:
          break;
      }
      break;
    case DM_GETDEFID:
      return MAKELRESULT(kAboutOKButton, DC_HASDEFID);
    case WM_CLOSE:  // the close box ends the modal showing; the window itself lives on
      EndModal(IDCANCEL);
      return 0;
    case WM_DPICHANGED:
      ApplyDpi(LOWORD(wParam));
      MoveToSuggestedPlace(Hwnd(), lParam);
      return 0;
    case WM_SYSCOLORCHANGE:
      MakePictures();
      ForwardSysColorChange(Hwnd(), {}, wParam, lParam);
      ::InvalidateRect(Hwnd(), nullptr, TRUE);
      return 0;
    default:
      break;
  }
  return BaseWindow::HandleMessage(message, wParam, lParam);
}

void TfrmAbout::ReportFailure(const char* what) {
  ::MessageBoxA(Hwnd(), what, "Velmora", MB_OK | MB_ICONERROR);
}

LRESULT CALLBACK
TfrmAbout::LinkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  auto* about = reinterpret_cast<TfrmAbout*>(self);
  bool defaultDone = false;  // the edit control has had the message already
  return about->StopExceptions(
      [&]() -> LRESULT {
        switch (message) {
          case WM_SETCURSOR:
            ::SetCursor(::LoadCursor(nullptr, IDC_HAND));
            return TRUE;
          case WM_LBUTTONUP: {
            const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
            defaultDone = true;
            about->LinkClick(::GetDlgCtrlID(hwnd));
            return result;
          }
          case WM_NCDESTROY:
            ::RemoveWindowSubclass(hwnd, &TfrmAbout::LinkProc, 0);
            break;
          default:
            break;
        }
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
      },
      [&]() -> LRESULT { return defaultDone ? 0 : ::DefSubclassProc(hwnd, message, wParam, lParam); });
}

// A push button that is pressed and released with the mouse like any other but never takes
// the keyboard focus, so Enter keeps pressing the OK button after a click on Credits.
LRESULT CALLBACK TfrmAbout::NoFocusButtonProc(HWND hwnd,
                                              UINT message,
                                              WPARAM wParam,
                                              LPARAM lParam,
                                              UINT_PTR,
                                              DWORD_PTR self) {
  return reinterpret_cast<TfrmAbout*>(self)->StopExceptions(
      [&]() -> LRESULT {
        auto inside = [hwnd](LPARAM point) {
          RECT client;
          ::GetClientRect(hwnd, &client);
          const POINT p{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
          return ::PtInRect(&client, p) != FALSE;
        };
        switch (message) {
          case WM_LBUTTONDOWN:
          case WM_LBUTTONDBLCLK:
            ::SetCapture(hwnd);
            ::SendMessageA(hwnd, BM_SETSTATE, TRUE, 0);
            return 0;
          case WM_MOUSEMOVE:
            if (::GetCapture() == hwnd)
              ::SendMessageA(hwnd, BM_SETSTATE, inside(lParam), 0);
            return 0;
          case WM_LBUTTONUP:
            if (::GetCapture() == hwnd) {
              const bool clicked = inside(lParam);
              ::ReleaseCapture();
              if (clicked) {
                ::SendMessageA(::GetParent(hwnd), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(hwnd), BN_CLICKED),
                               reinterpret_cast<LPARAM>(hwnd));
              }
            }
            return 0;
          case WM_CAPTURECHANGED:
            ::SendMessageA(hwnd, BM_SETSTATE, FALSE, 0);
            return 0;
          case WM_SETFOCUS: {
            // Focus arriving by any other road goes straight back.
            auto previous = reinterpret_cast<HWND>(wParam);
            ::SetFocus(previous && ::IsWindow(previous) ? previous
                                                        : ::GetDlgItem(::GetParent(hwnd), kAboutOKButton));
            return 0;
          }
          case WM_NCDESTROY:
            ::RemoveWindowSubclass(hwnd, &TfrmAbout::NoFocusButtonProc, 0);
            break;
          default:
            break;
        }
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
      },
      [&] { return ::DefSubclassProc(hwnd, message, wParam, lParam); });
}

}  // namespace velmora::win

// The about window in-process under Wine. Its modal loop is driven from a timer of the test's
// own thread (DialogDriver): keys are posted to the control that has the focus, texts are read
// back from the controls and from the Credits message box.
#include "windows/about_window.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/support/win32/control_placement.h"
#include "tests/support/win32/dialog_driver.h"
#include "tests/support/win32/executable_folder.h"
#include "tests/support/win32/recording_shell.h"
#include "tests/support/win32/stand_in_window.h"
#include "windows/layout_table.h"
#include "windows/ui_font.h"
#include "windows/version_view.h"

namespace velmora::win {
namespace {

using namespace velmora::testing;

class AboutWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // As the program does at start. This test program carries no version resource, so the
    // version label shows "Unknown" (its lookups are tested in windows_tests).
    LoadVersionBlock();
    owner_ = StandInWindow("Monitor stand-in", WS_OVERLAPPEDWINDOW, {300, 200});
    ASSERT_TRUE(owner_);
    about_ = std::make_unique<TfrmAbout>(owner_.Get(), shell_);
    ASSERT_TRUE(steps_.Created());
    // A loop that the steps fail to end is ended here, and the test fails.
    steps_.Deadline(10000, [this] {
      rescued_ = true;
      ::PostMessageA(about_->Hwnd(), WM_CLOSE, 0, 0);
    });
  }

  void TearDown() override { EXPECT_FALSE(rescued_) << "the steps did not end the modal loop"; }

  HWND Control(int id) const { return ::GetDlgItem(about_->Hwnd(), id); }

  void PressKey(WPARAM key) const { ::PostMessageA(::GetFocus(), WM_KEYDOWN, key, 1); }

  // The tick at which the driver notes the message box the last step opened and presses its OK.
  void ThenAnswerTheBox() {
    steps_.Then([] {});
  }

  RecordingShellOpener shell_;
  WindowHandle owner_;
  std::unique_ptr<TfrmAbout> about_;
  DialogDriver steps_{DialogDriver::Dialogs::kNotedAndOk, 40};
  bool rescued_ = false;
};

TEST_F(AboutWindowTest, EscapeOrEnterClosesWhicheverLinkHasTheFocus) {
  for (const int field : {kAboutLblEMail, kAboutLblHttpEuro, kAboutFldHttpUSA, kAboutOKButton}) {
    for (const auto& [key, closedWith] : {std::pair{VK_ESCAPE, IDCANCEL}, std::pair{VK_RETURN, IDOK}}) {
      SCOPED_TRACE(::testing::Message() << "key " << key << " on " << field);
      HWND focusSeen = nullptr;
      bool ownerEnabled = true;
      steps_.Then([&] { ::SetFocus(Control(field)); });
      steps_.Then([&] {
        focusSeen = ::GetFocus();
        ownerEnabled = ::IsWindowEnabled(owner_.Get()) != FALSE;
        PressKey(key);
      });
      const int result = about_->ShowModal();
      EXPECT_EQ(focusSeen, Control(field));
      EXPECT_FALSE(ownerEnabled) << "the owner stays usable while the window is modal";
      EXPECT_EQ(result, closedWith);
      EXPECT_FALSE(::IsWindowVisible(about_->Hwnd()));
      EXPECT_TRUE(::IsWindowEnabled(owner_.Get()));
    }
  }
  EXPECT_TRUE(shell_.calls.empty());
}

TEST_F(AboutWindowTest, OpensCentredWithTheFocusOnOK) {
  HWND focusSeen = nullptr;
  RECT window{};
  std::string version;
  steps_.Then([&] {
    focusSeen = ::GetFocus();
    ::GetWindowRect(about_->Hwnd(), &window);
    version = WindowText(Control(kAboutLblVersion));
    PressKey(VK_ESCAPE);
  });
  EXPECT_EQ(about_->ShowModal(), IDCANCEL);
  EXPECT_EQ(focusSeen, Control(kAboutOKButton));
  EXPECT_EQ(version, "Unknown");
  MONITORINFO screen{};
  screen.cbSize = sizeof(screen);
  ASSERT_TRUE(::GetMonitorInfoA(::MonitorFromWindow(owner_.Get(), MONITOR_DEFAULTTONEAREST), &screen));
  EXPECT_NEAR(window.left + window.right, screen.rcWork.left + screen.rcWork.right, 1);
  EXPECT_NEAR(window.top + window.bottom, screen.rcWork.top + screen.rcWork.bottom, 1);
}

TEST_F(AboutWindowTest, OKButtonAndCloseBoxEndIt) {
  steps_.Then([&] { ::PostMessageA(Control(kAboutOKButton), BM_CLICK, 0, 0); });
  EXPECT_EQ(about_->ShowModal(), IDOK);
  steps_.Then([&] { ::PostMessageA(about_->Hwnd(), WM_CLOSE, 0, 0); });
  EXPECT_EQ(about_->ShowModal(), IDCANCEL);
  EXPECT_TRUE(::IsWindow(about_->Hwnd()));  // closing only hides it
}

TEST_F(AboutWindowTest, TabGoesThroughTheLinksToOK) {
  std::vector<HWND> focus;
  for (int i = 0; i < 4; ++i) {
    steps_.Then([&] { PressKey(VK_TAB); });
    steps_.Then([&] { focus.push_back(::GetFocus()); });
  }
  steps_.Then([&] { PressKey(VK_ESCAPE); });
  about_->ShowModal();
  const std::vector<HWND> expected = {Control(kAboutLblEMail), Control(kAboutLblHttpEuro),
                                      Control(kAboutFldHttpUSA), Control(kAboutOKButton)};
  EXPECT_EQ(focus, expected);
}

TEST_F(AboutWindowTest, LinkClicksHandTheTargetsToTheShell) {
  for (int id : {kAboutLblEMail, kAboutLblHttpEuro, kAboutFldHttpUSA}) {
    steps_.Then([this, id] {
      ::SendMessageA(Control(id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
      ::SendMessageA(Control(id), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    });
  }
  steps_.Then([&] { PressKey(VK_ESCAPE); });
  EXPECT_EQ(about_->ShowModal(), IDCANCEL);  // a link opens, the window stays

  EXPECT_EQ(WindowText(Control(kAboutLblEMail)), "velmora@tarnek.invalid");
  EXPECT_EQ(WindowText(Control(kAboutLblHttpEuro)), "http://eu.tarnek.invalid/velmora/");
  EXPECT_EQ(WindowText(Control(kAboutFldHttpUSA)), "http://us.tarnek.invalid/velmora/");
  const std::vector<RecordingShellOpener::Call> expected = {
      {about_->Hwnd(), "mailto:velmora@tarnek.invalid"},
      {about_->Hwnd(), "http://eu.tarnek.invalid/velmora/index.html"},
      {about_->Hwnd(), "http://us.tarnek.invalid/velmora/index.html"},
  };
  EXPECT_EQ(shell_.calls, expected);
}

// A link click whose handler throws: the failure stops at the link's subclass procedure, shows
// in the window's error box, and the modal loop goes on.
TEST_F(AboutWindowTest, FailingLinkClickShowsTheErrorAndTheWindowStays) {
  shell_.failure = "No program opens this link";
  bool stillModal = false;
  steps_.Then([&] {
    ::PostMessageA(Control(kAboutLblHttpEuro), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    ::PostMessageA(Control(kAboutLblHttpEuro), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  });
  ThenAnswerTheBox();
  steps_.Then([&] {
    stillModal = ::IsWindowVisible(about_->Hwnd()) && !::IsWindowEnabled(owner_.Get());
    PressKey(VK_ESCAPE);
  });
  int result = 0;
  EXPECT_NO_THROW(result = about_->ShowModal()) << "the failure reached the modal loop";
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(steps_.seen, (std::vector<SeenBox>{{"Velmora", "No program opens this link", true}}));
  EXPECT_TRUE(stillModal);
  EXPECT_TRUE(shell_.calls.empty());
}

TEST_F(AboutWindowTest, CreditsMessageAndTheFocusStaysOnOK) {
  HWND focusAfter = nullptr;
  steps_.Then([&] { ::PostMessageA(Control(kAboutBtnCredits), BM_CLICK, 0, 0); });
  ThenAnswerTheBox();
  steps_.Then([&] {
    focusAfter = ::GetFocus();
    PressKey(VK_ESCAPE);
  });
  EXPECT_EQ(about_->ShowModal(), IDCANCEL);
  EXPECT_EQ(steps_.seen, (std::vector<SeenBox>{{"Velmora",
                                                "Special thanks go to:\n\n"
                                                "  The SETI client's makers, for the work units,\n"
                                                "  The testers of the early versions, for their reports,\n"
                                                "  Everyone who keeps a client running, for their patience.",
                                                true}}));
  EXPECT_EQ(focusAfter, Control(kAboutOKButton));
}

TEST_F(AboutWindowTest, CreditsButtonIsFlatAndNoTabStop) {
  EXPECT_EQ(::GetWindowLongPtrA(Control(kAboutBtnCredits), GWL_STYLE) & (BS_FLAT | WS_TABSTOP), BS_FLAT);
  EXPECT_EQ(WindowText(Control(kAboutBtnCredits)), "&Credits");
  const auto okStyle = static_cast<DWORD>(::GetWindowLongPtrA(Control(kAboutOKButton), GWL_STYLE));
  EXPECT_EQ(okStyle & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
  EXPECT_EQ(::SendMessageA(about_->Hwnd(), DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
}

TEST_F(AboutWindowTest, LinksAreReadOnlyBlueUnderlinedWithAHand) {
  for (const int link : {kAboutLblEMail, kAboutLblHttpEuro, kAboutFldHttpUSA}) {
    SCOPED_TRACE(link);
    HWND field = Control(link);
    EXPECT_EQ(::GetWindowLongPtrA(field, GWL_STYLE) & (ES_READONLY | WS_TABSTOP | WS_BORDER),
              ES_READONLY | WS_TABSTOP);
    EXPECT_FALSE(::GetWindowLongPtrA(field, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(ControlFont(field).lfUnderline);

    HDC dc = ::GetDC(field);
    const auto brush = reinterpret_cast<HBRUSH>(::SendMessageA(
        about_->Hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(field)));
    EXPECT_EQ(std::tuple(::GetTextColor(dc), ::GetBkColor(dc), brush),
              std::tuple(RGB(0, 0, 255), ::GetSysColor(COLOR_BTNFACE), ::GetSysColorBrush(COLOR_BTNFACE)));
    ::ReleaseDC(field, dc);

    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    ::SendMessageA(field, WM_SETCURSOR, reinterpret_cast<WPARAM>(field), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_HAND));
  }
}

TEST_F(AboutWindowTest, PlainLabelsKeepTheDefaultColours) {
  HWND label = Control(kAboutPromptEMail);
  HDC dc = ::GetDC(label);
  ::SendMessageA(about_->Hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(label));
  EXPECT_NE(::GetTextColor(dc), RGB(0, 0, 255));
  ::ReleaseDC(label, dc);
}

TEST_F(AboutWindowTest, FixedDialogFrameAroundItsLaidOutClientSize) {
  EXPECT_FALSE(::IsWindowVisible(about_->Hwnd()));
  EXPECT_EQ(WindowText(about_->Hwnd()), "About");
  ExpectFixedFrame(about_->Hwnd(), {kAboutClientWidth, kAboutClientHeight});
}

constexpr LaidOutControl kAboutPlaces[] = {{kAboutPromptVersion, "Version", 88, 56, 0, 0},
                                           {kAboutLblVersion, "Unknown", 128, 56, 0, 0},
                                           {kAboutFreeware, "Freeware", 176, 56, 0, 0},
                                           {kAboutPromptEMail, "e-mail", 40, 84, 0, 0},
                                           {kAboutLblEMail, nullptr, 116, 84, 0, 0},
                                           {kAboutPromptEuro, "WWW Europe:", 40, 104, 0, 0},
                                           {kAboutLblHttpEuro, nullptr, 116, 104, 0, 0},
                                           {kAboutPromptUSA, "WWW USA:", 40, 124, 0, 0},
                                           {kAboutFldHttpUSA, nullptr, 116, 124, 0, 0},
                                           {kAboutNotice, "Tarnek, 2026, Example Town", 20, 156, 0, 0},
                                           {kAboutBtnCredits, "&Credits", 260, 16, 0, 0},
                                           {kAboutOKButton, "OK", 123, 184, 0, 0}};

// The panel stands at (8, 8): the places are in the window.
TEST_F(AboutWindowTest, ControlsStandWhereTheLayoutSays) {
  for (const LaidOutControl& row : kAboutPlaces)
    ExpectLaidOut(about_->Hwnd(), row, ScreenDpi());
}

// The longest version a resource can hold, from a sample program built with it: the label
// holds all of it, "Freeware" stands after it, and both stay on the panel, at every dpi.
TEST_F(AboutWindowTest, LongestVersionIsShownWhole) {
  LoadVersionBlockOf(ExecutableFolder() + "version_sample_largest_parts.exe");
  about_ = std::make_unique<TfrmAbout>(owner_.Get(), shell_);
  HWND hwnd = about_->Hwnd();
  const std::string longest = "65535.65535.65535.65535";
  auto expectWhole = [&](int dpi) {
    HWND version = Control(kAboutLblVersion);
    ASSERT_EQ(WindowText(version), longest);
    const RECT label = RectIn(hwnd, version);
    EXPECT_EQ(label.left, ScaleToDpi(128, dpi));
    EXPECT_GE(label.right - label.left, TextWidth(version, longest)) << dpi;
    const RECT freeware = RectIn(hwnd, Control(kAboutFreeware));
    EXPECT_LE(label.right, freeware.left) << dpi;
    EXPECT_EQ(freeware.top, ScaleToDpi(56, dpi)) << dpi;
    // Inside the panel's bevel.
    EXPECT_LE(freeware.left + TextWidth(Control(kAboutFreeware), "Freeware"), ScaleToDpi(8 + 309, dpi) - 2)
        << dpi;
  };
  expectWhole(ScreenDpi());
  for (const int dpi : {192, 120, ScreenDpi()}) {
    RECT suggested{40, 30, 500, 400};
    ::SendMessageA(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    expectWhole(dpi);
  }
}

// Moved to a screen of another dpi, the window takes the layout at that dpi; moved back, it is
// as it was.
TEST_F(AboutWindowTest, FollowsAMoveToAScreenOfAnotherDpi) {
  ExpectFollowsDpiChanges(about_->Hwnd(), kAboutPlaces, {kAboutClientWidth, kAboutClientHeight});
}

}  // namespace
}  // namespace velmora::win

// The location details window in-process under Wine: its figures for no selection, for a
// folder with both client files and after another row was selected and the window activated
// again; Esc, Enter and Alt+C close it; its layout. The test stands in for the monitor window and
// answers the window's figure requests at once.
#include "monitor/win32/details_window.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/file_system.h"
#include "monitor/figure_texts.h"
#include "tests/gui/wait_for_reads.h"
#include "tests/support/client_folder_writer.h"
#include "tests/support/temp_folder.h"
#include "tests/support/win32/control_placement.h"
#include "tests/support/win32/message_counter.h"
#include "tests/support/win32/stand_in_window.h"
#include "tests/support/win32/status_reader.h"
#include "tests/support/win32/window_finders.h"
#include "windows/handles.h"
#include "windows/layout_table.h"
#include "windows/status_bar.h"
#include "windows/ui_font.h"

namespace velmora::win {
namespace {

using namespace velmora::testing;

class DetailsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_ = StandInWindow("Monitor stand-in", WS_OVERLAPPEDWINDOW, {300, 200});
    ASSERT_TRUE(owner_);
    details_ = std::make_unique<TfrmDetails>(
        owner_.Get(), [this] { details_->ShowFigures(ReadSelectedFigures(*fs_, selected_)); });
  }

  std::string Label(int id) const { return WindowText(::GetDlgItem(details_->Hwnd(), id)); }
  // The user's name and figures, then the unit's.
  std::vector<std::string> Figures() const {
    std::vector<std::string> texts;
    for (int id : {kDetailsLblUser, kDetailsLblUserTotUnits, kDetailsLblUserTotCPU, kDetailsLblUserAvgCPU,
                   kDetailsLblProgress, kDetailsLblTimeTotal, kDetailsLblTimeLeft})
      texts.push_back(Label(id));
    return texts;
  }

  std::string Status() const { return StatusText(::GetDlgItem(details_->Hwnd(), kDetailsSttBar), 0); }

  bool Visible() const { return ::IsWindowVisible(details_->Hwnd()) != FALSE; }

  // The program's event loop as far as the details window needs it.
  void Pump() {
    PumpMessagesThrough([this](MSG& message) { return details_->PreTranslateMessage(message); });
  }

  static void WriteBothFiles(const TempFolder& folder) {
    ClientFolderWriter(folder).Write(
        "", {.state = "ncfft=1\nprog=0.25\ncpu=3600\n",
             .userInfo = "id=7\nname=Example Team\nnresults=40\ntotal_cpu=63072000\n"});
  }

  std::unique_ptr<FileSystem> fs_ = MakePlatformFileSystem();
  std::optional<std::string> selected_;
  WindowHandle owner_;
  std::unique_ptr<TfrmDetails> details_;
};

TEST_F(DetailsWindowTest, IsCreatedHiddenAndOwned) {
  EXPECT_FALSE(Visible());
  EXPECT_EQ(::GetWindow(details_->Hwnd(), GW_OWNER), owner_.Get());
  EXPECT_EQ(WindowText(details_->Hwnd()), "Location details");
}

TEST_F(DetailsWindowTest, NewSystemColoursReachTheStatusBar) {
  const MessageCounter status(::GetDlgItem(details_->Hwnd(), kDetailsSttBar), WM_SYSCOLORCHANGE);
  ::SendMessageA(details_->Hwnd(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(status.Count(), 1);
}

TEST_F(DetailsWindowTest, NoRowSelectedShowsTheMessages) {
  details_->ShowAndActivate();
  ASSERT_TRUE(Visible());
  EXPECT_EQ(Status(), "No location marked!");
  EXPECT_EQ(Figures(), (std::vector<std::string>{"No user info found", "?", "?", "?",
                                                 "No progress info found", "?", "?"}));
}

TEST_F(DetailsWindowTest, FolderWithBothFilesShowsAllFigures) {
  TempFolder folder;
  WriteBothFiles(folder);
  selected_ = folder.ProgramPath();
  details_->ShowAndActivate();
  EXPECT_EQ(Status(), folder.ProgramPath());  // no leading blank, unlike the monitor window
  EXPECT_EQ(Figures(), (std::vector<std::string>{"Example Team", "40", "2.000 years", "438: 0", "25.00%",
                                                 " 4: 0", " 3: 0"}));
  // The group captions keep their names; the user's name has a label of its own.
  EXPECT_EQ(Label(kDetailsFrmUser), "User info");
  EXPECT_EQ(Label(kDetailsFrmUnit), "Working unit info");
}

TEST_F(DetailsWindowTest, AnotherRowShowsOnlyAfterTheNextActivation) {
  TempFolder first;
  WriteBothFiles(first);
  TempFolder second;
  ClientFolderWriter(second).Write("", {.state = "prog=0.5\ncpu=7200\n"});
  ::ShowWindow(owner_.Get(), SW_SHOW);

  selected_ = first.ProgramPath();
  details_->ShowAndActivate();
  ASSERT_EQ(Label(kDetailsLblUser), "Example Team");

  // The user selects another row in the monitor window: that window becomes the active one.
  ::SetForegroundWindow(owner_.Get());
  ::SetActiveWindow(owner_.Get());
  ASSERT_EQ(::GetActiveWindow(), owner_.Get());
  selected_ = second.ProgramPath();
  EXPECT_EQ(Label(kDetailsLblProgress), "25.00%");  // nothing changes until it is activated

  details_->ShowAndActivate();
  EXPECT_EQ(::GetActiveWindow(), details_->Hwnd());
  EXPECT_EQ(Status(), second.ProgramPath());
  EXPECT_EQ(Figures(),
            (std::vector<std::string>{"No user info found", "?", "?", "?", "50.00%", " 4: 0", " 2: 0"}));

  // Clicking back into the window (plain activation) refills it as well.
  selected_.reset();
  ::SetActiveWindow(owner_.Get());
  ::SetActiveWindow(details_->Hwnd());
  EXPECT_EQ(Status(), "No location marked!");
  EXPECT_EQ(Label(kDetailsLblProgress), "No progress info found");
}

// On the window or on the Close button, where activation puts the focus.
TEST_F(DetailsWindowTest, EscEnterAndAltCHideTheWindow) {
  HWND button = ::GetDlgItem(details_->Hwnd(), kDetailsBtnClose);
  for (const bool focusOnWindow : {false, true}) {
    for (const auto& [message, key] :
         {std::pair{UINT{WM_KEYDOWN}, WPARAM{VK_ESCAPE}}, std::pair{UINT{WM_KEYDOWN}, WPARAM{VK_RETURN}},
          std::pair{UINT{WM_SYSCHAR}, WPARAM{'c'}}}) {
      SCOPED_TRACE(::testing::Message()
                   << "key " << key << (focusOnWindow ? " on the window" : " on the button"));
      details_->ShowAndActivate();
      ASSERT_TRUE(Visible());
      EXPECT_EQ(::GetFocus(), button);
      if (focusOnWindow)
        ::SetFocus(details_->Hwnd());
      // Alt held: bit 29 of a WM_SYSCHAR's flags.
      ::PostMessageA(::GetFocus(), message, key, message == WM_SYSCHAR ? (1 | (1 << 29)) : 1);
      Pump();
      EXPECT_FALSE(Visible());
      EXPECT_TRUE(::IsWindow(details_->Hwnd()));
    }
  }
}

TEST_F(DetailsWindowTest, OtherKeysLeaveItOpenAndOtherWindowsAlone) {
  details_->ShowAndActivate();
  ::PostMessageA(::GetFocus(), WM_KEYDOWN, 'A', 1);
  ::PostMessageA(::GetFocus(), WM_SYSCHAR, 'x', 1 | (1 << 29));
  Pump();
  EXPECT_TRUE(Visible());
  MSG elsewhere{owner_.Get(), WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
  EXPECT_FALSE(details_->PreTranslateMessage(elsewhere));
  EXPECT_TRUE(Visible());
}

TEST_F(DetailsWindowTest, CloseButtonAndCloseBoxOnlyHide) {
  details_->ShowAndActivate();
  ::SendMessageA(::GetDlgItem(details_->Hwnd(), kDetailsBtnClose), BM_CLICK, 0, 0);
  EXPECT_FALSE(Visible());
  details_->ShowAndActivate();
  ASSERT_TRUE(Visible());
  ::SendMessageA(details_->Hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(Visible());
  EXPECT_TRUE(::IsWindow(details_->Hwnd()));
}

TEST_F(DetailsWindowTest, FixedAlwaysOnTopFrame) {
  ExpectFixedFrame(details_->Hwnd(), {kDetailsClientWidth, kDetailsClientHeight});
  EXPECT_TRUE(::GetWindowLongPtrA(details_->Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(::GetWindowLongPtrA(details_->Hwnd(), GWL_STYLE) & WS_CAPTION);
}

// Nothing covers another control, and every one stays in the window.
TEST_F(DetailsWindowTest, ControlsKeepApart) {
  ExpectControlsKeepApart(details_->Hwnd());
}

// In z-order, the order screen readers walk them in: each group box, then every prompt with its
// value.
constexpr LaidOutControl kDetailsPlaces[] = {
    {kDetailsBtnClose, "&Close", 276, 16, 67, 25},
    {kDetailsFrmUser, "User info", 12, 12, 253, 105},
    {kDetailsPromptUser, "User:", 32, 32, 0, 0},
    {kDetailsLblUser, nullptr, 132, 32, 0, 0},
    {kDetailsPromptTotUnits, "Total units:", 32, 52, 0, 0},
    {kDetailsLblUserTotUnits, nullptr, 132, 52, 0, 0},
    {kDetailsPromptTotCPU, "Total CPU time:", 32, 72, 0, 0},
    {kDetailsLblUserTotCPU, nullptr, 132, 72, 0, 0},
    {kDetailsPromptAvgCPU, "Average CPU time:", 32, 92, 0, 0},
    {kDetailsLblUserAvgCPU, nullptr, 132, 92, 0, 0},
    {kDetailsFrmUnit, "Working unit info", 12, 128, 253, 85},
    {kDetailsPromptProgress, "Progress:", 28, 148, 0, 0},
    {kDetailsLblProgress, nullptr, 132, 148, 0, 0},
    {kDetailsPromptTimeTotal, "Estimated total time:", 28, 168, 0, 0},
    {kDetailsLblTimeTotal, nullptr, 132, 168, 0, 0},
    {kDetailsPromptTimeLeft, "Time left:", 28, 188, 0, 0},
    {kDetailsLblTimeLeft, nullptr, 132, 188, 0, 0},
    {kDetailsSttBar, nullptr, 0, 226, 352, 19}};

TEST_F(DetailsWindowTest, ControlsStandWhereTheLayoutSays) {
  for (const LaidOutControl& row : kDetailsPlaces) {
    ExpectLaidOut(details_->Hwnd(), row, ScreenDpi());
    if (row.height) {
      const RECT place = RectIn(details_->Hwnd(), ::GetDlgItem(details_->Hwnd(), row.id));
      EXPECT_EQ(place.bottom - place.top, ScreenPx(row.height)) << row.id;
    }
  }
}

TEST_F(DetailsWindowTest, ReadsEachValueAfterItsPrompt) {
  std::vector<int> walked, laidOut;
  for (HWND child : Children(details_->Hwnd()))
    walked.push_back(::GetDlgCtrlID(child));
  for (const LaidOutControl& row : kDetailsPlaces)
    laidOut.push_back(row.id);
  EXPECT_EQ(walked, laidOut);
}

// Moved to a screen of another dpi, the window takes the layout at that dpi; moved back, it is
// as it was.
TEST_F(DetailsWindowTest, FollowsAMoveToAScreenOfAnotherDpi) {
  ExpectFollowsDpiChanges(details_->Hwnd(), kDetailsPlaces, {kDetailsClientWidth, kDetailsClientHeight});
}

TEST_F(DetailsWindowTest, CloseIsTheDefaultButton) {
  HWND button = ::GetDlgItem(details_->Hwnd(), kDetailsBtnClose);
  const auto style = static_cast<DWORD>(::GetWindowLongPtrA(button, GWL_STYLE));
  EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
}

TEST_F(DetailsWindowTest, StatusLineHasOnePart) {
  StatusBar bar(::GetDlgItem(details_->Hwnd(), kDetailsSttBar));
  EXPECT_EQ(bar.PartCount(), 1);
}

}  // namespace
}  // namespace velmora::win

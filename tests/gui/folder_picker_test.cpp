// The folder picker with the shell's real dialog: a timer of the test's own thread finds the
// dialog while BrowseForFolder waits in it, reads what it shows, moves the selection the way a
// user would and presses OK or Cancel.
#include "windows/folder_picker.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/support/win32/control_placement.h"
#include "tests/support/win32/dialog_driver.h"
#include "tests/support/win32/stand_in_window.h"
#include "tests/support/win32/tree_reader.h"
#include "windows/app_window.h"
#include "windows/handles.h"
#include "windows/ole_session.h"
#include "windows/window_base.h"

namespace velmora::win {
namespace {

using velmora::testing::TempFolder;

// Control identifiers inside the shell's folder dialog, beside its tree's.
constexpr int kTitleId = 0x3742;
constexpr int kStatusId = 0x3743;

constexpr UINT kTickMilliseconds = 50;
// How long the driver waits for the dialog before it cancels whatever dialog is open.
constexpr UINT kGiveUpMilliseconds = 20000;

// What the dialog showed when the driver first found it open.
struct DialogView {
  bool seen = false;
  std::string title;
  std::string status;
  bool statusVisible = false;
  std::string treeTop;
  std::string treeSelection;
};

DialogView ViewOf(HWND dialog) {
  HWND tree = ::GetDlgItem(dialog, testing::kFolderDialogTreeId);
  return {true,
          WindowText(::GetDlgItem(dialog, kTitleId)),
          WindowText(::GetDlgItem(dialog, kStatusId)),
          ::IsWindowVisible(::GetDlgItem(dialog, kStatusId)) != FALSE,
          testing::TreeItemText(tree, TVGN_ROOT),
          testing::TreeItemText(tree, TVGN_CARET)};
}

// Wine's dialog finds a folder in its tree by comparing item lists byte for byte, and a folder's
// item list carries its last-access time in 2 s steps. With relatime, reading a folder that changed
// since its last read moves that time, so the dialog's own reading between parsing a path and
// walking its tree can make the two lists disagree now and then. Reading every folder involved
// beforehand leaves the dialog nothing to move.
void SettleAccessTimes(const std::filesystem::path& top) {
  namespace fs = std::filesystem;
  std::error_code error;
  for (fs::recursive_directory_iterator it(top, error), end; !error && it != end; it.increment(error)) {
  }
  for (fs::path folder = top; !folder.empty(); folder = folder.parent_path()) {
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    }
    if (folder == folder.root_path())
      break;
  }
}

void Select(HWND dialog, const std::string& folder) {
  ::SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
}

struct BrowseOutcome {
  bool result = false;
  std::string path;
  DialogView view;
  bool answered = false;
};

class FolderPickerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ole_.Initialised());
    ASSERT_TRUE(app_.Create("Velmora"));
    monitor_ = OwnedWindow(WS_EX_APPWINDOW, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_TRUE(monitor_);
    folder_.MakeFolder("client one");
  }

  // Opens the picker on `initialFolder`. On the first tick that finds it open, what it shows is
  // noted and `whileOpen` runs (it may move the selection); on the next, `button` is pressed.
  BrowseOutcome Browse(const std::string& initialFolder,
                       int button,
                       std::function<void(HWND)> whileOpen = {}) {
    BrowseOutcome outcome;
    outcome.path = "left over from before";
    testing::DialogDriver driver(
        [&](HWND dialog) {
          if (::GetWindow(dialog, GW_OWNER) != app_.Hwnd())
            return false;
          if (!outcome.view.seen) {
            outcome.view = ViewOf(dialog);
            if (whileOpen)
              whileOpen(dialog);
            return false;
          }
          ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                         reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
          outcome.answered = true;
          return true;
        },
        kTickMilliseconds);
    if (!driver.Created()) {
      ADD_FAILURE() << "the dialog driver's window could not be created";
      return outcome;
    }
    driver.Deadline(kGiveUpMilliseconds, [] {
      if (HWND stray = ::FindWindowA("#32770", nullptr))
        ::PostMessageA(stray, WM_COMMAND, IDCANCEL, 0);
    });
    SettleAccessTimes(folder_.Path());
    outcome.result = BrowseForFolder(app_.Hwnd(), "Select the SETI working folder", initialFolder, root_,
                                     statusText_, outcome.path);
    EXPECT_TRUE(outcome.answered) << "the dialog was never found open";
    return outcome;
  }

  // Table texts may start with "<client>", which stands for the client folder's path.
  std::string Expand(const char* text) const {
    const std::string value = text;
    const std::string marker = "<client>";
    if (value.rfind(marker, 0) != 0)
      return value;
    return client_ + value.substr(marker.size());
  }

  OleSession ole_;
  TempFolder folder_;
  const std::string client_ = folder_.ProgramPath("client one");
  bool statusText_ = false;
  std::wstring root_;
  // A plain top-level window owned by the application's: the stand-in for the monitor window and
  // for other program windows.
  WindowHandle OwnedWindow(DWORD exStyle, DWORD style) const {
    return testing::StandInWindow("Velmora monitor", style, {320, 200}, app_.Hwnd(), exStyle);
  }

  AppWindow app_;
  WindowHandle monitor_;
};

TEST_F(FolderPickerTest, ShowsTheTitleAboveTheTree) {
  const BrowseOutcome outcome =
      Browse(folder_.ProgramPath(), IDCANCEL, [](HWND dialog) { testing::ExpectControlsKeepApart(dialog); });
  EXPECT_EQ(outcome.view.title, "Select the SETI working folder");
}

// As given and with a trailing backslash.
TEST_F(FolderPickerTest, OpensOnTheInitialFolderAndConfirmingUnchangedReturnsIt) {
  for (const char* suffix : {"", "\\"}) {
    SCOPED_TRACE(suffix);
    const BrowseOutcome outcome = Browse(client_ + suffix, IDOK);
    EXPECT_EQ(outcome.view.treeSelection, "client one");
    EXPECT_TRUE(outcome.result);
    EXPECT_EQ(outcome.path, client_);
  }
}

TEST_F(FolderPickerTest, StatusLineStartsWithTheInitialFolderWithoutItsBackslash) {
  struct StatusCase {
    const char* name;
    bool statusText;
    const char* initialFolder;
    bool expectVisible;
    const char* expectStatus;
  };
  const StatusCase cases[] = {{"Folder", true, "<client>", true, "<client>"},
                              {"FolderWithBackslash", true, "<client>\\", true, "<client>"},
                              {"DriveRoot", true, "C:\\", true, "C:"},
                              {"Empty", true, "", true, ""},
                              {"FlagOff", false, "<client>", false, "<client>"}};
  for (const StatusCase& row : cases) {
    SCOPED_TRACE(row.name);
    statusText_ = row.statusText;
    const BrowseOutcome outcome = Browse(Expand(row.initialFolder), IDCANCEL);
    EXPECT_EQ(outcome.view.statusVisible, row.expectVisible);
    EXPECT_EQ(outcome.view.status, Expand(row.expectStatus));
  }
}

TEST_F(FolderPickerTest, StatusLineFollowsTheSelection) {
  folder_.MakeFolder("client two");
  const std::string other = folder_.ProgramPath("client two");
  std::string statusAfterMove;
  statusText_ = true;
  const BrowseOutcome outcome = Browse(client_, IDCANCEL, [&](HWND dialog) {
    Select(dialog, other);
    statusAfterMove = ViewOf(dialog).status;
  });
  EXPECT_EQ(outcome.view.status, client_);
  EXPECT_EQ(statusAfterMove, other);
}

// A drive's root keeps its backslash.
TEST_F(FolderPickerTest, WithNoInitialFolderReturnsTheFolderSelected) {
  for (const auto& [selected, expectPath] :
       {std::pair{"<client>", "<client>"}, std::pair{"<client>\\", "<client>"}, std::pair{"C:\\", "C:\\"}}) {
    SCOPED_TRACE(selected);
    const std::string folder = Expand(selected);
    const BrowseOutcome outcome = Browse("", IDOK, [&](HWND dialog) { Select(dialog, folder); });
    EXPECT_TRUE(outcome.result);
    EXPECT_EQ(outcome.path, Expand(expectPath));
  }
}

TEST_F(FolderPickerTest, CancellingReturnsFalseAndAnEmptyPath) {
  const BrowseOutcome outcome = Browse(client_, IDCANCEL, [&](HWND dialog) { Select(dialog, "C:\\"); });
  EXPECT_FALSE(outcome.result);
  EXPECT_EQ(outcome.path, "");
}

// The client folder's parent, and a root that cannot be parsed: the top of the namespace.
TEST_F(FolderPickerTest, TreeStartsAtTheParsedRoot) {
  const std::string parent = folder_.ProgramPath();
  for (const auto& [root, expectTop] :
       {std::pair{std::filesystem::path(parent).wstring(), parent.substr(parent.find_last_of('\\') + 1)},
        std::pair{std::wstring(L"Q:\\no such folder"), std::string("Desktop")}}) {
    SCOPED_TRACE(expectTop);
    root_ = root;
    const BrowseOutcome outcome = Browse(client_, IDOK);
    EXPECT_EQ(outcome.view.treeTop, expectTop);
    EXPECT_TRUE(outcome.result);
    EXPECT_EQ(outcome.path, client_);
  }
}

// Confirmed and cancelled: the monitor is disabled while the dialog is open; a window disabled
// before stays disabled and a hidden one is left enabled throughout.
TEST_F(FolderPickerTest, ShownWindowsAreDisabledWhileOpenAndOnlyTheyAreEnabledAfterwards) {
  for (const int button : {IDOK, IDCANCEL}) {
    SCOPED_TRACE(button);
    const WindowHandle alreadyDisabled = OwnedWindow(0, WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_DISABLED);
    const WindowHandle hidden = OwnedWindow(0, WS_OVERLAPPEDWINDOW);
    ASSERT_TRUE(alreadyDisabled && hidden);
    bool monitorEnabledWhileOpen = true;
    bool hiddenEnabledWhileOpen = false;
    const BrowseOutcome outcome = Browse(folder_.ProgramPath(), button, [&](HWND) {
      monitorEnabledWhileOpen = ::IsWindowEnabled(monitor_.Get());
      hiddenEnabledWhileOpen = ::IsWindowEnabled(hidden.Get());
    });
    EXPECT_EQ(outcome.result, button == IDOK);
    EXPECT_FALSE(monitorEnabledWhileOpen);
    EXPECT_TRUE(::IsWindowEnabled(monitor_.Get()));
    EXPECT_FALSE(::IsWindowEnabled(alreadyDisabled.Get()));
    EXPECT_TRUE(hiddenEnabledWhileOpen);
    EXPECT_TRUE(::IsWindowEnabled(hidden.Get()));
  }
}

TEST_F(FolderPickerTest, WindowActiveBeforeIsActiveAfterwards) {
  for (const int button : {IDOK, IDCANCEL}) {
    ::SetActiveWindow(monitor_.Get());
    ASSERT_EQ(::GetActiveWindow(), monitor_.Get());
    Browse(folder_.ProgramPath(), button);
    EXPECT_EQ(::GetActiveWindow(), monitor_.Get()) << button;
  }
}

// The callback on its own, with a plain window in the dialog's place that keeps the messages sent
// to it.
struct SentMessage {
  UINT message;
  WPARAM wParam;
  std::string text;  // lParam read as a string

  bool operator==(const SentMessage&) const = default;
};

void PrintTo(const SentMessage& sent, std::ostream* out) {
  *out << "{" << sent.message << ", " << sent.wParam << ", \"" << sent.text << "\"}";
}

class RecordingDialog final : public BaseWindow {
 public:
  bool Create() { return CreateBound({.className = "VelmoraPickerTestRecorder", .style = WS_POPUP}); }
  const std::vector<SentMessage>& Received() const { return received_; }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message >= WM_USER) {
      received_.push_back({message, wParam, lParam ? reinterpret_cast<const char*>(lParam) : "(null)"});
      return 0;
    }
    return BaseWindow::HandleMessage(message, wParam, lParam);
  }

  std::vector<SentMessage> received_;
};

struct ItemListFree {
  void operator()(ITEMIDLIST* list) const { ::ILFree(list); }
};
using ItemList = std::unique_ptr<ITEMIDLIST, ItemListFree>;

class BrowseCallbackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ole_.Initialised());
    ASSERT_TRUE(dialog_.Create());
  }

  OleSession ole_;
  RecordingDialog dialog_;
};

TEST_F(BrowseCallbackTest, InitializedSelectsThenShowsTheInitialFolder) {
  const std::string initial = "C:\\seti";
  const int result =
      BrowseCallback(dialog_.Hwnd(), BFFM_INITIALIZED, 0, reinterpret_cast<LPARAM>(initial.c_str()));
  EXPECT_EQ(result, 0);
  const std::vector<SentMessage> expected = {{BFFM_SETSELECTIONA, 1, "C:\\seti"},
                                             {BFFM_SETSTATUSTEXTA, 0, "C:\\seti"}};
  EXPECT_EQ(dialog_.Received(), expected);
}

// A folder's path is shown; a virtual folder (the computer) has none and leaves the line as it is.
TEST_F(BrowseCallbackTest, SelectionOfAFolderShowsItsPathAndOfAVirtualFolderNothing) {
  TempFolder folder;
  ITEMIDLIST* computer = nullptr;
  ASSERT_EQ(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer), S_OK);
  const ItemList virtualFolder(computer);
  const ItemList realFolder(::ILCreateFromPathA(folder.ProgramPath().c_str()));
  ASSERT_TRUE(realFolder);
  for (const ITEMIDLIST* selected : {virtualFolder.get(), realFolder.get()})
    EXPECT_EQ(BrowseCallback(dialog_.Hwnd(), BFFM_SELCHANGED, reinterpret_cast<LPARAM>(selected),
                             reinterpret_cast<LPARAM>("C:\\seti")),
              0);
  const std::vector<SentMessage> expected = {{BFFM_SETSTATUSTEXTA, 0, folder.ProgramPath()}};
  EXPECT_EQ(dialog_.Received(), expected);
}

TEST_F(BrowseCallbackTest, OtherMessageSendsNothingAndReturnsZero) {
  for (const UINT message : {0u, UINT{BFFM_VALIDATEFAILEDA}, UINT{BFFM_VALIDATEFAILEDW}, UINT{BFFM_IUNKNOWN},
                             UINT{WM_USER}, UINT{BFFM_SETSELECTIONA}}) {
    EXPECT_EQ(BrowseCallback(dialog_.Hwnd(), message, 0, reinterpret_cast<LPARAM>("C:\\seti")), 0) << message;
    EXPECT_TRUE(dialog_.Received().empty()) << message;
  }
}

}  // namespace
}  // namespace velmora::win

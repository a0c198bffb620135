// What the monitor window's GUI tests share: the window created in-process over real temporary
// client folders, a settings store in memory and a shell that only records; readers for what
// the controls show; and a driver that answers message boxes from a timer of the test's thread.
// The folders are read through a probe that can hold a chosen folder, as a share that does not
// answer would; the helpers below wait for the reading threads' answers as the event loop would
// deliver them.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/file_system.h"
#include "monitor/win32/main_window.h"
#include "tests/gui/thread_dialogs.h"
#include "tests/gui/wait_for_reads.h"
#include "tests/support/client_folder_writer.h"
#include "tests/support/memory_settings_store.h"
#include "tests/support/probe_file_system.h"
#include "tests/support/temp_folder.h"
#include "tests/support/win32/status_reader.h"
#include "tests/support/win32/table_reader.h"
#include "windows/app_window.h"
#include "windows/handles.h"
#include "windows/shell_open.h"
#include "windows/window_base.h"

namespace velmora::testing {

class RecordingShellOpener final : public win::ShellOpener {
 public:
  struct Call {
    HWND owner;
    std::string target;
  };
  void Open(HWND owner, const std::string& target) override { calls.push_back({owner, target}); }
  std::vector<Call> calls;
};

// The notification area as the window speaks to it (Wine's tray cannot be read back).
class RecordingTrayShell final : public win::TrayShell {
 public:
  struct Call {
    DWORD message;
    UINT flags;
    std::string tip;
    std::string info;
  };
  bool Notify(DWORD message, NOTIFYICONDATAA& data) override {
    if (refuse)  // no taskbar yet, as at logon
      return false;
    calls.push_back({message, data.uFlags, data.szTip, data.szInfo});
    return true;
  }
  bool refuse = false;
  // The icon is there: added, and not deleted since.
  bool Shown() const {
    bool shown = false;
    for (const Call& call : calls) {
      if (call.message == NIM_ADD)
        shown = true;
      if (call.message == NIM_DELETE)
        shown = false;
    }
    return shown;
  }
  std::string Tip() const {
    std::string tip;
    for (const Call& call : calls) {
      if ((call.message == NIM_ADD || call.message == NIM_MODIFY) && (call.flags & NIF_TIP))
        tip = call.tip;
    }
    return tip;
  }
  std::vector<std::string> Balloons() const {
    std::vector<std::string> texts;
    for (const Call& call : calls) {
      if (call.message == NIM_MODIFY && (call.flags & NIF_INFO))
        texts.push_back(call.info);
    }
    return texts;
  }
  std::vector<Call> calls;
};

// Texts of what a message box showed.
struct SeenBox {
  std::string caption;
  std::string text;
};

// Answers every dialog of this thread (a "#32770" window: message boxes, the folder picker) from
// a timer: by default notes a message box's caption and text and presses OK. `answer`, when
// given, is called instead on every tick until it returns true (a dialog may need a tick to
// settle before it is answered). Live while `this` exists.
class DialogDriver final : public win::BaseWindow {
 public:
  explicit DialogDriver(std::function<bool(HWND)> answer = {}) : answer_(std::move(answer)) {
    const WNDCLASSEXA wc{};
    CreateBound("VelmoraTestDialogDriver", wc, 0, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr);
    ::SetTimer(Hwnd(), 1, 30, nullptr);
  }
  std::vector<SeenBox> seen;

  static SeenBox ReadMessageBox(HWND box) {
    SeenBox noted{win::WindowText(box), {}};
    // The text is the static control that has text (the icon's static has none).
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
      char className[16] = {};
      ::GetClassNameA(child, className, sizeof(className));
      const std::string text = win::WindowText(child);
      if (::lstrcmpiA(className, "Static") == 0 && !text.empty())
        noted.text = text;
    }
    return noted;
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_TIMER) {
      AnswerOpenDialogs();
      return 0;
    }
    return BaseWindow::HandleMessage(message, wParam, lParam);
  }

 private:
  void AnswerOpenDialogs() {
    const std::vector<HWND> dialogs = VisibleThreadDialogs();
    for (HWND dialog : dialogs) {
      if (std::find(answered_.begin(), answered_.end(), dialog) != answered_.end())
        continue;
      if (answer_) {
        if (answer_(dialog))
          answered_.push_back(dialog);
      } else {
        answered_.push_back(dialog);
        seen.push_back(ReadMessageBox(dialog));
        ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
      }
    }
  }

  std::function<bool(HWND)> answer_;
  std::vector<HWND> answered_;
};

// Counts the messages of one kind a control receives, for as long as `this` lives.
class MessageCounter {
 public:
  MessageCounter(HWND control, UINT counted) : control_(control), counted_(counted) {
    ::SetWindowSubclass(control_, &MessageCounter::Proc, reinterpret_cast<UINT_PTR>(this),
                        reinterpret_cast<DWORD_PTR>(this));
  }
  ~MessageCounter() {
    ::RemoveWindowSubclass(control_, &MessageCounter::Proc, reinterpret_cast<UINT_PTR>(this));
  }
  MessageCounter(const MessageCounter&) = delete;
  MessageCounter& operator=(const MessageCounter&) = delete;

  int Count() const { return count_; }
  WPARAM LastWParam() const { return lastWParam_; }

 private:
  static LRESULT CALLBACK
  Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    auto* counter = reinterpret_cast<MessageCounter*>(self);
    if (message == counter->counted_) {
      ++counter->count_;
      counter->lastWParam_ = wParam;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
  }

  HWND control_;
  UINT counted_;
  int count_ = 0;
  WPARAM lastWParam_ = 0;
};

// The WM_PAINT messages a control receives.
class PaintCounter {
 public:
  explicit PaintCounter(HWND control) : counter_(control, WM_PAINT) {}
  int Paints() const { return counter_.Count(); }

 private:
  MessageCounter counter_;
};

// Local clients beside a share that answers slowly or not at all: each 50 % into a unit, with
// seven results.
inline constexpr const char* kLocalClients[] = {"local0", "local1", "local2", "local3"};

class MainWindowTest : public ::testing::Test {
 protected:
  ~MainWindowTest() override {
    // The window first; then a thread still held by the probe may finish.
    window_.reset();
    probe_->ReleaseAll();
  }

  // Creates the window (hidden), runs its start-up and waits for the first pass's answers.
  TfrmMain& Open(std::string appDir, HWND owner = nullptr) {
    TfrmMain& window = OpenWithoutWaiting(std::move(appDir), owner);
    EXPECT_TRUE(WaitForReads(window));
    return window;
  }
  TfrmMain& OpenWithoutWaiting(std::string appDir, HWND owner = nullptr) {
    window_ = std::make_unique<TfrmMain>(
        MainWindowServices{probe_, settings_, shell_, owner, std::move(appDir), {}, &tray_});
    EXPECT_TRUE(window_->Create());
    return *window_;
  }
  TfrmMain& Open() { return Open(appFolder_.ProgramPath() + "\\"); }
  // The program's own arrangement: the window owned by the hidden application window.
  TfrmMain& OpenOwned() {
    EXPECT_TRUE(application_.Create("Velmora"));
    return Open(appFolder_.ProgramPath() + "\\", application_.Hwnd());
  }
  void Close() { window_.reset(); }

  // A client folder below the clients' temporary folder, with a trailing "\\".
  std::string MakeClient(const std::string& name, const ClientFiles& files) {
    return writer_.Write(name, files) + "\\";
  }
  std::string ClientPath(const std::string& name) const { return clients_.ProgramPath(name) + "\\"; }
  void WriteClientFile(const std::string& relative, const std::string& contents) {
    writer_.WriteFile(relative, contents);
  }

  // The window, shown and polling every second, over `stored` followed by the local clients;
  // it waits for no read.
  TfrmMain& OpenBesideLocalClients(std::vector<std::pair<std::string, bool>> stored) {
    for (const char* name : kLocalClients)
      stored.emplace_back(
          MakeClient(name, {.state = "prog=0.5\ncpu=60\n", .userInfo = "nresults=7\n", .workUnit = "unit"}),
          true);
    StoreLocations(stored);
    settings_.SetText("Defaults", "PollInterval", "1");
    TfrmMain& window = OpenWithoutWaiting(appFolder_.ProgramPath() + "\\");
    window.Show(SW_SHOWNORMAL);
    return window;
  }
  // Every local client's row shows a unit in work at `progress`.
  bool LocalClientsShow(const std::string& progress) const;

  // Stored locations as LoadSettings reads them.
  void StoreLocations(const std::vector<std::pair<std::string, bool>>& rows) {
    settings_.SetText("Locations", "Count", std::to_string(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i)
      settings_.SetText("Locations", LocationKey(i), rows[i].first + (rows[i].second ? ",1" : ",0"));
  }

  TempFolder appFolder_;
  TempFolder clients_;
  ClientFolderWriter writer_{clients_};
  std::shared_ptr<ProbeFileSystem> probe_ = std::make_shared<ProbeFileSystem>(MakePlatformFileSystem());
  MemorySettingsStore settings_;
  RecordingShellOpener shell_;
  RecordingTrayShell tray_;
  win::AppWindow application_;
  std::unique_ptr<TfrmMain> window_;  // last: destroyed (and saved) before what it uses
};

inline bool MenuChecked(HMENU menu, UINT id) {
  return (::GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// `child`'s rectangle in its parent's client coordinates.
inline RECT RectInParent(HWND child) {
  RECT rect{};
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(HWND_DESKTOP, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Delivers whatever is waiting in the thread's queue.
inline void PumpMessages() {
  MSG message{};
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

// Sets a file's last-write time to a local date and time (the tests run with TZ=UTC).
inline void SetFileTimeTo(const std::string& path, WORD year, WORD month, WORD day, WORD hour, WORD minute) {
  SYSTEMTIME local{year, month, 0, day, hour, minute, 0, 0};
  FILETIME localTime{};
  FILETIME utcTime{};
  ::SystemTimeToFileTime(&local, &localTime);
  ::LocalFileTimeToFileTime(&localTime, &utcTime);
  const win::FileHandle file(::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file) << path;
  ASSERT_TRUE(::SetFileTime(file.Get(), nullptr, nullptr, &utcTime)) << path;
}

inline bool MainWindowTest::LocalClientsShow(const std::string& progress) const {
  HWND table = window_->Controls().lvMain;
  return std::all_of(std::begin(kLocalClients), std::end(kLocalClients), [&](const char* name) {
    const int row = RowOf(table, ClientPath(name));
    return row >= 0 && ItemText(table, row, 1) == progress && ItemText(table, row, 2) == "+";
  });
}

}  // namespace velmora::testing

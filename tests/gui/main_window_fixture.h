// What the monitor window's GUI tests share: the window created in-process over real temporary
// client folders, a settings store in memory and a shell that only records; readers for what
// the controls show.
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
#include "tests/gui/wait_for_reads.h"
#include "tests/support/memory_settings_store.h"
#include "tests/support/probe_file_system.h"
#include "tests/support/temp_folder.h"
#include "tests/support/win32/control_placement.h"
#include "tests/support/win32/dialog_driver.h"
#include "tests/support/win32/message_counter.h"
#include "tests/support/win32/recording_shell.h"
#include "windows/app_window.h"
#include "windows/handles.h"
#include "windows/window_base.h"

namespace velmora::testing {

// A client working folder written by the test.
struct ClientFiles {
  const char* state = nullptr;  // contents of state.sah, or none
  const char* userInfo = nullptr;
  bool workUnit = false;
  bool result = false;
  bool tempResult = false;
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

  // A client folder below the clients' temporary folder, with a trailing "\".
  std::string MakeClient(const std::string& name, const ClientFiles& files) {
    clients_.MakeFolder(name);
    if (files.state)
      clients_.WriteFile(name + "\\state.sah", files.state);
    if (files.userInfo)
      clients_.WriteFile(name + "\\user_info.sah", files.userInfo);
    if (files.workUnit)
      clients_.WriteFile(name + "\\work_unit.sah", "unit");
    if (files.result)
      clients_.WriteFile(name + "\\result.sah", "result");
    if (files.tempResult)
      clients_.WriteFile(name + "\\wtemp.sah", "partial");
    return clients_.ProgramPath(name) + "\\";
  }
  std::string ClientPath(const std::string& name) const { return clients_.ProgramPath(name) + "\\"; }
  void WriteClientFile(const std::string& relative, const std::string& contents) {
    clients_.WriteFile(relative, contents);
  }

  // The window, shown and polling every second, over `stored` followed by the local clients;
  // it waits for no read.
  TfrmMain& OpenBesideLocalClients(std::vector<std::pair<std::string, bool>> stored) {
    for (const char* name : kLocalClients)
      stored.emplace_back(
          MakeClient(name, {.state = "prog=0.5\ncpu=60\n", .userInfo = "nresults=7\n", .workUnit = true}),
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
  std::shared_ptr<ProbeFileSystem> probe_ = std::make_shared<ProbeFileSystem>(MakePlatformFileSystem());
  MemorySettingsStore settings_;
  RecordingShellOpener shell_;
  RecordingTrayShell tray_;
  win::AppWindow application_;
  std::unique_ptr<TfrmMain> window_;  // last: destroyed (and saved) before what it uses
};

// Readers of the controls.
inline std::string ItemText(HWND listView, int row, int column) {
  char buffer[512] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = sizeof(buffer);
  ::SendMessageA(listView, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return buffer;
}

inline std::vector<std::string> RowTexts(HWND listView, int row) {
  std::vector<std::string> texts;
  for (int column = 0; column < 6; ++column)
    texts.push_back(ItemText(listView, row, column));
  return texts;
}

inline int ItemImage(HWND listView, int row) {
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  ::SendMessageA(listView, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  return item.iImage;
}

inline bool ItemChecked(HWND listView, int row) {
  const auto state = static_cast<UINT>(::SendMessageA(listView, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
  return state == INDEXTOSTATEIMAGEMASK(2);
}

inline int ItemCount(HWND listView) {
  return static_cast<int>(::SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0));
}

inline void SelectRow(HWND listView, int row) {
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageA(listView, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

inline void ClearSelection(HWND listView) {
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED;
  ::SendMessageA(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

// What a user's click on a row's check box changes.
inline void SetRowChecked(HWND listView, int row, bool checked) {
  LVITEMA item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
  ::SendMessageA(listView, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

inline std::string StatusText(HWND statusBar, int part) {
  char buffer[512] = {};
  ::SendMessageA(statusBar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

inline bool MenuChecked(HMENU menu, UINT id) {
  return (::GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
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
    const std::string path = ClientPath(name);
    for (int row = 0; row < ItemCount(table); ++row) {
      if (ItemText(table, row, 0) == path)
        return ItemText(table, row, 1) == progress && ItemText(table, row, 2) == "+";
    }
    return false;
  });
}

}  // namespace velmora::testing

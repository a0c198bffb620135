// What the monitor window's GUI tests share: the window created in-process over real temporary
// client folders, read through a probe that can hold a chosen folder as a share that does not
// answer would; a settings store in memory, a shell that only records, readers for what the
// controls show and the statistics panel's layout.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/file_system.h"
#include "monitor/win32/main_window.h"
#include "tests/gui/wait_for_reads.h"
#include "tests/support/client_folder_writer.h"
#include "tests/support/memory_settings_store.h"
#include "tests/support/probe_file_system.h"
#include "tests/support/temp_folder.h"
#include "tests/support/win32/control_placement.h"
#include "tests/support/win32/dialog_driver.h"
#include "tests/support/win32/message_counter.h"
#include "tests/support/win32/recording_shell.h"
#include "tests/support/win32/status_reader.h"
#include "tests/support/win32/table_reader.h"
#include "tests/support/win32/window_finders.h"
#include "windows/app_window.h"
#include "windows/handles.h"
#include "windows/window_base.h"

namespace velmora::testing {

// One of the window's controls, whatever its type.
template <auto field>
HWND Field(const MainControls& c) {
  return c.*field;
}

// One of the statistics panel's group boxes, prompts and values as the layout gives it.
struct StatsLabel {
  const char* name;
  HWND (*control)(const MainControls&);  // null: found by its text, `name`
  int x, y, width, height;               // at 96 dpi
};

// In z-order, the order screen readers walk them in: each group box, then every prompt with its
// value.
inline constexpr StatsLabel kStatsLabels[] = {
    {"User info", &Field<&MainControls::frmUserStats>, 4, 4, 253, 68},
    {"Total units:", nullptr, 20, 20, 96, 13},
    {"lblUserTotUnits", &Field<&MainControls::lblUserTotUnits>, 120, 20, 129, 13},
    {"Total CPU time:", nullptr, 20, 36, 96, 13},
    {"lblUserTotCPU", &Field<&MainControls::lblUserTotCPU>, 120, 36, 129, 13},
    {"Average CPU time:", nullptr, 20, 52, 96, 13},
    {"lblUserAvgCPU", &Field<&MainControls::lblUserAvgCPU>, 120, 52, 129, 13},
    {"Working unit info", &Field<&MainControls::frmUnitStats>, 264, 4, 217, 68},
    {"Progress:", nullptr, 280, 20, 100, 13},
    {"lblProgress", &Field<&MainControls::lblProgress>, 384, 20, 89, 13},
    {"Estimated total time:", nullptr, 280, 36, 100, 13},
    {"lblTimeTotal", &Field<&MainControls::lblTimeTotal>, 384, 36, 89, 13},
    {"Time left:", nullptr, 280, 52, 100, 13},
    {"lblTimeLeft", &Field<&MainControls::lblTimeLeft>, 384, 52, 89, 13},
};

inline HWND StatsControl(const MainControls& c, const StatsLabel& label) {
  return label.control ? label.control(c) : FindChildByText(c.pnlStats, label.name);
}

// Local clients beside a share that answers slowly or not at all: each 50 % into a unit, with
// seven results.
inline constexpr const char* kLocalClients[] = {"local0", "local1", "local2", "local3"};

// The row of `path` shows a unit in work at `progress`.
inline bool RowShowsUnitAt(HWND table, const std::string& path, const std::string& progress) {
  const int row = RowOf(table, path);
  return row >= 0 && ItemText(table, row, 1) == progress && ItemText(table, row, 2) == "+";
}

// One value of a settings section.
struct KeyText {
  std::string key;
  std::string text;
};

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
    window_ = std::make_unique<TfrmMain>(MainWindowServices{
        probe_, settings_, shell_, owner, std::move(appDir), clock_, &tray_, deferUntilShown_});
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
  // Runs one of the window's handlers and waits until every read it handed out has been shown.
  [[nodiscard]] bool RunAndSettle(void (TfrmMain::*handler)()) {
    (window_.get()->*handler)();
    return WaitForReads(*window_);
  }

  // A client folder below the clients' temporary folder, with a trailing "\".
  std::string MakeClient(const std::string& name, const ClientFiles& files) {
    return writer_.Write(name, files) + "\\";
  }
  std::string ClientPath(const std::string& name) const { return clients_.ProgramPath(name) + "\\"; }
  void WriteClientFile(const std::string& relative, const std::string& contents) {
    writer_.WriteFile(relative, contents);
  }
  // The window over one client folder, `name`, holding `files`.
  TfrmMain& OpenOverClient(const std::string& name, const ClientFiles& files) {
    StoreLocations({{MakeClient(name, files), true}});
    return Open();
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
  bool LocalClientsShow(const std::string& progress) const {
    return std::all_of(std::begin(kLocalClients), std::end(kLocalClients), [&](const char* name) {
      return RowShowsUnitAt(window_->Controls().lvMain, ClientPath(name), progress);
    });
  }

  // Settings as LoadSettings reads them, and as the window saved them.
  void Store(const char* section, const std::vector<KeyText>& entries) {
    for (const auto& [key, text] : entries)
      settings_.SetText(section, key, text);
  }
  void ExpectSaved(const char* section, const std::vector<KeyText>& entries) const {
    for (const auto& [key, text] : entries)
      EXPECT_EQ(settings_.Text(section, key), text) << section << '\\' << key;
  }
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
  std::function<PassClock()> clock_;  // empty: the system's clocks
  bool deferUntilShown_ = false;
  win::AppWindow application_;
  std::unique_ptr<TfrmMain> window_;  // last: destroyed (and saved) before what it uses
};

// The status bar's first `parts` panels.
inline std::vector<std::string> StatusTexts(HWND bar, int parts = 3) {
  std::vector<std::string> texts;
  for (int part = 0; part < parts; ++part)
    texts.push_back(StatusText(bar, part));
  return texts;
}

inline bool MenuChecked(HMENU menu, UINT id) {
  return (::GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}
inline std::vector<bool> MenuChecks(HMENU menu, std::initializer_list<UINT> ids) {
  std::vector<bool> checks;
  for (UINT id : ids)
    checks.push_back(MenuChecked(menu, id));
  return checks;
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

}  // namespace velmora::testing

// The monitor window as the GUI benchmarks open it over client folders: its settings in memory
// (the folders, each enabled unless said otherwise, and the poll interval in seconds), no owner,
// and "C:\" as the program's folder. Also the start every GUI benchmark makes.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/decimal_rule.h"
#include "core/file_system.h"
#include "monitor/settings.h"
#include "monitor/win32/main_window.h"
#include "tests/support/memory_settings_store.h"
#include "windows/shell_open.h"

namespace velmora::bench {

// The decimal rule and the common controls, as the program's own start sets them up.
inline void StartAsTheProgram() {
  ApplyDecimalRule();
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES;
  ::InitCommonControlsEx(&controls);
}

class MonitorUnderTest {
 public:
  MonitorUnderTest(std::shared_ptr<FileSystem> fs,
                   win::ShellOpener& shell,
                   const std::vector<std::string>& folders,
                   const std::string& pollInterval,
                   const std::vector<bool>& enabled = {}) {
    settings_.SetText("Locations", "Count", std::to_string(folders.size()));
    for (std::size_t i = 0; i < folders.size(); ++i)
      settings_.SetText("Locations", LocationKey(i),
                        folders[i] + (enabled.empty() || enabled[i] ? ",1" : ",0"));
    settings_.SetText("Defaults", "PollInterval", pollInterval);
    window_ =
        std::make_unique<TfrmMain>(MainWindowServices{std::move(fs), settings_, shell, nullptr, "C:\\"});
  }

  TfrmMain& Window() { return *window_; }
  // Destroys the window before the end of the scope, as the program's exit would.
  void Close() { window_.reset(); }

 private:
  testing::MemorySettingsStore settings_;
  std::unique_ptr<TfrmMain> window_;  // last: destroyed before the settings it saves into
};

}  // namespace velmora::bench

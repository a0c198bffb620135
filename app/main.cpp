// Velmora's entry: the decimal rule, the common controls, the application window, the monitor
// window with the about and details windows, and the event loop.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <exception>
#include <memory>
#include <optional>
#include <utility>

#include "core/decimal_rule.h"
#include "core/file_system.h"
#include "monitor/win32/details_window.h"
#include "monitor/win32/error_box.h"
#include "monitor/win32/history_place.h"
#include "monitor/win32/main_window.h"
#include "monitor/win32/registry_store.h"
#include "windows/about_window.h"
#include "windows/app_window.h"
#include "windows/ole_session.h"
#include "windows/shell_open.h"
#include "windows/version_view.h"

namespace {

using velmora::win::OleSession;

// The about and details windows, made when first asked for: the monitor window does not need
// them in order to show, and making them right after it showed held its first answers back.
struct HiddenWindows {
  std::optional<velmora::win::TfrmAbout> about;
  std::optional<velmora::TfrmDetails> details;
};

int RunEventLoop(velmora::TfrmMain& monitor, HiddenWindows& hidden) {
  MSG message{};
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (hidden.details && hidden.details->PreTranslateMessage(message))
      continue;
    if (monitor.PreTranslateMessage(message))
      continue;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

int Run(int showCommand) {
  velmora::ApplyDecimalRule();
  // The folder picker's tree is built from shell folders that need a single-threaded apartment.
  OleSession ole;
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES;
  ::InitCommonControlsEx(&controls);
  velmora::win::LoadVersionBlock();

  velmora::win::AppWindow application;
  if (!application.Create(velmora::kAppTitle))
    return 1;

  const std::unique_ptr<velmora::SettingsStore> settings = velmora::win::OpenUserSettingsStore();
  // The reading threads share it: one blocked on a folder at exit keeps it until the process ends.
  const std::shared_ptr<velmora::FileSystem> fs = velmora::MakePlatformFileSystem();
  velmora::win::Win32ShellOpener shell;

  velmora::MainWindowServices services{fs, *settings, shell, application.Hwnd(), {}};
  services.historyFile = velmora::DefaultHistoryFile();
  services.deferUntilShown = true;
  velmora::TfrmMain monitor(std::move(services));
  monitor.onDestroyed = [] { ::PostQuitMessage(0); };
  if (!monitor.Create())
    return 1;
  HiddenWindows hidden;
  const auto createHidden = [&] {
    if (hidden.details)
      return;
    hidden.about.emplace(application.Hwnd(), shell);
    hidden.details.emplace(application.Hwnd(), [&monitor] { monitor.RequestDetailsFigures(); });
  };
  monitor.onDetailsFigures = [&hidden](const velmora::SelectedFigures& figures) {
    if (hidden.details)
      hidden.details->ShowFigures(figures);
  };
  monitor.onAbout = [&] {
    createHidden();
    hidden.about->ShowModal();
  };
  monitor.onMoreInfo = [&] {
    createHidden();
    hidden.details->ShowAndActivate();
  };

  monitor.Show(showCommand);
  return RunEventLoop(monitor, hidden);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
  try {
    return Run(showCommand);
  } catch (const std::exception& failure) {
    velmora::ShowErrorBox(nullptr, failure.what());
  }
  return 1;
}

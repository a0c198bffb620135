#include "monitor/win32/main_commands.h"

#include <algorithm>
#include <array>

#include "monitor/win32/main_window.h"

namespace velmora {

namespace {

using C = CommandCategory;
constexpr win::Shortcut kNone{};

constexpr std::array<MainCommand, 20> kCommands{{
    {"acExit", kCmdExit, C::kFile, "E&xit", {FCONTROL, 'X'}, 0, false, true, &TfrmMain::acExitExecute},
    {"acViewToolbar", kCmdViewToolbar, C::kView, "&Toolbar", kNone, kNoImage, false, true,
     &TfrmMain::acViewToolbarExecute},
    {"acViewStats", kCmdViewStats, C::kView, "&Statistics panel", kNone, kNoImage, false, true,
     &TfrmMain::acViewStatsExecute},
    {"acViewSttBar", kCmdViewSttBar, C::kView, "Status &bar", kNone, kNoImage, false, true,
     &TfrmMain::acViewSttBarExecute},
    {"acViewAll",
     kCmdViewAll,
     C::kView,
     "Show &all",
     {0, VK_F7},
     kNoImage,
     true,
     true,
     &TfrmMain::acViewAllExecute},
    {"acViewNone",
     kCmdViewNone,
     C::kView,
     "&Hide all",
     {0, VK_F8},
     kNoImage,
     false,
     true,
     &TfrmMain::acViewNoneExecute},
    // The notification-area icon and its notices, switched from the View menu and the icon's own.
    {"acViewTrayIcon", kCmdViewTrayIcon, C::kView, "Notification-area &icon", kNone, kNoImage, true, true,
     &TfrmMain::acViewTrayIconExecute},
    {"acAlertStalls", kCmdAlertStalls, C::kView, "Alert when a client s&talls", kNone, kNoImage, false, true,
     &TfrmMain::acAlertStallsExecute},
    {"acAlertResults", kCmdAlertResults, C::kView, "Alert when a &result waits", kNone, kNoImage, false, true,
     &TfrmMain::acAlertResultsExecute},
    // Two columns after "Last date": each row's state in words, and when its unit will finish.
    {"acViewStateColumn", kCmdViewStateColumn, C::kView, "Stat&e column", kNone, kNoImage, true, true,
     &TfrmMain::acViewStateColumnExecute},
    {"acViewFinishColumn", kCmdViewFinishColumn, C::kView, "&Finish column", kNone, kNoImage, false, true,
     &TfrmMain::acViewFinishColumnExecute},
    {"acViewDoneColumn", kCmdViewDoneColumn, C::kView, "&Done column", kNone, kNoImage, false, true,
     &TfrmMain::acViewDoneColumnExecute},
    // What each location has finished, in a window of its own.
    {"acHistory",
     kCmdHistory,
     C::kView,
     "&History...",
     {FCONTROL, 'H'},
     kNoImage,
     true,
     true,
     &TfrmMain::acHistoryExecute},
    {"acAddLocation",
     kCmdAddLocation,
     C::kLocation,
     "&Add a new location...",
     {0, VK_INSERT},
     1,
     false,
     true,
     &TfrmMain::acAddLocationExecute},
    {"acRemoveLocation",
     kCmdRemoveLocation,
     C::kLocation,
     "&Remove this location",
     {FSHIFT, VK_DELETE},
     2,
     false,
     true,
     &TfrmMain::acRemoveLocationExecute},
    {"acRefresh",
     kCmdRefresh,
     C::kLocation,
     "&Update all now",
     {0, VK_F5},
     4,
     true,
     true,
     &TfrmMain::acRefreshExecute},
    // Ctrl+C copies the table only while the table has the keyboard (an accelerator would take
    // the key from the interval box too): no shortcut here.
    {"acCopyTable", kCmdCopyTable, C::kLocation, "&Copy table", kNone, kNoImage, true, true,
     &TfrmMain::acCopyTableExecute},
    // Hidden in the menu together with the separator before it: reached through F4 only.
    {"acMoreInfo",
     kCmdMoreInfo,
     C::kLocation,
     "&More info...",
     {0, VK_F4},
     3,
     true,
     false,
     &TfrmMain::acMoreInfoExecute},
    {"acHelp", kCmdHelp, C::kHelp, "&Help...", kNone, 6, false, true, &TfrmMain::acHelpExecute},
    {"acAbout", kCmdAbout, C::kHelp, "&About...", kNone, kNoImage, true, true, &TfrmMain::acAboutExecute},
}};

constexpr std::array<MainMenuTitle, 4> kMenuTitles{{
    {C::kFile, "&File"},
    {C::kView, "&View"},
    {C::kLocation, "&Locations"},
    {C::kHelp, "&Help"},
}};

constexpr std::array<WORD, 8> kToolbarLayout{
    kToolbarSeparator, kCmdAddLocation,       kCmdRemoveLocation, kToolbarSeparator,
    kCmdRefresh,       kToolbarSettingsPanel, kToolbarSeparator,  kCmdExit,
};

}  // namespace

std::span<const MainCommand> MainCommands() {
  return kCommands;
}

const MainCommand* FindMainCommand(WORD id) {
  const auto found = std::find_if(kCommands.begin(), kCommands.end(),
                                  [id](const MainCommand& command) { return command.id == id; });
  return found == kCommands.end() ? nullptr : &*found;
}

std::span<const MainMenuTitle> MainMenuTitles() {
  return kMenuTitles;
}

std::span<const WORD> MainToolbarLayout() {
  return kToolbarLayout;
}

}  // namespace velmora

// The monitor window's commands as one table: the menus, the toolbar buttons and the
// accelerator table are all built from it, and WM_COMMAND is a lookup in it.
#pragma once

#include <windows.h>

#include <span>

#include "windows/command_table.h"

namespace velmora {

class TfrmMain;

enum class CommandCategory { kFile, kView, kLocation, kHelp };

enum CommandId : WORD {
  kCmdExit = 1001,
  kCmdViewToolbar,
  kCmdViewStats,
  kCmdViewSttBar,
  kCmdViewAll,
  kCmdViewNone,
  kCmdAddLocation,
  kCmdRemoveLocation,
  kCmdRefresh,
  kCmdMoreInfo,
  kCmdHelp,
  kCmdAbout,
  kCmdViewTrayIcon,
  kCmdAlertStalls,
  kCmdAlertResults,
  kCmdViewStateColumn,
  kCmdViewFinishColumn,
  kCmdCopyTable,
  kCmdHistory,
  kCmdViewDoneColumn,
};

inline constexpr int kNoImage = -1;

struct MainCommand {
  const char* action;  // the action's name, "acExit"
  WORD id;
  CommandCategory category;
  const char* caption;
  win::Shortcut shortcut;
  int image;             // index into the button image list, or kNoImage
  bool separatorBefore;  // in its menu
  bool inMenu;           // false: reached through its shortcut only
  void (TfrmMain::*handler)();
};

// In menu order within each category.
std::span<const MainCommand> MainCommands();
const MainCommand* FindMainCommand(WORD id);

// The top-level menus, in menu-bar order.
struct MainMenuTitle {
  CommandCategory category;
  const char* title;
};
std::span<const MainMenuTitle> MainMenuTitles();

// The toolbar from left to right: a command, a separator, or the slot of the settings panel.
inline constexpr WORD kToolbarSeparator = 0;
inline constexpr WORD kToolbarSettingsPanel = 1;
std::span<const WORD> MainToolbarLayout();

}  // namespace velmora

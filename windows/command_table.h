// Pieces shared by every command table: a shortcut and the texts and accelerator table built
// from it, so that a menu item, a toolbar button and a key cannot disagree.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "windows/handles.h"

namespace velmora::win {

struct Shortcut {
  BYTE modifiers = 0;  // FCONTROL, FSHIFT, FALT
  WORD key = 0;        // virtual-key code; 0 = no shortcut

  bool IsSet() const { return key != 0; }
};

// "Ctrl+X", "Shift+Del", "Ins", "F5"; empty for no shortcut.
std::string ShortcutText(Shortcut shortcut);
// The caption with its shortcut after a tab, as menus show it: "E&xit\tCtrl+X".
std::string MenuItemText(std::string_view caption, Shortcut shortcut);
// The caption as a tooltip says it: without "&" markers and without a trailing "...".
std::string HintText(std::string_view caption);

// One accelerator table entry for `command`.
ACCEL MakeAccel(Shortcut shortcut, WORD command);
[[nodiscard]] AccelHandle MakeAcceleratorTable(const std::vector<ACCEL>& entries);

}  // namespace velmora::win

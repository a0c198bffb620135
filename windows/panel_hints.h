// Hints for the panels of a status bar, shown by a tooltip control of our own with one tool on
// each hinted panel. The status bar's own tips (SBARS_TOOLTIPS with SB_SETTIPTEXT) appear on
// Windows only over a panel that holds just an icon or a cut-off text, so a panel whose text
// fits would never show its hint there.
#pragma once

#include <windows.h>

#include <span>

#include "windows/handles.h"

namespace velmora::win {

class PanelHints {
 public:
  // Creates the tooltip control, owned by the bar's top-level window, with hints[i] on panel i.
  bool Create(HWND statusBar, std::span<const char* const> hints);
  // Moves every tool onto its panel's rectangle again: after the bar was resized or laid out
  // anew, its parts changed, or its dpi.
  void Follow() const;
  HWND Hwnd() const { return tooltip_.Get(); }

 private:
  WindowHandle tooltip_;
  HWND statusBar_ = nullptr;
  int count_ = 0;
};

}  // namespace velmora::win

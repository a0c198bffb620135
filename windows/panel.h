// A plain container child window painted in the dialog face colour. Controls placed on it send
// their notifications (WM_COMMAND, WM_NOTIFY) to the panel, which passes them on to the window
// that handles them, so a form can group its controls without losing their events.
#pragma once

#include <windows.h>

#include "windows/control.h"

namespace velmora::win {

class Panel : public Control {
 public:
  using Control::Control;
};

// Creates a panel (owned by `parent`, destroyed with it) whose children's notifications go to
// `notifyTarget`.
Panel CreatePanel(HWND parent, HWND notifyTarget, int id, int x, int y, int width, int height, bool visible);

}  // namespace velmora::win

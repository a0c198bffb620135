// The application's own hidden top-level window. It owns the program's windows (so a modal
// shell dialog owned by it disables them all) while the taskbar button stays on the monitor
// window, which is created with WS_EX_APPWINDOW.
#pragma once

#include "windows/window_base.h"

namespace velmora::win {

class AppWindow final : public BaseWindow {
 public:
  // Creates the hidden window with the application title as its text.
  bool Create(const char* title);
};

}  // namespace velmora::win

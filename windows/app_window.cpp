#include "windows/app_window.h"

namespace velmora::win {

bool AppWindow::Create(const char* title) {
  // Never shown and without WS_EX_APPWINDOW: it gets no taskbar button of its own, so the
  // button stays on the monitor window that it owns.
  return CreateBound({.className = "VelmoraApp", .title = title, .style = WS_POPUP});
}

}  // namespace velmora::win

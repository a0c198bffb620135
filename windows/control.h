// A child control by its window handle, the base of the control wrappers: each of their methods
// is one message. The parent window owns the control and destroys it, so a wrapper is a plain
// value that may be copied freely and converts to HWND wherever the Win32 API wants one.
#pragma once

#include <windows.h>

#include <string>

namespace velmora::win {

class Control {
 public:
  Control() = default;
  explicit Control(HWND hwnd) : hwnd_(hwnd) {}

  HWND Hwnd() const { return hwnd_; }
  operator HWND() const { return hwnd_; }

  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageA(hwnd_, message, wParam, lParam);
  }
  void SetFont(HFONT font, bool redraw) const {
    Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? TRUE : FALSE);
  }
  bool SetText(const std::string& text) const { return ::SetWindowTextA(hwnd_, text.c_str()) != FALSE; }
  bool Move(int x, int y, int width, int height, bool repaint) const {
    return ::MoveWindow(hwnd_, x, y, width, height, repaint ? TRUE : FALSE) != FALSE;
  }
  // True when the control was visible before.
  bool Show(int showCommand) const { return ::ShowWindow(hwnd_, showCommand) != FALSE; }

 private:
  HWND hwnd_ = nullptr;
};

}  // namespace velmora::win

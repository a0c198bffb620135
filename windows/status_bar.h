// A status bar with panels, one line per message.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "windows/control.h"

namespace velmora::win {

class StatusBar : public Control {
 public:
  using Control::Control;

  // `rightEdges` holds each panel's right edge in client pixels; -1 runs to the end of the bar.
  bool SetParts(int count, const int* rightEdges) const {
    return Send(SB_SETPARTS, count, reinterpret_cast<LPARAM>(rightEdges)) != 0;
  }
  int PartCount() const { return static_cast<int>(Send(SB_GETPARTS, 0, 0)); }
  int GetParts(int count, int* rightEdges) const {
    return static_cast<int>(Send(SB_GETPARTS, count, reinterpret_cast<LPARAM>(rightEdges)));
  }
  bool SetText(int part, const std::string& text) const {
    return Send(SB_SETTEXTA, part, reinterpret_cast<LPARAM>(text.c_str())) != 0;
  }
  int TextLength(int part) const { return LOWORD(Send(SB_GETTEXTLENGTHA, part, 0)); }
  int GetText(int part, char* buffer) const {
    return LOWORD(Send(SB_GETTEXTA, part, reinterpret_cast<LPARAM>(buffer)));
  }
  // Lets the bar place itself at the bottom of its parent.
  void Reposition() const { Send(WM_SIZE, 0, 0); }
};

}  // namespace velmora::win

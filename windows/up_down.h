// An up-down control coupled to an edit box, one line per message.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "windows/control.h"

namespace velmora::win {

class UpDown : public Control {
 public:
  using Control::Control;

  HWND SetBuddy(HWND buddy) const {
    return reinterpret_cast<HWND>(Send(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0));
  }
  HWND Buddy() const { return reinterpret_cast<HWND>(Send(UDM_GETBUDDY, 0, 0)); }
  void SetRange(int minimum, int maximum) const { Send(UDM_SETRANGE32, minimum, maximum); }
  void GetRange(int& minimum, int& maximum) const {
    Send(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&minimum), reinterpret_cast<LPARAM>(&maximum));
  }
  int SetPosition(int position) const { return static_cast<int>(Send(UDM_SETPOS32, 0, position)); }
  // Reads the buddy's text when it is a valid number in range; otherwise the last position.
  int Position() const { return static_cast<int>(Send(UDM_GETPOS32, 0, 0)); }
};

}  // namespace velmora::win

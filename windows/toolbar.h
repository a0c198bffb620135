// A toolbar of image buttons and separators, one line per message.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "windows/control.h"

namespace velmora::win {

class Toolbar : public Control {
 public:
  using Control::Control;

  void SetButtonStructSize() const { Send(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0); }
  void SetImageList(HIMAGELIST list) const { Send(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list)); }
  bool SetButtonSize(int width, int height) const {
    return Send(TB_SETBUTTONSIZE, 0, MAKELPARAM(width, height)) != 0;
  }
  bool SetBitmapSize(int width, int height) const {
    return Send(TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height)) != 0;
  }
  bool AddButtons(int count, const TBBUTTON* buttons) const {
    return Send(TB_ADDBUTTONSA, count, reinterpret_cast<LPARAM>(buttons)) != 0;
  }
  bool DeleteButton(int index) const { return Send(TB_DELETEBUTTON, index, 0) != 0; }
  int ButtonCount() const { return static_cast<int>(Send(TB_BUTTONCOUNT, 0, 0)); }
  bool GetButton(int index, TBBUTTON& button) const {
    return Send(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)) != 0;
  }
  bool GetItemRect(int index, RECT& rect) const {
    return Send(TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect)) != 0;
  }
  int CommandToIndex(int command) const { return static_cast<int>(Send(TB_COMMANDTOINDEX, command, 0)); }
  HWND ToolTips() const { return reinterpret_cast<HWND>(Send(TB_GETTOOLTIPS, 0, 0)); }
  void AutoSize() const { Send(TB_AUTOSIZE, 0, 0); }
};

}  // namespace velmora::win

// A check box button, one line per message.
#pragma once

#include <windows.h>

namespace velmora::win {

class CheckBox {
 public:
  CheckBox() = default;
  explicit CheckBox(HWND hwnd) : hwnd_(hwnd) {}

  HWND Hwnd() const { return hwnd_; }

  bool Checked() const { return ::SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  // Does not send BN_CLICKED.
  void SetChecked(bool checked) const {
    ::SendMessageA(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }

 private:
  HWND hwnd_ = nullptr;
};

}  // namespace velmora::win

// A check box button, one line per message.
#pragma once

#include <windows.h>

#include "windows/control.h"

namespace velmora::win {

class CheckBox : public Control {
 public:
  using Control::Control;

  bool Checked() const { return Send(BM_GETCHECK, 0, 0) == BST_CHECKED; }
  // Does not send BN_CLICKED.
  void SetChecked(bool checked) const { Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0); }
};

}  // namespace velmora::win

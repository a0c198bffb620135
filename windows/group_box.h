// A group box: a button-class frame whose caption names the controls inside it.
#pragma once

#include <windows.h>

#include "windows/control.h"

namespace velmora::win {

class GroupBox : public Control {
 public:
  using Control::Control;
};

}  // namespace velmora::win

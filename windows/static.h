// A static control: a label, a figure's value or an etched line.
#pragma once

#include <windows.h>

#include "windows/control.h"

namespace velmora::win {

class Static : public Control {
 public:
  using Control::Control;
};

}  // namespace velmora::win

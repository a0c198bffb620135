// A single-line edit box, one line per message.
#pragma once

#include <windows.h>

#include "windows/control.h"

namespace velmora::win {

class Edit : public Control {
 public:
  using Control::Control;

  // Typing then replaces the whole text.
  void SelectAll() const { Send(EM_SETSEL, 0, -1); }
};

}  // namespace velmora::win

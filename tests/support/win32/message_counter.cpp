#include "tests/support/win32/message_counter.h"

#include <commctrl.h>

namespace velmora::testing {

MessageCounter::MessageCounter(HWND window, UINT counted) : window_(window), counted_(counted) {
  ::SetWindowSubclass(window_, &MessageCounter::Proc, reinterpret_cast<UINT_PTR>(this),
                      reinterpret_cast<DWORD_PTR>(this));
}

MessageCounter::~MessageCounter() {
  ::RemoveWindowSubclass(window_, &MessageCounter::Proc, reinterpret_cast<UINT_PTR>(this));
}

LRESULT CALLBACK
MessageCounter::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  auto* counter = reinterpret_cast<MessageCounter*>(self);
  if (message == counter->counted_)
    counter->received_.emplace_back(wParam, lParam);
  return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace velmora::testing

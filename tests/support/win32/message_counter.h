// Watches one kind of message a window receives, through a subclass, for as long as it lives:
// how often it came and with what parameters.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <utility>
#include <vector>

namespace velmora::testing {

class MessageCounter {
 public:
  MessageCounter(HWND window, UINT counted) : window_(window), counted_(counted) {
    ::SetWindowSubclass(window_, &Proc, Id(), reinterpret_cast<DWORD_PTR>(this));
  }
  ~MessageCounter() { ::RemoveWindowSubclass(window_, &Proc, Id()); }
  MessageCounter(const MessageCounter&) = delete;
  MessageCounter& operator=(const MessageCounter&) = delete;

  int Count() const { return static_cast<int>(received_.size()); }
  WPARAM LastWParam() const { return received_.empty() ? 0 : received_.back().first; }
  const std::vector<std::pair<WPARAM, LPARAM>>& Received() const { return received_; }

 private:
  UINT_PTR Id() const { return reinterpret_cast<UINT_PTR>(this); }
  static LRESULT CALLBACK
  Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    auto* counter = reinterpret_cast<MessageCounter*>(self);
    if (message == counter->counted_)
      counter->received_.emplace_back(wParam, lParam);
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
  }

  HWND window_;
  UINT counted_;
  std::vector<std::pair<WPARAM, LPARAM>> received_;
};

}  // namespace velmora::testing

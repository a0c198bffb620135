// Watches one kind of message a window receives, through a subclass, for as long as it lives:
// how often it came and with what parameters.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

namespace velmora::testing {

class MessageCounter {
 public:
  MessageCounter(HWND window, UINT counted);
  ~MessageCounter();
  MessageCounter(const MessageCounter&) = delete;
  MessageCounter& operator=(const MessageCounter&) = delete;

  int Count() const { return static_cast<int>(received_.size()); }
  WPARAM LastWParam() const { return received_.empty() ? 0 : received_.back().first; }
  // The parameters of each one, in order.
  const std::vector<std::pair<WPARAM, LPARAM>>& Received() const { return received_; }

 private:
  static LRESULT CALLBACK
  Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);

  HWND window_;
  UINT counted_;
  std::vector<std::pair<WPARAM, LPARAM>> received_;
};

}  // namespace velmora::testing

// A window's messages handed first to a function of the benchmark's (comctl32's SetWindowSubclass)
// while the Subclass lives: how the GUI benchmarks watch, count and time what the monitor window
// and its controls receive.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <utility>

namespace velmora::bench {

class Subclass {
 public:
  // Answers a message; passes it on with ::DefSubclassProc.
  using Handler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

  Subclass(HWND window, Handler handler) : window_(window), handler_(std::move(handler)) {
    attached_ = ::SetWindowSubclass(window_, &Proc, Id(), reinterpret_cast<DWORD_PTR>(this)) != FALSE;
  }
  ~Subclass() {
    if (attached_)
      ::RemoveWindowSubclass(window_, &Proc, Id());
  }
  Subclass(const Subclass&) = delete;
  Subclass& operator=(const Subclass&) = delete;

  bool Attached() const { return attached_; }

 private:
  UINT_PTR Id() const { return reinterpret_cast<UINT_PTR>(this); }
  static LRESULT CALLBACK
  Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    return reinterpret_cast<Subclass*>(self)->handler_(hwnd, message, wParam, lParam);
  }

  HWND window_;
  Handler handler_;
  bool attached_ = false;
};

}  // namespace velmora::bench

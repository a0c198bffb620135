// Base of every window of the program: the static window procedure binds `this` on
// WM_NCCREATE and forwards to HandleMessage. No exception leaves a window procedure.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

#include "windows/handles.h"

namespace velmora::win {

class BaseWindow {
 public:
  BaseWindow() = default;
  virtual ~BaseWindow();
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;

  HWND Hwnd() const { return hwnd_; }

 protected:
  // What CreateWindowEx is given, by name; what a window leaves out is zero or empty.
  struct CreateArgs {
    const char* className = nullptr;
    // Registered under className by the first window of the class only; the procedure,
    // instance and name are filled in.
    WNDCLASSEXA wc{};
    DWORD exStyle = 0;
    const char* title = "";
    DWORD style = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    HWND parent = nullptr;
    HMENU menu = nullptr;
  };

  // Registers the class once per process and creates the window with this object bound to it.
  bool CreateBound(const CreateArgs& args);

  // Gives the window the program's icon at `dpi` for its caption and for Alt+Tab; the window
  // keeps both until they are replaced, so they are destroyed only after it is.
  void SetAppIcons(int dpi);

  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Called when a handler threw: shows nothing by default; windows override to report.
  virtual void ReportFailure(const char* what);

  // The boundary of every window and subclass procedure of this window and its controls:
  // runs `handle`, and when it throws, reports the failure and answers the message with
  // `fallback` (the default procedure) instead. An exception that crossed into the system's
  // message dispatch would end the program or unwind through frames that do not expect it.
  template <typename Handle, typename Fallback>
  LRESULT StopExceptions(Handle&& handle, Fallback&& fallback) noexcept {
    try {
      return handle();
    } catch (const std::exception& failure) {
      Report(failure.what());
    } catch (...) {
      Report("Unexpected failure");
    }
    return fallback();
  }

 private:
  static LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // ReportFailure, which must not throw out of the boundary either.
  void Report(const char* what) noexcept;
  HWND hwnd_ = nullptr;
  IconHandle smallIcon_;
  IconHandle largeIcon_;
};

// The text of a window (WM_GETTEXT).
std::string WindowText(HWND hwnd);

}  // namespace velmora::win

// Sends a window WM_NULL from a thread of its own every 10 ms, as the system does to tell a hung
// window, and notes how long each answer took.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "windows/handles.h"

namespace velmora::testing {

class WindowPinger {
 public:
  // How each ping is sent: SendMessageTimeout's flags, and how long a ping waits for its answer.
  struct Sending {
    UINT flags = SMTO_ABORTIFHUNG;
    UINT timeoutMs = 1000;
  };

  explicit WindowPinger(HWND window) : WindowPinger(window, Sending{}) {}
  WindowPinger(HWND window, Sending sending)
      : window_(window), sending_(sending), stop_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    thread_.Reset(::CreateThread(nullptr, 0, &WindowPinger::Main, this, 0, nullptr));
  }
  ~WindowPinger() { Stop(); }
  WindowPinger(const WindowPinger&) = delete;
  WindowPinger& operator=(const WindowPinger&) = delete;

  // Ends the pings: the figures below are final.
  void Stop() {
    if (!thread_)
      return;
    ::SetEvent(stop_.Get());
    // The window's own thread stops the pings: it answers the one that may be on its way while
    // it waits, or that ping would wait for it in vain and count as unanswered.
    HANDLE thread = thread_.Get();
    while (::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
      MSG message{};
      ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    }
    thread_.Reset();
  }
  bool Running() const { return static_cast<bool>(thread_); }
  int Pings() const { return static_cast<int>(waitsMs_.size()); }
  int Unanswered() const { return unanswered_; }  // not within the timeout, or the window was hung
  int Slow() const { return slow_; }              // answered, but after more than 100 ms
  double LongestMs() const { return longestMs_; }
  // Every ping's wait for its answer, in the order they were sent.
  const std::vector<double>& WaitsMs() const { return waitsMs_; }
  std::string Figures() const {
    char text[160] = {};
    std::snprintf(text, sizeof(text),
                  "%d pings, longest answer %.1f ms, %d over 100 ms, %d unanswered within %g s", Pings(),
                  longestMs_, slow_, unanswered_, sending_.timeoutMs / 1000.0);
    return text;
  }

 private:
  using KernelHandle = win::UniqueHandle<HANDLE, win::detail::CloseKernelHandle>;

  static DWORD WINAPI Main(void* self) {
    static_cast<WindowPinger*>(self)->Run();
    return 0;
  }
  void Run() {
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    do {
      LARGE_INTEGER before{};
      LARGE_INTEGER after{};
      DWORD_PTR result = 0;
      ::QueryPerformanceCounter(&before);
      const LRESULT answered =
          ::SendMessageTimeoutA(window_, WM_NULL, 0, 0, sending_.flags, sending_.timeoutMs, &result);
      ::QueryPerformanceCounter(&after);
      const double ms = 1000.0 * static_cast<double>(after.QuadPart - before.QuadPart) /
                        static_cast<double>(frequency.QuadPart);
      waitsMs_.push_back(ms);
      if (!answered)
        ++unanswered_;
      else if (ms > 100.0)
        ++slow_;
      longestMs_ = std::max(longestMs_, ms);
    } while (::WaitForSingleObject(stop_.Get(), 10) == WAIT_TIMEOUT);
  }

  HWND window_;
  Sending sending_;
  // Written by the pinging thread only, read once it has ended.
  std::vector<double> waitsMs_;
  int unanswered_ = 0;
  int slow_ = 0;
  double longestMs_ = 0;
  KernelHandle stop_;
  KernelHandle thread_;  // last: starts once the rest is there
};

}  // namespace velmora::testing

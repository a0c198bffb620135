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
  // Not within the timeout, or the window was hung.
  int Unanswered() const { return static_cast<int>(std::count(answered_.begin(), answered_.end(), false)); }
  // Answered, but after more than 100 ms.
  int Slow() const {
    int slow = 0;
    for (std::size_t i = 0; i < waitsMs_.size(); ++i)
      slow += answered_[i] && waitsMs_[i] > 100.0 ? 1 : 0;
    return slow;
  }
  double LongestMs() const {
    return waitsMs_.empty() ? 0.0 : *std::max_element(waitsMs_.begin(), waitsMs_.end());
  }
  // Every ping's wait for its answer, in the order they were sent.
  const std::vector<double>& WaitsMs() const { return waitsMs_; }
  // Pings that were not answered, or answered after `limitMs` or more, while `witness`, pinging
  // another window at the same time, was held up no more than 100 ms less. Under Wine one server
  // carries every message, and it opens files itself: an open on a slow share stops every
  // window of every program for as long. A stall that the witness shared is the server's; one
  // that it did not share is this window's own. Call once both have stopped.
  std::vector<std::string> StallsOfItsOwn(const WindowPinger& witness, double limitMs) const {
    std::vector<std::string> stalls;
    for (std::size_t i = 0; i < waitsMs_.size(); ++i) {
      const double sent = sentMs_[i];
      const double wait = waitsMs_[i];
      if (answered_[i] && wait < limitMs)
        continue;
      // A stopped server holds the witness up in its ping or in its pause between two pings:
      // each of its rounds counts whole, from one ping's sending to the next one's.
      double shared = 0;
      const std::vector<double>& rounds = witness.sentMs_;
      for (std::size_t j = 0; j < rounds.size(); ++j) {
        const double end = j + 1 < rounds.size() ? rounds[j + 1] : rounds[j] + witness.waitsMs_[j];
        if (rounds[j] < sent + wait && sent < end)
          shared = std::max(shared, end - rounds[j]);
      }
      // A ping refused at once because the window hangs is never the server's.
      if (wait >= limitMs && shared >= wait - 100.0)
        continue;
      char text[120] = {};
      std::snprintf(text, sizeof(text), "ping %zu: %s after %.1f ms; the witness was held up %.1f ms", i,
                    answered_[i] ? "answered" : "unanswered", wait, shared);
      stalls.emplace_back(text);
    }
    return stalls;
  }
  std::string Figures() const {
    char text[160] = {};
    std::snprintf(text, sizeof(text),
                  "%d pings, longest answer %.1f ms, %d over 100 ms, %d unanswered within %g s", Pings(),
                  LongestMs(), Slow(), Unanswered(), sending_.timeoutMs / 1000.0);
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
    const auto toMs = [&frequency](LONGLONG ticks) {
      return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
    };
    do {
      LARGE_INTEGER before{};
      LARGE_INTEGER after{};
      DWORD_PTR result = 0;
      ::QueryPerformanceCounter(&before);
      const LRESULT answered =
          ::SendMessageTimeoutA(window_, WM_NULL, 0, 0, sending_.flags, sending_.timeoutMs, &result);
      ::QueryPerformanceCounter(&after);
      sentMs_.push_back(toMs(before.QuadPart));
      waitsMs_.push_back(toMs(after.QuadPart - before.QuadPart));
      answered_.push_back(answered != 0);
    } while (::WaitForSingleObject(stop_.Get(), 10) == WAIT_TIMEOUT);
  }

  HWND window_;
  Sending sending_;
  // Written by the pinging thread only, read once it has ended.
  std::vector<double> waitsMs_;
  std::vector<double> sentMs_;  // on the performance counter's clock, which all threads share
  std::vector<bool> answered_;
  KernelHandle stop_;
  KernelHandle thread_;  // last: starts once the rest is there
};

}  // namespace velmora::testing

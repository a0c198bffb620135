// Delivering a GUI test thread's messages as the program's event loop would, and waiting so for
// what the reading threads send back.
#pragma once

#include <windows.h>

#include <functional>

#include "monitor/win32/main_window.h"

namespace velmora::testing {

// Delivers whatever is waiting in the thread's queue; a message that `preTranslate` takes (a
// window's own keyboard handling) goes no further.
inline void PumpMessagesThrough(const std::function<bool(MSG&)>& preTranslate) {
  MSG message{};
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (preTranslate && preTranslate(message))
      continue;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}
inline void PumpMessages() {
  PumpMessagesThrough({});
}

// Delivers the thread's messages until `done` holds or `limit` ms have passed. True when it held.
// Paints stay pending, so that a test can still see what a pass invalidated.
inline bool PumpUntil(const std::function<bool()>& done, DWORD limit = 10000) {
  const ULONGLONG start = ::GetTickCount64();
  for (;;) {
    MSG message{};
    while (::PeekMessageA(&message, nullptr, 0, WM_PAINT - 1, PM_REMOVE) ||
           ::PeekMessageA(&message, nullptr, WM_PAINT + 1, 0xFFFF, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
    if (done())
      return true;
    if (::GetTickCount64() - start > limit)
      return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT & ~QS_PAINT);
  }
}

// Until every read the window handed out has answered and been shown.
inline bool WaitForReads(const TfrmMain& window) {
  return PumpUntil([&window] { return window.ReadsSettled(); });
}

}  // namespace velmora::testing

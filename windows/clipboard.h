// Text onto the clipboard.
#pragma once

#include <windows.h>

#include <string>

namespace velmora::win {

// The clipboard calls the copy makes, so that a test can play a clipboard that another program
// holds for a while.
class ClipboardCalls {
 public:
  virtual ~ClipboardCalls() = default;
  virtual bool Open(HWND owner) = 0;
  virtual bool Empty() = 0;
  // True when the clipboard took `memory`: it owns it from then on.
  virtual bool Set(UINT format, HGLOBAL memory) = 0;
  virtual void Close() = 0;
  virtual void Wait(DWORD milliseconds) = 0;
};

// The system's clipboard.
ClipboardCalls& SystemClipboard();

enum class CopyOutcome { kCopied, kClipboardBusy, kFailed };

// How often, and how far apart, the copy asks for a clipboard that another program holds: a
// clipboard manager or a remote desktop session holds it for a moment after every change.
inline constexpr int kClipboardOpenTries = 20;
inline constexpr DWORD kClipboardRetryMilliseconds = 50;

// Puts `text` (ANSI) on the clipboard in place of what was there, as CF_UNICODETEXT beside
// CF_TEXT: the text Windows would make from CF_TEXT alone follows the code page of the keyboard
// language active at the time of the paste, not the program's. kClipboardBusy when another
// program held the clipboard through every try; kFailed when memory could not be had or the
// clipboard refused the text.
CopyOutcome CopyTextToClipboard(HWND owner,
                                const std::string& text,
                                ClipboardCalls& calls = SystemClipboard());

}  // namespace velmora::win

#include "windows/clipboard.h"

#include <cstring>
#include <string_view>
#include <utility>

#include "windows/code_page_chars.h"
#include "windows/handles.h"

namespace velmora::win {

namespace {

class SystemClipboardCalls final : public ClipboardCalls {
 public:
  bool Open(HWND owner) override { return ::OpenClipboard(owner) != FALSE; }
  bool Empty() override { return ::EmptyClipboard() != FALSE; }
  bool Set(UINT format, HGLOBAL memory) override { return ::SetClipboardData(format, memory) != nullptr; }
  void Close() override { ::CloseClipboard(); }
  void Wait(DWORD milliseconds) override { ::Sleep(milliseconds); }
};

// Closes the clipboard it opened.
class OpenClipboardScope {
 public:
  OpenClipboardScope(ClipboardCalls& calls, HWND owner) : calls_(calls) {
    for (int tries = 1; !(open_ = calls_.Open(owner)) && tries < kClipboardOpenTries; ++tries)
      calls_.Wait(kClipboardRetryMilliseconds);
  }
  ~OpenClipboardScope() {
    if (open_)
      calls_.Close();
  }
  OpenClipboardScope(const OpenClipboardScope&) = delete;
  OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
  bool IsOpen() const { return open_; }

 private:
  ClipboardCalls& calls_;
  bool open_ = false;
};

// `bytes` in movable global memory, as the clipboard takes it; empty when memory ran out.
GlobalHandle GlobalCopy(const void* bytes, std::size_t size) {
  GlobalHandle memory(::GlobalAlloc(GMEM_MOVEABLE, size));
  void* target = memory ? ::GlobalLock(memory.Get()) : nullptr;
  if (target == nullptr)
    return GlobalHandle();
  std::memcpy(target, bytes, size);
  ::GlobalUnlock(memory.Get());
  return memory;
}

bool SetData(ClipboardCalls& calls, UINT format, GlobalHandle memory) {
  if (!memory || !calls.Set(format, memory.Get()))
    return false;
  static_cast<void>(memory.Release());
  return true;
}

}  // namespace

ClipboardCalls& SystemClipboard() {
  static SystemClipboardCalls calls;
  return calls;
}

CopyOutcome CopyTextToClipboard(HWND owner, const std::string& text, ClipboardCalls& calls) {
  const std::wstring wide = AnsiToWide(text);
  GlobalHandle ansiMemory = GlobalCopy(text.c_str(), text.size() + 1);
  GlobalHandle wideMemory = GlobalCopy(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  if (!ansiMemory || !wideMemory)
    return CopyOutcome::kFailed;

  const OpenClipboardScope clipboard(calls, owner);
  if (!clipboard.IsOpen())
    return CopyOutcome::kClipboardBusy;
  if (!calls.Empty())
    return CopyOutcome::kFailed;
  const bool unicode = SetData(calls, CF_UNICODETEXT, std::move(wideMemory));
  const bool ansi = SetData(calls, CF_TEXT, std::move(ansiMemory));
  return unicode && ansi ? CopyOutcome::kCopied : CopyOutcome::kFailed;
}

}  // namespace velmora::win

#include "windows/clipboard.h"

#include <cstring>

#include "windows/handles.h"

namespace velmora::win {

namespace {

// Closes the clipboard opened by its creator.
class OpenClipboardScope {
 public:
  explicit OpenClipboardScope(HWND owner) : open_(::OpenClipboard(owner) != FALSE) {}
  ~OpenClipboardScope() {
    if (open_)
      ::CloseClipboard();
  }
  OpenClipboardScope(const OpenClipboardScope&) = delete;
  OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

}  // namespace

bool CopyTextToClipboard(HWND owner, const std::string& text) {
  GlobalHandle memory(::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
  if (!memory)
    return false;
  void* bytes = ::GlobalLock(memory.Get());
  if (bytes == nullptr)
    return false;
  std::memcpy(bytes, text.c_str(), text.size() + 1);
  ::GlobalUnlock(memory.Get());

  const OpenClipboardScope clipboard(owner);
  if (!clipboard.IsOpen() || !::EmptyClipboard())
    return false;
  if (::SetClipboardData(CF_TEXT, memory.Get()) == nullptr)
    return false;
  // The clipboard owns the memory now.
  static_cast<void>(memory.Release());
  return true;
}

}  // namespace velmora::win

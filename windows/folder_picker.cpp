#include "windows/folder_picker.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/char_sizes.h"
#include "windows/handles.h"

namespace velmora::win {

namespace {

// Memory handed out by the shell allocator (the path buffer, item lists), given back to that
// allocator on every way out of the call.
template <typename T>
class ShellMemory {
 public:
  ShellMemory(IMalloc* allocator, T* memory) : allocator_(allocator), memory_(memory) {}
  ~ShellMemory() {
    if (memory_)
      allocator_->Free(memory_);
  }
  ShellMemory(const ShellMemory&) = delete;
  ShellMemory& operator=(const ShellMemory&) = delete;

  T* Get() const { return memory_; }

 private:
  IMalloc* allocator_;
  T* memory_;
};

// The program's other windows, kept from the user while the dialog is open. The dialog's own
// modal loop disables only its owner, which is the hidden application window; the monitor and
// any other visible window of the thread would otherwise stay clickable behind it.
class OtherWindowsDisabled {
 public:
  explicit OtherWindowsDisabled(HWND owner) : owner_(owner), active_(::GetActiveWindow()) {
    ::EnumThreadWindows(::GetCurrentThreadId(), &OtherWindowsDisabled::Collect,
                        reinterpret_cast<LPARAM>(this));
    for (HWND window : disabled_)
      ::EnableWindow(window, FALSE);
  }
  // Also runs when something threw on the way, so no window is left dead. A window closed while
  // the dialog was open is skipped.
  ~OtherWindowsDisabled() {
    for (HWND window : disabled_) {
      if (::IsWindow(window))
        ::EnableWindow(window, TRUE);
    }
    // The closing dialog hands activation to its owner, the hidden application window, since the
    // others are still disabled at that moment; give it back to the window the user came from.
    if (std::find(disabled_.begin(), disabled_.end(), active_) != disabled_.end() && ::IsWindow(active_))
      ::SetActiveWindow(active_);
  }
  OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
  OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

 private:
  static BOOL CALLBACK Collect(HWND window, LPARAM context) {
    auto* self = reinterpret_cast<OtherWindowsDisabled*>(context);
    if (window == self->owner_ || !::IsWindowVisible(window) || !::IsWindowEnabled(window))
      return TRUE;
    // No exception may cross the system's enumeration; out of memory, the rest stay usable.
    try {
      self->disabled_.push_back(window);
    } catch (...) {
      return FALSE;
    }
    return TRUE;
  }

  HWND owner_;
  HWND active_;
  std::vector<HWND> disabled_;
};

// The file-system path of `item` in the program's code page; empty for a virtual folder (the
// control panel, the computer). Read as UTF-16: the ANSI call fills at most MAX_PATH bytes, which
// a path of UTF-8 characters from other scripts outgrows long before MAX_PATH characters.
std::string PathOfItem(PCIDLIST_ABSOLUTE item) {
  wchar_t wide[MAX_PATH + 1] = {};
  if (!::SHGetPathFromIDListW(item, wide))
    return std::string();
  const int size = ::WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1)
    return std::string();
  std::string path(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide, -1, path.data(), size, nullptr, nullptr);
  path.pop_back();  // the NUL
  return path;
}

}  // namespace

bool BrowseForFolder(HWND owner,
                     const std::string& title,
                     const std::string& initialFolder,
                     const std::wstring& root,
                     bool statusText,
                     std::string& path) {
  path.clear();

  // One trailing separator comes off, a drive root's included ("C:\" goes as "C:"): deliberate,
  // and the status line starts with exactly this text.
  std::string startFolder = initialFolder;
  if (!startFolder.empty() &&
      FindLastCharOf(startFolder, "\\", CharSizes::InForce()) == startFolder.size() - 1)
    startFolder.pop_back();

  BROWSEINFOA info;
  std::memset(&info, 0, sizeof(info));

  ComPtr<IMalloc> allocator;
  if (FAILED(::SHGetMalloc(allocator.Put())) || !allocator)
    return false;

  ShellMemory<char> displayName(allocator.Get(), static_cast<char*>(allocator->Alloc(MAX_PATH)));
  if (!displayName.Get())
    return false;
  std::memset(displayName.Get(), 0, MAX_PATH);

  // A root that does not parse leaves the list empty, and the tree then starts at the desktop.
  ComPtr<IShellFolder> desktop;
  ITEMIDLIST* parsedRoot = nullptr;
  if (SUCCEEDED(::SHGetDesktopFolder(desktop.Put())) && desktop) {
    std::wstring rootName = root;  // ParseDisplayName takes a writable string.
    desktop->ParseDisplayName(owner, nullptr, rootName.data(), nullptr, &parsedRoot, nullptr);
  }
  ShellMemory<ITEMIDLIST> rootList(allocator.Get(), parsedRoot);

  info.hwndOwner = owner;
  info.pidlRoot = rootList.Get();
  info.pszDisplayName = displayName.Get();
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | (statusText ? BIF_STATUSTEXT : 0);
  info.lpfn = &BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(startFolder.c_str());
  info.iImage = 0;

  ITEMIDLIST* chosen = nullptr;
  {
    OtherWindowsDisabled others(owner);
    chosen = ::SHBrowseForFolderA(&info);
  }
  if (!chosen)
    return false;

  ShellMemory<ITEMIDLIST> chosenList(allocator.Get(), chosen);
  path = PathOfItem(chosenList.Get());
  return true;
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data) {
  switch (message) {
    case BFFM_INITIALIZED:
      // wParam TRUE: lParam is a path, not an item list.
      ::SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
      ::SendMessageA(dialog, BFFM_SETSTATUSTEXTA, 0, data);
      break;
    case BFFM_SELCHANGED: {
      // Virtual folders have no path: the line stays as it was.
      const std::string selection = PathOfItem(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam));
      if (!selection.empty())
        ::SendMessageA(dialog, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(selection.c_str()));
      break;
    }
    default:
      break;
  }
  return 0;
}

}  // namespace velmora::win

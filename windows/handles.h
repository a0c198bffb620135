// One owner per Win32 handle: move-only wrappers that release what they hold.
#pragma once

// <windows.h> first, in a block of its own so that sorting the includes keeps it first.
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <cstdint>
#include <memory>
#include <type_traits>
#include <utility>

namespace velmora::win {

// A move-only owner of a handle-like value, released by `Close` unless it equals the invalid
// value, whose bits are `kInvalidBits` (a pointer constant such as INVALID_HANDLE_VALUE cannot
// be a template argument).
template <typename T, auto Close, std::intptr_t kInvalidBits = 0>
class UniqueHandle {
  static T Invalid() { return reinterpret_cast<T>(kInvalidBits); }

 public:
  UniqueHandle() = default;
  explicit UniqueHandle(T value) : value_(value) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : value_(std::exchange(other.value_, Invalid())) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other)
      Reset(std::exchange(other.value_, Invalid()));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  T Get() const { return value_; }
  explicit operator bool() const { return value_ != Invalid(); }
  [[nodiscard]] T Release() { return std::exchange(value_, Invalid()); }
  void Reset(T value = Invalid()) {
    if (value_ != Invalid())
      Close(value_);
    value_ = value;
  }

 private:
  T value_ = Invalid();
};

namespace detail {
inline void CloseKernelHandle(HANDLE h) {
  ::CloseHandle(h);
}
inline void CloseFind(HANDLE h) {
  ::FindClose(h);
}
inline void CloseKey(HKEY h) {
  ::RegCloseKey(h);
}
inline void DeleteGdi(HGDIOBJ h) {
  ::DeleteObject(h);
}
inline void DestroyIconHandle(HICON h) {
  ::DestroyIcon(h);
}
inline void DestroyImageList(HIMAGELIST h) {
  ::ImageList_Destroy(h);
}
inline void DestroyMenuHandle(HMENU h) {
  ::DestroyMenu(h);
}
inline void DestroyAccel(HACCEL h) {
  ::DestroyAcceleratorTable(h);
}
inline void DestroyWindowHandle(HWND h) {
  if (::IsWindow(h))
    ::DestroyWindow(h);
}
inline void FreeItemList(PIDLIST_ABSOLUTE p) {
  ::CoTaskMemFree(p);
}
inline void FreeLibraryModule(HMODULE h) {
  ::FreeLibrary(h);
}
inline void FreeGlobal(HGLOBAL h) {
  ::GlobalFree(h);
}
inline void UnhookHook(HHOOK h) {
  ::UnhookWindowsHookEx(h);
}
}  // namespace detail

using FileHandle = UniqueHandle<HANDLE, detail::CloseKernelHandle, -1>;
using FindHandle = UniqueHandle<HANDLE, detail::CloseFind, -1>;
using KeyHandle = UniqueHandle<HKEY, detail::CloseKey>;
using FontHandle = UniqueHandle<HFONT, detail::DeleteGdi>;
using BrushHandle = UniqueHandle<HBRUSH, detail::DeleteGdi>;
using BitmapHandle = UniqueHandle<HBITMAP, detail::DeleteGdi>;
using IconHandle = UniqueHandle<HICON, detail::DestroyIconHandle>;
using ImageListHandle = UniqueHandle<HIMAGELIST, detail::DestroyImageList>;
using MenuHandle = UniqueHandle<HMENU, detail::DestroyMenuHandle>;
using AccelHandle = UniqueHandle<HACCEL, detail::DestroyAccel>;
using WindowHandle = UniqueHandle<HWND, detail::DestroyWindowHandle>;
using ItemListHandle = UniqueHandle<PIDLIST_ABSOLUTE, detail::FreeItemList>;
using ModuleHandle = UniqueHandle<HMODULE, detail::FreeLibraryModule>;
using GlobalHandle = UniqueHandle<HGLOBAL, detail::FreeGlobal>;
using HookHandle = UniqueHandle<HHOOK, detail::UnhookHook>;

// COM interface pointer owner (IMalloc, IShellFolder).
template <typename I>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  I* Get() const { return ptr_; }
  I* operator->() const { return ptr_; }
  I** Put() {
    Reset();
    return &ptr_;
  }
  explicit operator bool() const { return ptr_ != nullptr; }
  void Reset() {
    if (ptr_)
      ptr_->Release();
    ptr_ = nullptr;
  }

 private:
  I* ptr_ = nullptr;
};

}  // namespace velmora::win

#include "windows/window_base.h"

#include <utility>
#include <vector>

#include "windows/artwork.h"

namespace velmora::win {

BaseWindow::~BaseWindow() {
  if (hwnd_ && ::IsWindow(hwnd_)) {
    // Unbind first: messages sent during destruction must not reach a half-destroyed object.
    ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
  }
}

bool BaseWindow::CreateBound(const CreateArgs& args) {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof(existing);
  if (!::GetClassInfoExA(instance, args.className, &existing)) {
    WNDCLASSEXA wc = args.wc;
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &BaseWindow::StaticProc;
    wc.hInstance = instance;
    wc.lpszClassName = args.className;
    if (!wc.hCursor)
      wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    if (!::RegisterClassExA(&wc))
      return false;
  }
  ::CreateWindowExA(args.exStyle, args.className, args.title, args.style, args.x, args.y, args.width,
                    args.height, args.parent, args.menu, instance, this);
  return hwnd_ != nullptr;
}

void BaseWindow::SetAppIcons(int dpi) {
  IconHandle smallIcon = MakeAppIcon(::GetSystemMetricsForDpi(SM_CXSMICON, static_cast<UINT>(dpi)));
  IconHandle largeIcon = MakeAppIcon(::GetSystemMetricsForDpi(SM_CXICON, static_cast<UINT>(dpi)));
  ::SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.Get()));
  ::SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon.Get()));
  // The old icons go only once the window no longer shows them.
  smallIcon_ = std::move(smallIcon);
  largeIcon_ = std::move(largeIcon);
}

LRESULT BaseWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(hwnd_, message, wParam, lParam);
}

void BaseWindow::ReportFailure(const char*) {}

LRESULT CALLBACK BaseWindow::StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  BaseWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    self = static_cast<BaseWindow*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<BaseWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  }
  if (!self)
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
  const LRESULT result =
      self->StopExceptions([&] { return self->HandleMessage(message, wParam, lParam); },
                           [&] { return ::DefWindowProcA(hwnd, message, wParam, lParam); });
  // Unbound whatever the handler did: the handle is dead from here on and may be given to
  // another window, which the object's destructor must not destroy.
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

void BaseWindow::Report(const char* what) noexcept {
  try {
    ReportFailure(what);
  } catch (...) {
    // Nothing is left to tell the user with; the message is answered all the same.
  }
}

std::string WindowText(HWND hwnd) {
  const int length = ::GetWindowTextLengthA(hwnd);
  std::vector<char> buffer(static_cast<std::size_t>(length) + 2, '\0');
  const int copied = ::GetWindowTextA(hwnd, buffer.data(), length + 1);
  return std::string(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

}  // namespace velmora::win

#include "windows/panel.h"

namespace velmora::win {

namespace {

constexpr char kPanelClass[] = "VelmoraPanel";

LRESULT CALLBACK PanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      break;
    }
    case WM_PRINTCLIENT: {
      // Themed controls (group boxes) draw their parent's background through this message;
      // without it their inside stays unpainted.
      RECT client{};
      ::GetClientRect(hwnd, &client);
      ::FillRect(reinterpret_cast<HDC>(wParam), &client, ::GetSysColorBrush(COLOR_BTNFACE));
      return 0;
    }
    case WM_COMMAND:
    case WM_NOTIFY: {
      HWND target = reinterpret_cast<HWND>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
      if (target)
        return ::SendMessageA(target, message, wParam, lParam);
      break;
    }
    default:
      break;
  }
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

bool RegisterPanelClass(HINSTANCE instance) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExA(instance, kPanelClass, &existing))
    return true;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &PanelProc;
  wc.hInstance = instance;
  wc.lpszClassName = kPanelClass;
  wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  return ::RegisterClassExA(&wc) != 0;
}

}  // namespace

Panel CreatePanel(HWND parent, HWND notifyTarget, int id, int x, int y, int width, int height, bool visible) {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  if (!RegisterPanelClass(instance))
    return Panel();
  // No WS_CLIPCHILDREN: a group box paints only its frame and caption and relies on its parent
  // having painted the face colour beneath it.
  const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0);
  return Panel(::CreateWindowExA(WS_EX_CONTROLPARENT, kPanelClass, "", style, x, y, width, height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, notifyTarget));
}

}  // namespace velmora::win

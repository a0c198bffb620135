// The launch benchmark's baselines: programs whose main window, of a class of their own, is made,
// shown and run as a program's main window is, with the program's manifest.
#pragma once

#include <windows.h>

#include <commctrl.h>

namespace velmora::bench {

struct BaselineWindow {
  const char* className;
  const char* title;
  WNDPROC proc;  // ends the program at WM_DESTROY
  DWORD commonControls;
  DWORD exStyle;
  DWORD style;
  int width;
  int height;
  HMENU menu;
};

// Registers the class, makes the window, lets `fill` add to it, shows and paints it, and runs
// its messages until it is closed. Returns the program's exit code.
template <typename Fill>
int RunBaselineWindow(HINSTANCE instance, int showCommand, const BaselineWindow& args, Fill fill) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), args.commonControls};
  ::InitCommonControlsEx(&controls);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = args.proc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = args.className;
  if (!::RegisterClassExA(&wc))
    return 1;
  HWND hwnd = ::CreateWindowExA(args.exStyle, args.className, args.title, args.style, 0, 0, args.width,
                                args.height, nullptr, args.menu, instance, nullptr);
  if (!hwnd)
    return 1;
  fill(hwnd);
  ::ShowWindow(hwnd, showCommand);
  ::UpdateWindow(hwnd);
  MSG message{};
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace velmora::bench

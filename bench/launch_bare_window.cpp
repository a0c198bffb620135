// The launch benchmark's baseline: a top-level window with a report list view and a status bar,
// nothing else. It is started the same way as Velmora.exe and carries the same manifest, so the
// two differ only by what Velmora does before its window shows.
#include <windows.h>

#include <commctrl.h>

#include "bench/baseline_window.h"

namespace {

constexpr char kClassName[] = "VelmoraLaunchBareWindow";
constexpr int kListId = 1;
constexpr int kStatusId = 2;

void Layout(HWND hwnd) {
  HWND status = ::GetDlgItem(hwnd, kStatusId);
  ::SendMessageA(status, WM_SIZE, 0, 0);
  RECT client{};
  RECT bar{};
  ::GetClientRect(hwnd, &client);
  ::GetWindowRect(status, &bar);
  ::MoveWindow(::GetDlgItem(hwnd, kListId), 0, 0, client.right, client.bottom - (bar.bottom - bar.top), TRUE);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      HWND list =
          ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                            WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0, 0, 0,
                            0, hwnd, reinterpret_cast<HMENU>(kListId), create->hInstance, nullptr);
      LVCOLUMNA column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH;
      column.cx = 248;
      column.pszText = const_cast<char*>("Location");
      ::SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
      ::CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd,
                        reinterpret_cast<HMENU>(kStatusId), create->hInstance, nullptr);
      return 0;
    }
    case WM_SIZE:
      Layout(hwnd);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  const velmora::bench::BaselineWindow window{.className = kClassName,
                                              .title = "Bare window",
                                              .proc = &WindowProc,
                                              .commonControls = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES,
                                              .exStyle = WS_EX_APPWINDOW,
                                              .style = WS_OVERLAPPEDWINDOW,
                                              .width = 534,
                                              .height = 300,
                                              .menu = nullptr};
  return velmora::bench::RunBaselineWindow(instance, showCommand, window, [](HWND) {});
}

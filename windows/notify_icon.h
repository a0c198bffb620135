// One icon in the notification area, owned like any other handle: shown with Show, removed by
// Hide or when the owner object goes. It speaks NOTIFYICON_VERSION_4 to the shell through a
// TrayShell, so that tests can record what was asked (Wine's tray cannot be read back).
//
// The owner window receives `callbackMessage` with the version 4 arguments:
//   LOWORD(lParam)  the event: NIN_SELECT (left click), NIN_KEYSELECT (Enter or Space),
//                   WM_CONTEXTMENU (right click, menu key, Shift+F10), WM_MOUSEMOVE,
//                   NIN_BALLOONUSERCLICK, ...
//   HIWORD(lParam)  the icon's id
//   GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)  where to open a menu, in screen coordinates.
// Call Readd when the owner receives TaskbarCreatedMessage(): Explorer restarted (or the
// screen's dpi changed) and the icons it held are gone. Remove the icon (Hide or destruction)
// before the owner window is destroyed.
//
// Every NIM_MODIFY carries the tip with NIF_TIP | NIF_SHOWTIP: a version 4 icon modified without
// NIF_SHOWTIP loses its standard tip.
#pragma once

#include "windows/handles.h"

#include <shellapi.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora::win {

class TrayShell {
 public:
  virtual ~TrayShell() = default;
  // Shell_NotifyIconA's contract: true when the shell did what `message` asks.
  virtual bool Notify(DWORD message, NOTIFYICONDATAA& data) = 0;
};

// The shell itself.
TrayShell& SystemTrayShell();

// The "TaskbarCreated" message Explorer broadcasts to every top-level window.
UINT TaskbarCreatedMessage();

// At most `bufferSize` - 1 bytes of `text`, never ending inside a character of `codePage` (CP_ACP:
// the system's ANSI code page): what fits in a char buffer of that size with its NUL.
std::string CutForBuffer(std::string_view text, std::size_t bufferSize, UINT codePage = CP_ACP);

// The dpi the notification area draws its icons at: the primary screen's, whatever screen the
// owner window is on.
int NotificationAreaDpi();

class NotifyIcon {
 public:
  // Nothing is shown yet. The icon is the window's, at the small-icon size for `dpi`.
  NotifyIcon(TrayShell& shell, HWND owner, UINT id, UINT callbackMessage, int dpi);
  ~NotifyIcon();
  NotifyIcon(const NotifyIcon&) = delete;
  NotifyIcon& operator=(const NotifyIcon&) = delete;

  // Adds the icon with the current tip. False when the shell refused (no taskbar yet, say);
  // the icon stays wanted and Readd adds it when the taskbar comes.
  bool Show();
  void Hide();
  bool Wanted() const { return wanted_; }
  bool Added() const { return added_; }

  // Cut to the tip's 127 characters. Kept for Show and Readd when the icon is not there.
  bool SetTip(const std::string& tip);
  // A notification from the icon (cut to 63 and 255 characters), with the window's icon in its
  // large size. False, and nothing kept, when the icon is not there.
  bool ShowBalloon(const std::string& title, const std::string& text);
  // The taskbar was created again: adds the wanted icon anew (or updates it, if the shell still
  // holds it), drawn at `dpi` when given (the notification area's may have changed).
  bool Readd();
  bool Readd(int dpi);
  // The notification area's dpi changed: the icon is drawn again at its size there.
  bool SetDpi(int dpi);
  int Dpi() const { return dpi_; }
  // Gives the keyboard focus back to the notification area (after its menu was cancelled).
  bool ReturnFocus();

  HICON SmallIcon() const { return smallIcon_.Get(); }
  HICON LargeIcon() const { return largeIcon_.Get(); }

 private:
  NOTIFYICONDATAA Data(UINT flags) const;
  bool Add();
  void MakeIcons(int dpi);

  TrayShell& shell_;
  HWND owner_;
  UINT id_;
  UINT callbackMessage_;
  IconHandle smallIcon_;
  IconHandle largeIcon_;
  std::string tip_;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  bool wanted_ = false;
  bool added_ = false;
};

}  // namespace velmora::win

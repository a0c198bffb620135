// Where a window's controls stand: against the layout table the window was built from, and
// against each other (nothing covers another control or sticks out of its parent).
#pragma once

#include <windows.h>

#include <array>
#include <span>
#include <string>

namespace velmora::testing {

// `child`'s rectangle in its parent's client coordinates.
RECT RectInParent(HWND child);
// `control`'s rectangle in `window`'s client coordinates.
RECT RectIn(HWND window, HWND control);

// `window`'s outer rectangle on the screen.
RECT WindowRect(HWND window);
// A rectangle as left, top, width and height, to compare it whole in one expectation.
std::array<LONG, 4> Bounds(const RECT& r);
// A rectangle's width and height.
std::array<LONG, 2> SizeOf(const RECT& r);

bool Inside(const RECT& inner, const RECT& outer);

// How wide `text` (by default the control's own) is drawn in the control's font.
int TextWidth(HWND control);
int TextWidth(HWND control, const std::string& text);
// The extent of `text` drawn in `font` on the screen.
SIZE TextExtent(HFONT font, const std::string& text);
// The control's font, and its lfHeight.
LOGFONTA ControlFont(HWND control);
int FontHeight(HWND control);
// Pixels on this screen for a length the layout gives at 96 dpi.
int ScreenPx(int value);

// A control as a window's layout table gives it at 96 dpi.
struct LaidOutControl {
  int id;
  const char* text;   // null: a value filled later, not checked
  int x, y;           // in the window's client area
  int width, height;  // 0: the control's own affair, not checked
};

// The control stands at its row's place, scaled to `dpi`, shows its text and has the eight-point
// font at that dpi. The height is left to the caller: some controls (a status bar) size their
// own height at other dpis.
void ExpectLaidOut(HWND window, const LaidOutControl& row, int dpi);

// A dialog frame that cannot be resized, maximized or minimized, around a client area of
// `client` (at 96 dpi) on this screen, with the program's icon.
void ExpectFixedFrame(HWND window, SIZE client);

// Moved to screens of 192 and 120 dpi and back to its own (WM_DPICHANGED), the window takes the
// place the system suggests, a client area of the laid-out size and `rows` at each dpi.
void ExpectFollowsDpiChanges(HWND window, std::span<const LaidOutControl> rows, SIZE client);

// No visible child of `parent` overlaps another or sticks out of the parent's client area, but
// for a group box around its labels and an up-down control beside its buddy, which share one
// slot.
void ExpectControlsKeepApart(HWND parent);

}  // namespace velmora::testing

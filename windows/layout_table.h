// Controls whose place is fixed in pixels, created from rows of a table rather than one
// CreateWindowEx call each.
#pragma once

#include <windows.h>

#include <span>

namespace velmora::win {

struct ControlLayout {
  const char* className;  // "STATIC", "BUTTON", "EDIT", an up-down...
  int id;
  const char* text;
  DWORD style;  // besides WS_CHILD | WS_VISIBLE
  DWORD exStyle;
  int x, y, width, height;  // pixels at 96 dots per inch
};

// `value` pixels at 96 dpi in pixels at `dpi`.
int ScaleToDpi(int value, int dpi);

// Creates the control on `parent` (which owns it), scaled to `dpi`, in `font`.
HWND CreateLaidOutControl(HWND parent, const ControlLayout& layout, HFONT font, int dpi);

// Moves the controls of `parent` that these rows created to their places at `dpi` and gives
// them `font`: what a window does when it moves to a screen of another dpi.
void PlaceLaidOutControls(HWND parent, std::span<const ControlLayout> layouts, HFONT font, int dpi);

// Sizes `window` so that its client area is `width` by `height` (96-dpi pixels) at `dpi`, for
// windows of a fixed size. The frame is measured, not only computed: some window managers
// give a frame of another size than the system expects.
void FitClientArea(HWND window, int width, int height, int dpi);

// WM_DPICHANGED for a window of a fixed size: its size follows from its layout, its place from
// the rectangle the system suggests (`suggestedRect`, the message's lParam).
void MoveToSuggestedPlace(HWND window, LPARAM suggestedRect);

}  // namespace velmora::win

// The font every control of the program's windows is drawn in.
#pragma once

#include "windows/handles.h"

namespace velmora::win {

// "MS Sans Serif" at 8 points: 11 pixels high at 96 dots per inch. Wine substitutes a face with
// the same metrics when the bitmap font is not installed.
[[nodiscard]] FontHandle MakeUiFont(int dpi);

// Dots per inch of the screen the program starts on.
int ScreenDpi();

// Dots per inch `window` is drawn at: under per-monitor awareness, those of its screen.
int WindowDpi(HWND window);

}  // namespace velmora::win

// The font every control of the program's windows is drawn in.
#pragma once

#include "windows/handles.h"

namespace velmora::win {

// The outline twin of "MS Sans Serif", with its metrics: the bitmap face is jagged, sized to the
// nearest bitmap and drawn without ClearType at any scaling above 100 %, and Windows links this
// one to fonts that hold East Asian characters.
inline constexpr char kUiFontFace[] = "Microsoft Sans Serif";

// kUiFontFace at 8 points: 11 pixels high at 96 dots per inch.
[[nodiscard]] FontHandle MakeUiFont(int dpi);

// Dots per inch of the screen the program starts on.
int ScreenDpi();

// Dots per inch `window` is drawn at: under per-monitor awareness, those of its screen.
int WindowDpi(HWND window);

}  // namespace velmora::win

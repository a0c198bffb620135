// The program's pictures, drawn by us as small pixel maps and turned into Win32 images:
// the purple radio-telescope dish of the window icon, the five glossy state balls, the
// toolbar images, the envelope and the globe of the about window.
#pragma once

#include "windows/handles.h"

namespace velmora::win {

// The window icon at `size` pixels (16, 32, 48...).
IconHandle MakeAppIcon(int size);
// The list images are drawn at 16 by 16 pixels; `size` other than 16 resamples them, for
// screens of more (or fewer) dots per inch.
// Five balls with transparent background: white, black, green, blue, red (indices 0..4).
ImageListHandle MakeStateImageList(int size);
// Eight toolbar images: 0 exit door, 1 add folder, 2 remove folder, 3 info, 4 refresh,
// 5 envelope, 6 globe, 7 T above a cup.
ImageListHandle MakeButtonImageList(int size);
// Toolbar image `index` at `size` pixels for a menu item (MIIM_BITMAP): a 32-bit top-down DIB
// section with premultiplied alpha, which menus draw blended over their background. Null for
// an index outside 0..7.
BitmapHandle MakeButtonBitmap(int index, int size);
// The about window's small pictures: a 12 by 8 yellow envelope and a 12 by 12 globe.
BitmapHandle MakeEnvelopeBitmap(COLORREF background);
BitmapHandle MakeGlobeBitmap(COLORREF background);

}  // namespace velmora::win

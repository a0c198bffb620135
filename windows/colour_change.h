// New system colours passed on from a top-level window to its controls.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace velmora::win {

// Only top-level windows receive WM_SYSCOLORCHANGE, and common controls take the new colours only
// when it is passed on to them. Sends it to every descendant of `window` and to `popups`, the
// window's tooltips, which are top-level windows of their own (a null one is skipped).
void ForwardSysColorChange(HWND window, std::initializer_list<HWND> popups, WPARAM wParam, LPARAM lParam);

// Whether the user has a high-contrast theme on.
bool HighContrastOn();

}  // namespace velmora::win

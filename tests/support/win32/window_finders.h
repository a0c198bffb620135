// Finding the windows a test did not create itself: the dialogs its thread shows, a control by
// its text.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace velmora::testing {

// Whether `window`'s class is `className`, in any case.
bool HasClass(HWND window, const char* className);

// The top-level windows of class `className` this thread has right now: by default the dialogs
// ("#32770": message boxes, the folder picker) that show; "#32768" for popup menus. Hidden ones
// too unless `visibleOnly`: a tooltip control is hidden until it pops up.
std::vector<HWND> ThreadWindows(const char* className = "#32770", bool visibleOnly = true);

// The first of them, or null.
HWND FindThreadWindow(const char* className);

// The children of `parent` in z-order, the order screen readers walk them in.
std::vector<HWND> Children(HWND parent);

// The first child of `parent`, in z-order, whose text is `text`, or null.
HWND FindChildByText(HWND parent, const std::string& text);

// Texts of the child windows of `window` of class `className` ("Static", "Button"), in z-order.
std::vector<std::string> ChildTexts(HWND window, const char* className);

}  // namespace velmora::testing

// Text onto the clipboard.
#pragma once

#include <windows.h>

#include <string>

namespace velmora::win {

// Puts `text` on the clipboard as CF_TEXT, in place of what was there; false when the clipboard
// could not be opened (another program holds it) or memory could not be had.
bool CopyTextToClipboard(HWND owner, const std::string& text);

}  // namespace velmora::win

// The shell's folder-browse dialog wrapped for plain strings.
#pragma once

#include <windows.h>

#include <string>

namespace velmora::win {

// Asks for a folder. `owner` is the application window; every other visible, enabled top-level
// window of the thread is disabled while the dialog is open. `root` empty: the whole namespace.
// True when the user confirmed; `path` is then the folder (a drive root keeps its "\").
bool BrowseForFolder(HWND owner, const std::string& title, const std::string& initialFolder,
                     const std::wstring& root, bool statusText, std::string& path);

// The dialog's callback: selects and shows the initial folder when ready, and follows the
// selection in the status line. Always returns 0.
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data);

}  // namespace velmora::win

// The shell's folder-browse dialog wrapped for plain strings.
#pragma once

#include <windows.h>

#include <string>

namespace velmora::win {

// Asks for a folder. `owner` is the application window; every other visible, enabled top-level
// window of the thread is disabled while the dialog is open. `root` empty: the whole namespace.
// True when the user confirmed; `path` is then the folder (a drive root keeps its "\").
// The calling thread must have initialised OLE (OleInitialize, a single-threaded apartment):
// the dialog's tree is built from shell folders that need it, and the program entry does it
// once for the whole run rather than this call for every dialog.
bool BrowseForFolder(HWND owner,
                     const std::string& title,
                     const std::string& initialFolder,
                     const std::wstring& root,
                     bool statusText,
                     std::string& path);

// The dialog's callback: selects and shows the initial folder when ready, and follows the
// selection in the status line. Always returns 0.
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data);

}  // namespace velmora::win

// What a tree view shows, read back with the messages a screen reader sends: the shell's folder
// dialog, which the folder picker opens.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

namespace velmora::testing {

// The folder dialog's tree: the same identifier in Windows and Wine.
inline constexpr int kFolderDialogTreeId = 0x3741;

// The caption of the item `which` names (TVGN_ROOT, TVGN_CARET), or "(none)".
inline std::string TreeItemText(HWND tree, WPARAM which) {
  auto item = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, which, 0));
  if (!item)
    return "(none)";
  char text[MAX_PATH + 1] = {};
  TVITEMA query{};
  query.mask = TVIF_TEXT;
  query.hItem = item;
  query.pszText = text;
  query.cchTextMax = sizeof(text);
  ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
  return text;
}

}  // namespace velmora::testing

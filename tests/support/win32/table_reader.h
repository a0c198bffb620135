// What a report list view shows, read back through the program's own wrapper (the messages a
// screen reader sends, from the control's own process), and what a user's click does to a row.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <ostream>
#include <string>
#include <vector>

#include "windows/list_view.h"

namespace velmora::testing {

inline int ItemCount(HWND listView) {
  return win::ListView(listView).ItemCount();
}

inline std::string ItemText(HWND listView, int row, int column) {
  char buffer[1024] = {};
  win::ListView(listView).GetItemText(row, column, buffer, sizeof(buffer));
  return buffer;
}

// The row's first `columns` cells.
inline std::vector<std::string> RowTexts(HWND listView, int row, int columns = 6) {
  std::vector<std::string> texts;
  for (int column = 0; column < columns; ++column)
    texts.push_back(ItemText(listView, row, column));
  return texts;
}

inline int ItemImage(HWND listView, int row) {
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  win::ListView(listView).GetItem(item);
  return item.iImage;
}

inline bool ItemChecked(HWND listView, int row) {
  return win::ListView(listView).CheckState(row);
}

// The row whose first cell reads `caption`, or -1.
inline int RowOf(HWND listView, const std::string& caption) {
  for (int row = 0; row < ItemCount(listView); ++row) {
    if (ItemText(listView, row, 0) == caption)
      return row;
  }
  return -1;
}

// A row as a user sees it: its first cell and its check box.
struct ShownRow {
  std::string path;
  bool checked;
  bool operator==(const ShownRow&) const = default;
};

inline void PrintTo(const ShownRow& row, std::ostream* os) {
  *os << "{\"" << row.path << "\", " << (row.checked ? "checked" : "unchecked") << "}";
}

// The rows in display order.
inline std::vector<ShownRow> ShownRows(HWND listView) {
  std::vector<ShownRow> rows;
  for (int row = 0; row < ItemCount(listView); ++row)
    rows.push_back({ItemText(listView, row, 0), ItemChecked(listView, row)});
  return rows;
}

// Every column's caption and width, as many as the header holds.
inline std::vector<std::string> ColumnCaptions(HWND listView) {
  const win::ListView table(listView);
  std::vector<std::string> captions;
  for (int index = 0; index < Header_GetItemCount(table.Header()); ++index) {
    char text[64] = {};
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = sizeof(text);
    table.GetColumn(index, column);
    captions.push_back(text);
  }
  return captions;
}
inline std::vector<int> ColumnWidths(HWND listView) {
  const win::ListView table(listView);
  std::vector<int> widths;
  for (int index = 0; index < Header_GetItemCount(table.Header()); ++index)
    widths.push_back(table.ColumnWidth(index));
  return widths;
}

inline void SelectRow(HWND listView, int row) {
  win::ListView(listView).SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

inline void ClearSelection(HWND listView) {
  win::ListView(listView).SetItemState(-1, 0, LVIS_SELECTED);
}

inline void SetRowChecked(HWND listView, int row, bool checked) {
  win::ListView(listView).SetCheckState(row, checked);
}

}  // namespace velmora::testing

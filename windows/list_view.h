// A report-style list view, one line per message.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "windows/control.h"

namespace velmora::win {

class ListView : public Control {
 public:
  using Control::Control;

  void SetExtendedStyle(DWORD mask, DWORD style) const { Send(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style); }
  DWORD ExtendedStyle() const { return static_cast<DWORD>(Send(LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)); }
  void SetSmallImageList(HIMAGELIST list) const {
    Send(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(list));
  }
  HIMAGELIST SmallImageList() const {
    return reinterpret_cast<HIMAGELIST>(Send(LVM_GETIMAGELIST, LVSIL_SMALL, 0));
  }

  int InsertColumn(int index, const LVCOLUMNA& column) const {
    return static_cast<int>(Send(LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column)));
  }
  bool GetColumn(int index, LVCOLUMNA& column) const {
    return Send(LVM_GETCOLUMNA, index, reinterpret_cast<LPARAM>(&column)) != 0;
  }
  bool SetColumnWidth(int index, int width) const {
    return Send(LVM_SETCOLUMNWIDTH, index, MAKELPARAM(width, 0)) != 0;
  }
  int ColumnWidth(int index) const { return static_cast<int>(Send(LVM_GETCOLUMNWIDTH, index, 0)); }
  bool DeleteColumn(int index) const { return Send(LVM_DELETECOLUMN, index, 0) != 0; }
  HWND Header() const { return reinterpret_cast<HWND>(Send(LVM_GETHEADER, 0, 0)); }

  int InsertItem(const LVITEMA& item) const {
    return static_cast<int>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  }
  bool DeleteItem(int index) const { return Send(LVM_DELETEITEM, index, 0) != 0; }
  bool DeleteAllItems() const { return Send(LVM_DELETEALLITEMS, 0, 0) != 0; }
  // Room for `count` items before inserting them.
  void ReserveItems(int count) const { Send(LVM_SETITEMCOUNT, count, LVSICF_NOINVALIDATEALL); }
  // While off, the control neither repaints nor recomputes its scroll bars.
  void SetRedraw(bool on) const { Send(WM_SETREDRAW, on ? TRUE : FALSE, 0); }
  int ItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT, 0, 0)); }
  bool GetItem(LVITEMA& item) const { return Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) != 0; }
  int GetItemText(int index, int subItem, char* buffer, int size) const {
    LVITEMA item{};
    item.iSubItem = subItem;
    item.pszText = buffer;
    item.cchTextMax = size;
    return static_cast<int>(Send(LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item)));
  }
  bool SetItemState(int index, UINT state, UINT mask) const {
    LVITEMA item{};
    item.stateMask = mask;
    item.state = state;
    return Send(LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item)) != 0;
  }
  UINT ItemState(int index, UINT mask) const {
    return static_cast<UINT>(Send(LVM_GETITEMSTATE, index, mask));
  }
  // Check boxes keep their state in the state image: 1 unchecked, 2 checked.
  bool SetCheckState(int index, bool checked) const {
    return SetItemState(index, INDEXTOSTATEIMAGEMASK(checked ? 2 : 1), LVIS_STATEIMAGEMASK);
  }
  bool CheckState(int index) const { return ((ItemState(index, LVIS_STATEIMAGEMASK) >> 12) - 1) == 1; }
  int NextItem(int start, UINT flags) const { return static_cast<int>(Send(LVM_GETNEXTITEM, start, flags)); }
  int SelectedIndex() const { return NextItem(-1, LVNI_SELECTED); }
  bool RedrawItems(int first, int last) const { return Send(LVM_REDRAWITEMS, first, last) != 0; }
  int TopIndex() const { return static_cast<int>(Send(LVM_GETTOPINDEX, 0, 0)); }
  // Rows that fit wholly in the visible area.
  int CountPerPage() const { return static_cast<int>(Send(LVM_GETCOUNTPERPAGE, 0, 0)); }
  bool EnsureVisible(int index) const { return Send(LVM_ENSUREVISIBLE, index, FALSE) != 0; }
};

}  // namespace velmora::win

// The monitor window's refresh pass as it ran before its reads left the window's thread, for a
// baseline that a user would meet: a plain window with a report list view (check boxes, the six
// columns, texts pulled from a LocationTable through LPSTR_TEXTCALLBACK) and a status bar, whose
// pass reads every folder on the window's thread, then asks the list view to repaint the changed
// rows on screen and writes the counters.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "bench/bench_clients.h"
#include "core/file_system.h"
#include "monitor/location_table.h"
#include "monitor/repaint_ranges.h"
#include "tests/support/inline_pass.h"
#include "windows/window_base.h"

namespace velmora::bench {

// On the program's own window base, as the window it stands in for.
class InlineListWindow final : public win::BaseWindow {
 public:
  InlineListWindow(FileSystem& fs, const std::vector<std::string>& folders) : fs_(fs), table_(&CaptionOrder) {
    WNDCLASSEXA wc{};
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    CreateBound({.className = "VelmoraBenchInlineListWindow",
                 .wc = wc,
                 .title = "before",
                 .style = WS_OVERLAPPEDWINDOW,
                 .width = 505,
                 .height = 422});
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    list_ = ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                              WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL, 0, 0, 497, 300, Hwnd(),
                              nullptr, instance, nullptr);
    ::SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                   LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    status_ = ::CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, Hwnd(), nullptr,
                                instance, nullptr);
    const int parts[] = {80, 160, 240, -1};
    ::SendMessageA(status_, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(parts));
    const char* captions[] = {"Location", "%", "WU", "Stt", "Res", "Last date"};
    const int widths[] = {200, 50, 30, 30, 30, 110};
    for (int i = 0; i < 6; ++i) {
      LVCOLUMNA column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
      column.fmt = i == 1 ? LVCFMT_RIGHT : LVCFMT_LEFT;
      column.cx = widths[i];
      column.pszText = const_cast<char*>(captions[i]);
      column.iSubItem = i;
      ::SendMessageA(list_, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    for (const std::string& folder : folders) {
      const auto index = table_.AddLocation(folder, true);
      LVITEMA item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(*index);
      item.pszText = LPSTR_TEXTCALLBACKA;
      ::SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
      ListView_SetCheckState(list_, *index, TRUE);
    }
  }
  HWND List() const { return list_; }
  const LocationTable& Table() const { return table_; }

  // One pass as the window ran it: every folder read here, then the changed rows on screen
  // repainted and the counters written.
  RefreshOutcome Pass() {
    RefreshOutcome outcome =
        testing::RefreshNow(table_, fs_, PassClock{std::chrono::steady_clock::now(), {}});
    const auto top = static_cast<std::size_t>(::SendMessageA(list_, LVM_GETTOPINDEX, 0, 0));
    const auto shown = static_cast<std::size_t>(::SendMessageA(list_, LVM_GETCOUNTPERPAGE, 0, 0));
    for (const RowRange& range : RowsToRepaint(outcome.changedRows, top, top + shown))
      ::SendMessageA(list_, LVM_REDRAWITEMS, range.first, range.last);
    if (outcome.countersChanged) {
      for (int part = 0; part < 3; ++part)
        ::SendMessageA(
            status_, SB_SETTEXTA, part,
            reinterpret_cast<LPARAM>(table_.StatusTexts()[static_cast<std::size_t>(part)].c_str()));
    }
    return outcome;
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == LVN_GETDISPINFOA) {
      auto* info = reinterpret_cast<NMLVDISPINFOA*>(lParam);
      const auto row = static_cast<std::size_t>(info->item.iItem);
      if ((info->item.mask & LVIF_TEXT) != 0 && row < table_.Count()) {
        const LocationRow& shown = table_.Row(row);
        const std::string& text =
            info->item.iSubItem == 0 ? shown.caption
                                     : shown.reading.cells[static_cast<std::size_t>(info->item.iSubItem - 1)];
        lstrcpynA(info->item.pszText, text.c_str(), info->item.cchTextMax);
      }
      return 0;
    }
    return BaseWindow::HandleMessage(message, wParam, lParam);
  }

 private:
  FileSystem& fs_;
  LocationTable table_;
  HWND list_ = nullptr;
  HWND status_ = nullptr;
};

}  // namespace velmora::bench

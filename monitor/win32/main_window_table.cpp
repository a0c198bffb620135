// lvMain bound to the LocationTable: the list view holds no texts of its own but asks the model
// for them (LPSTR_TEXTCALLBACK), so a refresh pass repaints only the rows it changed. Folders are
// read by the reading threads: a pass hands out its reads, and their answers arrive as one
// posted message. The statistics panel and the status panels are written only when their text
// changes.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <exception>
#include <optional>
#include <string_view>
#include <utility>

#include "core/tools.h"
#include "monitor/figure_texts.h"
#include "monitor/repaint_ranges.h"
#include "monitor/row_tips.h"
#include "monitor/win32/main_window.h"

namespace velmora {

namespace {

constexpr int kBaseColumnCount = 6;

// The state image of a check box: 1 unchecked, 2 checked.
bool IsCheckedState(UINT state) {
  return (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

void SetTextIfChanged(const win::Control& control, const std::string& text) {
  if (win::WindowText(control) != text)
    control.SetText(text);
}

PassClock ClockNow() {
  SYSTEMTIME local{};
  ::GetLocalTime(&local);
  return PassClock{
      std::chrono::steady_clock::now(),
      LocalDateTime{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond}};
}

}  // namespace

void TfrmMain::CreateColumns() {
  shownColumns_ = ShownColumns(optionalColumns_);
  for (int i = 0; i < kBaseColumnCount; ++i)
    InsertColumn(i, shownColumns_[static_cast<std::size_t>(i)], ScalePixels(kDefaultColumnWidths[i], dpi_));
  for (std::size_t i = 0; i < optionalWidths_.size(); ++i)
    optionalWidths_[i] = ScalePixels(kDefaultOptionalWidths[i], dpi_);
}

void TfrmMain::InsertColumn(int index, TableColumn shown, int width) {
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH | LVCF_SUBITEM;
  column.fmt = shown == TableColumn::kProgress ? LVCFMT_RIGHT : LVCFMT_LEFT;
  column.cx = width;
  column.pszText = const_cast<char*>(ColumnCaption(shown));
  column.iSubItem = index;
  ctl_.lvMain.InsertColumn(index, column);
}

int TfrmMain::ShownIndexOfSlot(int slot) const {
  const TableColumn wanted = ColumnOfSlot(slot);
  const auto found = std::find(shownColumns_.begin(), shownColumns_.end(), wanted);
  return found == shownColumns_.end() ? -1 : static_cast<int>(found - shownColumns_.begin());
}

void TfrmMain::SetOptionalColumns(const OptionalColumns& columns) {
  if (columns == optionalColumns_)
    return;
  // The optional columns go, keeping their widths, and come back as now asked: the list view's
  // sub-items then stay in the order of shownColumns_.
  for (auto slot = std::rbegin(kOptionalSlots); slot != std::rend(kOptionalSlots); ++slot) {
    if (const int index = ShownIndexOfSlot(*slot); index >= 0) {
      optionalWidths_[static_cast<std::size_t>(*slot - kStateColumnSlot)] = ctl_.lvMain.ColumnWidth(index);
      ctl_.lvMain.DeleteColumn(index);
    }
  }
  optionalColumns_ = columns;
  shownColumns_ = ShownColumns(optionalColumns_);
  for (std::size_t index = kBaseColumnCount; index < shownColumns_.size(); ++index) {
    const int slot = *std::find_if(std::begin(kOptionalSlots), std::end(kOptionalSlots),
                                   [&](int each) { return ColumnOfSlot(each) == shownColumns_[index]; });
    InsertColumn(static_cast<int>(index), shownColumns_[index],
                 optionalWidths_[static_cast<std::size_t>(slot - kStateColumnSlot)]);
  }
}

std::optional<std::size_t> TfrmMain::InsertLocation(const std::string& path, bool enabled) {
  const std::optional<std::size_t> index = table_.AddLocation(path, enabled);
  if (!index)
    return index;
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = static_cast<int>(*index);
  item.pszText = LPSTR_TEXTCALLBACKA;
  item.iImage = I_IMAGECALLBACK;
  syncingRows_ = true;
  ctl_.lvMain.InsertItem(item);
  ctl_.lvMain.SetCheckState(static_cast<int>(*index), enabled);
  syncingRows_ = false;
  return index;
}

void TfrmMain::AddLocations(const std::vector<StoredLocation>& locations) {
  table_.AddLocations(locations);
  ShowAllRows();
}

// At start-up, for thousands of rows: the list view asks for its texts only when it paints, so
// an item is no more than its place, its check box and the callbacks. It repaints once, at the
// end.
void TfrmMain::ShowAllRows() {
  const std::vector<LocationRow>& rows = table_.Rows();
  syncingRows_ = true;
  ctl_.lvMain.SetRedraw(false);
  ctl_.lvMain.DeleteAllItems();
  ctl_.lvMain.ReserveItems(static_cast<int>(rows.size()));
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.pszText = LPSTR_TEXTCALLBACKA;
  item.iImage = I_IMAGECALLBACK;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    item.iItem = static_cast<int>(i);
    ctl_.lvMain.InsertItem(item);
  }
  // Wine's list view ignores a check box state given with the insert. Rows are mostly enabled:
  // every box is checked in one message, then the disabled ones cleared.
  ctl_.lvMain.SetCheckState(-1, true);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!rows[i].enabled)
      ctl_.lvMain.SetCheckState(static_cast<int>(i), false);
  }
  ctl_.lvMain.SetRedraw(true);
  ::InvalidateRect(ctl_.lvMain, nullptr, TRUE);
  syncingRows_ = false;
}

void TfrmMain::DeleteLocation(std::size_t index) {
  table_.RemoveAt(index);
  syncingRows_ = true;
  ctl_.lvMain.DeleteItem(static_cast<int>(index));
  syncingRows_ = false;
}

std::optional<std::string> TfrmMain::SelectedPath() const {
  const std::optional<SelectedRow> selected = SelectedLocation();
  if (!selected)
    return std::nullopt;
  return selected->folder;
}

std::optional<SelectedRow> TfrmMain::SelectedLocation() const {
  const int selected = ctl_.lvMain.SelectedIndex();
  if (selected < 0 || static_cast<std::size_t>(selected) >= table_.Count())
    return std::nullopt;
  const LocationRow& row = table_.Row(static_cast<std::size_t>(selected));
  return SelectedRow{row.id, row.caption};
}

bool TfrmMain::ReadsSettled() const {
  return reads_ && reads_->Settled();
}

std::size_t TfrmMain::ReadingThreads() const {
  return reads_ ? reads_->ThreadCount() : 0;
}

LRESULT TfrmMain::HandleTableNotify(NMHDR* header) {
  switch (header->code) {
    case LVN_GETDISPINFOA: {
      auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
      const auto row = static_cast<std::size_t>(info->item.iItem);
      if (info->item.iItem < 0 || row >= table_.Count())
        return 0;
      const LocationRow& location = table_.Row(row);
      if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
        const auto column = static_cast<std::size_t>(info->item.iSubItem);
        const std::string text =
            column < shownColumns_.size() ? CellText(table_, row, shownColumns_[column]) : "";
        // A long path is cut between characters, never inside one.
        const std::string fitted = win::CutForBuffer(text, static_cast<std::size_t>(info->item.cchTextMax));
        std::memcpy(info->item.pszText, fitted.c_str(), fitted.size() + 1);
      }
      if (info->item.mask & LVIF_IMAGE)
        info->item.iImage = location.reading.icon;
      return 0;
    }
    case LVN_ITEMCHANGED: {
      // The user toggled a check box: the row is read or skipped from the next pass on.
      const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
      if (syncingRows_ || !(change->uChanged & LVIF_STATE) || change->iItem < 0)
        return 0;
      if (((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK) == 0)
        return 0;
      if ((change->uNewState & LVIS_STATEIMAGEMASK) == 0)
        return 0;
      const auto row = static_cast<std::size_t>(change->iItem);
      if (row < table_.Count()) {
        table_.SetEnabled(row, IsCheckedState(change->uNewState));
        if (optionalColumns_.state || optionalColumns_.finish)
          ctl_.lvMain.RedrawItems(change->iItem, change->iItem);  // "Off", or its state again
      }
      return 0;
    }
    case LVN_KEYDOWN: {
      const auto* key = reinterpret_cast<NMLVKEYDOWN*>(header);
      if (key->wVKey == 'C' && (::GetKeyState(VK_CONTROL) & 0x8000) != 0 &&
          (::GetKeyState(VK_MENU) & 0x8000) == 0)
        acCopyTableExecute();
      return 0;
    }
    case NM_CLICK:
      lvMainClick();
      return 0;
    case NM_CUSTOMDRAW:
      return DrawTableRow(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
    case LVN_GETINFOTIPA:
      FillInfoTip(reinterpret_cast<NMLVGETINFOTIPA*>(header));
      return 0;
    default:
      return 0;
  }
}

// A late row's texts are grey: it shows what its folder said last. A stalled row's are red, or
// in a high-contrast theme the theme's link colour, which stands out there as red cannot.
LRESULT TfrmMain::DrawTableRow(NMLVCUSTOMDRAW* draw) const {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      const auto row = static_cast<std::size_t>(draw->nmcd.dwItemSpec);
      if (row >= table_.Count())
        return CDRF_DODEFAULT;
      if (table_.Row(row).late) {
        draw->clrText = ::GetSysColor(COLOR_GRAYTEXT);
        return CDRF_NEWFONT;
      }
      if (table_.Stalled(row)) {
        HIGHCONTRASTA contrast{};
        contrast.cbSize = sizeof(contrast);
        const bool highContrast =
            ::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
            (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
        draw->clrText = highContrast ? ::GetSysColor(COLOR_HOTLIGHT) : RGB(192, 0, 0);
        return CDRF_NEWFONT;
      }
      return CDRF_DODEFAULT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

void TfrmMain::FillInfoTip(NMLVGETINFOTIPA* tip) const {
  if (tip->iItem < 0 || static_cast<std::size_t>(tip->iItem) >= table_.Count() || !tip->pszText ||
      tip->cchTextMax <= 0) {
    return;
  }
  const std::string text = table_.RowTip(static_cast<std::size_t>(tip->iItem));
  if (text.empty())
    return;
  // Without LVGIT_UNFOLDED the cell's text is cut off on screen and the list view has put it
  // whole into the buffer.
  const auto size = static_cast<std::size_t>(tip->cchTextMax);
  std::optional<std::string_view> cutOffCell;
  if ((tip->dwFlags & LVGIT_UNFOLDED) == 0)
    cutOffCell = std::string_view(tip->pszText, ::strnlen(tip->pszText, size - 1));
  const std::string whole = win::CutForBuffer(InfoTipText(text, cutOffCell), size);
  std::memcpy(tip->pszText, whole.c_str(), whole.size() + 1);
}

void TfrmMain::RefreshLocations() {
  if (!reads_)
    return;
  // Whatever showing the waiting answers throws, the changes the models took are drawn.
  std::exception_ptr failure;
  try {
    reads_->BeginPass(services_.clock ? services_.clock() : ClockNow(),
                      std::chrono::milliseconds(timerInterval_));
  } catch (...) {
    failure = std::current_exception();
  }
  if (table_.PassOpen())
    ArmSettleTimer();
  ShowTableChanges();
  if (failure)
    std::rethrow_exception(failure);
}

void TfrmMain::TakeAnswers() {
  // A notice posted before the window began to close may arrive after the reader is gone.
  if (!reads_)
    return;
  reads_->TakeAnswers();
  ShowTableChanges();
}

void TfrmMain::SettleReads() {
  ::KillTimer(Hwnd(), kSettleTimerId);
  if (!reads_)
    return;
  reads_->Settle(std::chrono::steady_clock::now(), std::chrono::milliseconds(kSettleMilliseconds));
  if (reads_->AwaitingOtherRow())
    ArmSettleTimer();
  ShowTableChanges();
}

void TfrmMain::ShowTableChanges() {
  RefreshOutcome outcome = table_.TakeChanges();
  HandOverSightings();
  if (!outcome.ran && outcome.changedRows.empty() && !outcome.countersChanged)
    return;
  lastRefresh_ = std::move(outcome);
  const std::vector<std::size_t>& changed = lastRefresh_.changedRows;
  if (!changed.empty()) {
    // One repaint request per run of consecutive changed rows on screen, the row cut off at
    // the bottom included.
    const auto top = static_cast<std::size_t>(std::max(0, ctl_.lvMain.TopIndex()));
    const auto shown = static_cast<std::size_t>(std::max(0, ctl_.lvMain.CountPerPage()));
    for (const RowRange& range : RowsToRepaint(changed, top, top + shown))
      ctl_.lvMain.RedrawItems(static_cast<int>(range.first), static_cast<int>(range.last));
  }
  if (lastRefresh_.countersChanged) {
    const std::array<std::string, 3> texts = table_.StatusTexts();
    for (int part = 0; part < 3; ++part)
      WriteStatusPanel(part, texts[static_cast<std::size_t>(part)]);
  }
  UpdateTray();
}

void TfrmMain::WriteStatusPanel(int part, const std::string& text) {
  std::string& shown = statusTexts_[static_cast<std::size_t>(part)];
  if (shown == text)
    return;
  shown = text;
  ctl_.sttBar.SetText(part, text);
}

void TfrmMain::ShowSelectedStats() {
  RequestFigures(FigureSlot::kStatsPanel);
}

void TfrmMain::RequestDetailsFigures() {
  RequestFigures(FigureSlot::kDetails);
}

void TfrmMain::RequestFigures(FigureSlot slot) {
  if (!reads_)
    return;
  const std::optional<SelectedRow> selected = SelectedLocation();
  if (slot == FigureSlot::kStatsPanel)
    WriteStatusPanel(3, selected ? " " + selected->folder : std::string());
  if (reads_->RequestFigures(slot, selected, std::chrono::steady_clock::now()) || reads_->AwaitingOtherRow())
    ArmSettleTimer();
}

void TfrmMain::ShowFigures(FigureSlot slot, const SelectedFigures& figures) {
  if (slot == FigureSlot::kStatsPanel) {
    ShowStatsFigures(figures);
  } else if (onDetailsFigures) {
    onDetailsFigures(figures);
  }
}

void TfrmMain::ShowStatsFigures(const SelectedFigures& figures) {
  SetTextIfChanged(ctl_.frmUserStats, UserGroupCaption(figures));
  SetTextIfChanged(ctl_.lblUserTotUnits, figures.totalUnits);
  SetTextIfChanged(ctl_.lblUserTotCPU, figures.totalCpu);
  SetTextIfChanged(ctl_.lblUserAvgCPU, figures.averageCpu);
  SetTextIfChanged(ctl_.frmUnitStats, UnitGroupCaption(figures));
  SetTextIfChanged(ctl_.lblProgress, figures.progress);
  SetTextIfChanged(ctl_.lblTimeTotal, figures.timeTotal);
  SetTextIfChanged(ctl_.lblTimeLeft, figures.timeLeft);
}

void TfrmMain::lvMainClick() {
  if (BarVisible(Bar::kStatusBar))
    ShowSelectedStats();
}

void TfrmMain::chkActiveClick() {
  table_.SetSpyingEnabled(ctl_.chkActive.Checked());
}

void TfrmMain::SetAlertOptions(const AlertOptions& options) {
  alertOptions_ = options;
  table_.SetStallTime(std::chrono::minutes(options.stallMinutes));
}

void TfrmMain::SetColumnWidth(int column, int width) {
  if (column < kBaseColumnCount) {
    ctl_.lvMain.SetColumnWidth(column, width);
    return;
  }
  optionalWidths_.at(static_cast<std::size_t>(column - kStateColumnSlot)) = width;
  if (const int index = ShownIndexOfSlot(column); index >= 0)
    ctl_.lvMain.SetColumnWidth(index, width);
}

int TfrmMain::ColumnCount() const {
  return kBaseColumnCount;
}

int TfrmMain::ColumnWidth(int column) const {
  if (column < kBaseColumnCount)
    return ctl_.lvMain.ColumnWidth(column);
  const int index = ShownIndexOfSlot(column);
  return index >= 0 ? ctl_.lvMain.ColumnWidth(index)
                    : optionalWidths_.at(static_cast<std::size_t>(column - kStateColumnSlot));
}

}  // namespace velmora

#include "monitor/win32/history_window.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <limits>
#include <stdexcept>
#include <utility>

#include "monitor/history_texts.h"
#include "monitor/win32/history_place.h"
#include "windows/clipboard.h"
#include "windows/layout_table.h"
#include "windows/ui_font.h"

namespace velmora {

using namespace win;

namespace {

constexpr const char* kClassName = "VelmoraHistoryWindow";
constexpr const char* kTitle = "Location history";
constexpr int kWidth = 600, kHeight = 520;  // outer size at 96 dpi when nothing is stored
constexpr int kMinWidth = 420, kMinHeight = 380;
constexpr int kMargin = 8, kButtonWidth = 80, kSaveWidth = 100, kButtonHeight = 25, kChartHeight = 160;
constexpr int kColumnWidths[kHistoryColumnCount] = {110, 250, 70, 70};
constexpr std::size_t kMostPages = 64;

std::int64_t NowSeconds() {
  return static_cast<std::int64_t>(std::time(nullptr));
}

}  // namespace

TfrmHistory::TfrmHistory(HWND owner, HistoryThread* thread) : thread_(thread) {
  WNDCLASSEXA windowClass{};
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  if (!CreateBound({.className = kClassName,
                    .wc = windowClass,
                    .title = kTitle,
                    .style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                    .x = CW_USEDEFAULT,
                    .y = CW_USEDEFAULT,
                    .width = kWidth,
                    .height = kHeight,
                    .parent = owner})) {
    throw std::runtime_error("The history window could not be created.");
  }
  HWND hwnd = Hwnd();
  mailbox_ = std::make_shared<HistoryMailbox<HistoryAnswer>>(
      [hwnd] { ::PostMessageA(hwnd, kAnswersWaiting, 0, 0); });
  dpi_ = WindowDpi(Hwnd());
  ::SetWindowPos(Hwnd(), nullptr, 0, 0, ScaleToDpi(kWidth, dpi_), ScaleToDpi(kHeight, dpi_),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  font_ = MakeUiFont(dpi_);
  SetAppIcons(dpi_);
  CreateControls();
  LayoutControls();
}

TfrmHistory::~TfrmHistory() {
  mailbox_->Close();
  // The monitor window's end may have taken it already: its owned windows go first.
  if (Hwnd() && ::IsWindow(Hwnd()))
    ::DestroyWindow(Hwnd());
  chart_.reset();
}

void TfrmHistory::CreateControls() {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  const auto make = [&](const char* className, int id, const char* text, DWORD style, DWORD exStyle = 0) {
    HWND control =
        ::CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, Hwnd(),
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    return control;
  };
  // In the order Tab walks them.
  make("STATIC", kHistoryLblLocation, "&Location:", SS_LEFT);
  cboLocation_ = make("COMBOBOX", kHistoryCboLocation, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP);
  ::SendMessageA(cboLocation_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kAllLocationsText));
  ::SendMessageA(cboLocation_, CB_SETITEMDATA, 0, static_cast<LPARAM>(kAllLocations));
  ::SendMessageA(cboLocation_, CB_SETCURSEL, 0, 0);
  chart_ = std::make_unique<THistoryChart>(Hwnd(), kHistoryChart);
  chart_->SetFont(font_.Get());
  make("STATIC", kHistoryLblSummary, "", SS_LEFT | SS_NOPREFIX);
  lvUnits_ = ListView(make(WC_LISTVIEWA, kHistoryLvUnits, "",
                           LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | WS_TABSTOP, WS_EX_CLIENTEDGE));
  lvUnits_.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER,
                            LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  for (int column = 0; column < kHistoryColumnCount; ++column) {
    LVCOLUMNA info{};
    info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    info.fmt = LVCFMT_LEFT;
    info.cx = ScaleToDpi(kColumnWidths[column], dpi_);
    info.pszText = const_cast<char*>(HistoryColumnCaption(static_cast<HistoryColumn>(column)));
    lvUnits_.InsertColumn(column, info);
  }
  make("BUTTON", kHistoryBtnCopy, "&Copy", BS_PUSHBUTTON | WS_TABSTOP);
  make("BUTTON", kHistoryBtnSave, "&Save as CSV...", BS_PUSHBUTTON | WS_TABSTOP);
  make("BUTTON", kHistoryBtnClose, "Close", BS_DEFPUSHBUTTON | WS_TABSTOP);
}

void TfrmHistory::LayoutControls() {
  RECT client{};
  ::GetClientRect(Hwnd(), &client);
  const auto s = [this](int value) { return ScaleToDpi(value, dpi_); };
  const int width = client.right, height = client.bottom;
  const int m = s(kMargin);
  const auto place = [this](int id, int x, int y, int w, int h) {
    ::MoveWindow(::GetDlgItem(Hwnd(), id), x, y, std::max(0, w), std::max(0, h), TRUE);
  };
  place(kHistoryLblLocation, m, m + s(4), s(56), s(13));
  place(kHistoryCboLocation, m + s(60), m, std::min(s(360), width - 2 * m - s(60)), s(200));
  const int chartTop = m + s(30);
  place(kHistoryChart, m, chartTop, width - 2 * m, s(kChartHeight));
  const int summaryTop = chartTop + s(kChartHeight) + s(6);
  place(kHistoryLblSummary, m, summaryTop, width - 2 * m, s(14));
  const int buttonTop = height - m - s(kButtonHeight);
  const int listTop = summaryTop + s(20);
  place(kHistoryLvUnits, m, listTop, width - 2 * m, buttonTop - m - listTop);
  int right = width - m;
  place(kHistoryBtnClose, right - s(kButtonWidth), buttonTop, s(kButtonWidth), s(kButtonHeight));
  right -= s(kButtonWidth) + m;
  place(kHistoryBtnSave, right - s(kSaveWidth), buttonTop, s(kSaveWidth), s(kButtonHeight));
  right -= s(kSaveWidth) + m;
  place(kHistoryBtnCopy, right - s(kButtonWidth), buttonTop, s(kButtonWidth), s(kButtonHeight));
}

void TfrmHistory::ApplyDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_)
    return;
  for (int column = 0; column < kHistoryColumnCount; ++column)
    lvUnits_.SetColumnWidth(column, MulDiv(lvUnits_.ColumnWidth(column), dpi, dpi_));
  dpi_ = dpi;
  FontHandle font = MakeUiFont(dpi_);
  for (HWND child = ::GetWindow(Hwnd(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
  chart_->SetFont(font.Get());
  font_ = std::move(font);
  SetAppIcons(dpi_);
}

void TfrmHistory::ShowAndActivate() {
  if (!::IsWindowVisible(Hwnd())) {
    ::SendMessageA(cboLocation_, CB_SETCURSEL, 0, 0);
    location_ = kAllLocations;
    Refresh();
    ::ShowWindow(Hwnd(), SW_SHOW);
    ::SetFocus(lvUnits_);
  } else {
    ::BringWindowToTop(Hwnd());
  }
  ::SetForegroundWindow(Hwnd());
  ::SetActiveWindow(Hwnd());
}

void TfrmHistory::UnitsAdded() {
  if (::IsWindowVisible(Hwnd()))
    Refresh();
}

bool TfrmHistory::PreTranslateMessage(MSG& message) {
  if (!Hwnd() || (message.hwnd != Hwnd() && !::IsChild(Hwnd(), message.hwnd)))
    return false;
  return ::IsDialogMessageA(Hwnd(), &message) != FALSE;
}

void TfrmHistory::SetBounds(const HistoryBounds& bounds) {
  if (bounds.width <= 0 || bounds.height <= 0)
    return;
  ::SetWindowPos(Hwnd(), nullptr, bounds.left, bounds.top, bounds.width, bounds.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

HistoryBounds TfrmHistory::Bounds() const {
  if (!::IsWindow(Hwnd()))
    return lastBounds_;
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  ::GetWindowPlacement(Hwnd(), &placement);
  const RECT& r = placement.rcNormalPosition;
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

namespace {

// The history's store now, or none with the answer marked paused: the database cannot be used.
HistoryStore* StoreOrPause(HistoryKeeper& keeper, HistoryAnswer& answer) {
  HistoryStore* store = keeper.Store(std::chrono::steady_clock::now());
  answer.paused = store == nullptr;
  return store;
}

}  // namespace

void TfrmHistory::Ask(std::function<void(HistoryKeeper&, HistoryAnswer&)> work, HistoryAnswer::Kind kind) {
  if (!thread_)
    return;
  const std::uint64_t generation = generation_;
  thread_->Post([mailbox = mailbox_, work = std::move(work), kind, generation](HistoryKeeper& keeper) {
    HistoryAnswer answer;
    answer.kind = kind;
    answer.generation = generation;
    try {
      work(keeper, answer);
    } catch (const HistoryError&) {
      answer.paused = true;
    }
    mailbox->Put(std::move(answer));
  });
}

void TfrmHistory::Refresh() {
  ++generation_;
  pagesAsked_.clear();
  const std::int64_t location = location_;
  Ask(
      [location](HistoryKeeper& keeper, HistoryAnswer& answer) {
        HistoryStore* store = StoreOrPause(keeper, answer);
        if (!store)
          return;
        const std::int64_t now = NowSeconds();
        answer.locations = store->Locations();
        answer.dayStarts = LocalDayBounds(now, kHistoryDays);
        answer.dayCounts = store->CountBetween(answer.dayStarts, location);
        const std::vector<std::int64_t> recent =
            store->CountBetween({now - 7 * 86400, now - 86400, now + 1}, location);
        answer.lastDay = recent[1];
        answer.lastWeek = recent[0] + recent[1];
        answer.total = store->CountUnits(location);
        answer.rows = store->Newest(location, 0, kPageRows);
      },
      HistoryAnswer::Kind::kOverview);
}

void TfrmHistory::AskPage(std::int64_t first) {
  if (!pagesAsked_.insert(first).second)
    return;
  const std::int64_t location = location_;
  Ask(
      [location, first](HistoryKeeper& keeper, HistoryAnswer& answer) {
        answer.first = first;
        if (HistoryStore* store = keeper.Store(std::chrono::steady_clock::now()))
          answer.rows = store->Newest(location, first, kPageRows);
      },
      HistoryAnswer::Kind::kPage);
}

void TfrmHistory::TakeAnswers() {
  for (HistoryAnswer& answer : mailbox_->Take()) {
    switch (answer.kind) {
      case HistoryAnswer::Kind::kOverview:
        if (answer.generation == generation_)
          ShowOverview(answer);
        break;
      case HistoryAnswer::Kind::kPage:
        if (answer.generation == generation_) {
          const std::int64_t first = answer.first;
          const auto count = static_cast<std::int64_t>(answer.rows.size());
          KeepPage(first, std::move(answer.rows));
          lvUnits_.RedrawItems(static_cast<int>(first), static_cast<int>(first + count));
        }
        break;
      case HistoryAnswer::Kind::kCopy:
        if (!answer.paused)
          CopyTextToClipboard(Hwnd(), answer.text);
        break;
      case HistoryAnswer::Kind::kSaved:
        if (!answer.written)
          ::MessageBoxA(Hwnd(), ("The history could not be saved to " + answer.text + ".").c_str(), "Velmora",
                        MB_OK | MB_ICONERROR);
        break;
    }
  }
}

void TfrmHistory::ShowOverview(HistoryAnswer& answer) {
  shownGeneration_ = answer.generation;
  locations_ = std::move(answer.locations);
  if (chooserFilled_)
    FillChooser();

  chart_->SetDays(std::move(answer.dayStarts), std::move(answer.dayCounts));
  ::SetDlgItemTextA(Hwnd(), kHistoryLblSummary,
                    answer.paused ? "The history cannot be read now."
                                  : HistorySummary(answer.lastDay, answer.lastWeek).c_str());
  pages_.clear();
  KeepPage(0, std::move(answer.rows));
  const auto count =
      static_cast<int>(std::min<std::int64_t>(answer.total, std::numeric_limits<int>::max() / 2));
  ::SendMessageA(lvUnits_, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOSCROLL);
  ::InvalidateRect(lvUnits_, nullptr, FALSE);
}

void TfrmHistory::FillChooser() {
  chooserFilled_ = true;
  // A thousand locations take longer to add than the window may take to open: they are added
  // when the chooser is first opened or reached, and keep the chosen location then.
  ::SendMessageA(cboLocation_, WM_SETREDRAW, FALSE, 0);
  ::SendMessageA(cboLocation_, CB_RESETCONTENT, 0, 0);
  ::SendMessageA(cboLocation_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kAllLocationsText));
  ::SendMessageA(cboLocation_, CB_SETITEMDATA, 0, static_cast<LPARAM>(kAllLocations));
  int chosen = 0;
  for (const HistoryLocation& location : locations_) {
    const auto index = static_cast<int>(
        ::SendMessageA(cboLocation_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(location.path.c_str())));
    ::SendMessageA(cboLocation_, CB_SETITEMDATA, static_cast<WPARAM>(index),
                   static_cast<LPARAM>(location.id));
    if (location.id == location_)
      chosen = index;
  }
  ::SendMessageA(cboLocation_, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
  ::SendMessageA(cboLocation_, WM_SETREDRAW, TRUE, 0);
}

void TfrmHistory::KeepPage(std::int64_t first, std::vector<HistoryRow> rows) {
  if (pages_.size() >= kMostPages) {
    // The page farthest from this one goes.
    auto farthest = std::max_element(pages_.begin(), pages_.end(), [first](const auto& a, const auto& b) {
      return std::llabs(a.first - first) < std::llabs(b.first - first);
    });
    pagesAsked_.erase(farthest->first);
    pages_.erase(farthest);
  }
  pages_[first] = std::move(rows);
}

const HistoryRow* TfrmHistory::RowAt(std::int64_t item) {
  const std::int64_t first = item / kPageRows * kPageRows;
  const auto page = pages_.find(first);
  if (page == pages_.end()) {
    AskPage(first);
    return nullptr;
  }
  const std::int64_t index = item - first;
  return index < static_cast<std::int64_t>(page->second.size())
             ? &page->second[static_cast<std::size_t>(index)]
             : nullptr;
}

std::string TfrmHistory::CellText(int item, int column) {
  const HistoryRow* row = RowAt(item);
  return row ? HistoryCell(*row, static_cast<HistoryColumn>(column)) : std::string();
}

LRESULT TfrmHistory::HandleListNotify(NMHDR* header) {
  switch (header->code) {
    case LVN_GETDISPINFOA: {
      auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
      if ((info->item.mask & LVIF_TEXT) == 0 || info->item.cchTextMax <= 0)
        return 0;
      cellText_ = CellText(info->item.iItem, info->item.iSubItem);
      ::lstrcpynA(info->item.pszText, cellText_.c_str(), info->item.cchTextMax);
      return 0;
    }
    case LVN_ODCACHEHINT: {
      const auto* hint = reinterpret_cast<NMLVCACHEHINT*>(header);
      for (std::int64_t first = hint->iFrom / kPageRows * kPageRows; first <= hint->iTo; first += kPageRows) {
        if (pages_.find(first) == pages_.end())
          AskPage(first);
      }
      return 0;
    }
    default:
      return 0;
  }
}

void TfrmHistory::cboLocationChange() {
  const LRESULT index = ::SendMessageA(cboLocation_, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR)
    return;
  location_ =
      static_cast<std::int64_t>(::SendMessageA(cboLocation_, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
  Refresh();
}

void TfrmHistory::btnCopyClick() {
  const std::int64_t location = location_;
  Ask(
      [location](HistoryKeeper& keeper, HistoryAnswer& answer) {
        HistoryStore* store = StoreOrPause(keeper, answer);
        if (!store)
          return;
        HistoryText text(HistoryText::Form::kTabs);
        store->EachNewest(location, [&text](const HistoryRow& row) { text.Add(row); });
        answer.text = text.Take();
      },
      HistoryAnswer::Kind::kCopy);
}

void TfrmHistory::btnSaveClick() {
  char file[MAX_PATH] = "history.csv";
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = Hwnd();
  dialog.lpstrFilter = "CSV files (*.csv)\0*.csv\0All files (*.*)\0*.*\0";
  dialog.lpstrFile = file;
  dialog.nMaxFile = sizeof(file);
  dialog.lpstrDefExt = "csv";
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!::GetSaveFileNameA(&dialog))
    return;
  const std::int64_t location = location_;
  const std::string path = file;
  Ask(
      [location, path](HistoryKeeper& keeper, HistoryAnswer& answer) {
        answer.text = path;
        HistoryStore* store = keeper.Store(std::chrono::steady_clock::now());
        if (!store)
          return;
        HistoryText text(HistoryText::Form::kCsv, AnsiToUtf8);
        store->EachNewest(location, [&text](const HistoryRow& row) { text.Add(row); });
        const std::string csv = text.Take();
        FileHandle out(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        answer.written =
            out && ::WriteFile(out.Get(), csv.data(), static_cast<DWORD>(csv.size()), &written, nullptr) &&
            written == csv.size();
      },
      HistoryAnswer::Kind::kSaved);
}

void TfrmHistory::btnCloseClick() {
  ::ShowWindow(Hwnd(), SW_HIDE);
}

LRESULT TfrmHistory::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kAnswersWaiting:
      TakeAnswers();
      return 0;
    case WM_SIZE:
      LayoutControls();
      return 0;
    case WM_DESTROY:
      lastBounds_ = Bounds();
      break;
    case WM_SYSCOLORCHANGE:
      // Only top-level windows are told (high contrast switched on, say): the list view takes the
      // new colours when told, the chart when it paints again.
      lvUnits_.Send(WM_SYSCOLORCHANGE, wParam, lParam);
      ::SendMessageA(chart_->Hwnd(), WM_SYSCOLORCHANGE, wParam, lParam);
      ::InvalidateRect(Hwnd(), nullptr, TRUE);
      break;
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize = {ScaleToDpi(kMinWidth, dpi_), ScaleToDpi(kMinHeight, dpi_)};
      return 0;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kHistoryCboLocation:
          if (HIWORD(wParam) == CBN_SELCHANGE)
            cboLocationChange();
          else if ((HIWORD(wParam) == CBN_DROPDOWN || HIWORD(wParam) == CBN_SETFOCUS) && !chooserFilled_)
            FillChooser();
          return 0;
        case kHistoryBtnCopy:
          btnCopyClick();
          return 0;
        case kHistoryBtnSave:
          btnSaveClick();
          return 0;
        case kHistoryBtnClose:
        case IDCANCEL:
          btnCloseClick();
          return 0;
        default:
          break;
      }
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->idFrom == kHistoryLvUnits)
        return HandleListNotify(header);
      break;
    }
    case DM_GETDEFID:
      return MAKELRESULT(kHistoryBtnClose, DC_HASDEFID);
    case WM_CLOSE:
      btnCloseClick();
      return 0;
    case WM_DPICHANGED: {
      ApplyDpi(LOWORD(wParam));
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      ::SetWindowPos(Hwnd(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    default:
      break;
  }
  return BaseWindow::HandleMessage(message, wParam, lParam);
}

void TfrmHistory::ReportFailure(const char* what) {
  ::MessageBoxA(Hwnd(), what, "Velmora", MB_OK | MB_ICONERROR);
}

}  // namespace velmora

#include "monitor/win32/history_chart.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "monitor/history_texts.h"

namespace velmora {

namespace {

constexpr const char* kClassName = "VelmoraHistoryChart";

// A memory DC with a bitmap the size of the client area: everything is drawn there first.
class BackBuffer {
 public:
  BackBuffer(HDC screen, int width, int height)
      : dc_(::CreateCompatibleDC(screen)), bitmap_(::CreateCompatibleBitmap(screen, width, height)) {
    old_ = ::SelectObject(dc_, bitmap_.Get());
  }
  ~BackBuffer() {
    ::SelectObject(dc_, old_);
    ::DeleteDC(dc_);
  }
  BackBuffer(const BackBuffer&) = delete;
  BackBuffer& operator=(const BackBuffer&) = delete;
  HDC Dc() const { return dc_; }

 private:
  HDC dc_;
  win::BitmapHandle bitmap_;
  HGDIOBJ old_ = nullptr;
};

// A scale top that divides into two even halves and is at least `most`.
std::int64_t ScaleTop(std::int64_t most) {
  if (most <= 2)
    return 2;
  std::int64_t step = 1;
  while (step * 10 < most)
    step *= 10;
  const std::int64_t top = (most + step - 1) / step * step;
  return top % 2 == 0 ? top : top + step;
}

}  // namespace

THistoryChart::THistoryChart(HWND parent, int id) {
  WNDCLASSEXA windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  if (!CreateBound({.className = kClassName,
                    .wc = windowClass,
                    .exStyle = WS_EX_CLIENTEDGE,
                    .style = WS_CHILD | WS_VISIBLE,
                    .parent = parent,
                    .menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id))})) {
    throw std::runtime_error("The history chart could not be created.");
  }
  tip_ = win::WindowHandle(::CreateWindowExA(
      WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
      CW_USEDEFAULT, CW_USEDEFAULT, Hwnd(), nullptr, ::GetModuleHandleA(nullptr), nullptr));
}

void THistoryChart::SetDays(std::vector<std::int64_t> dayStarts, std::vector<std::int64_t> counts) {
  dayStarts_ = std::move(dayStarts);
  counts_ = std::move(counts);
  PlaceTools();
  ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

void THistoryChart::SetFont(HFONT font) {
  font_ = font;
  if (tip_)
    ::SendMessageA(tip_.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  PlaceTools();
  ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

std::string THistoryChart::TipOf(std::size_t bar) const {
  return bar < counts_.size() ? DayTip(dayStarts_[bar], counts_[bar]) : std::string();
}

THistoryChart::Frame THistoryChart::Measure(HDC dc) const {
  RECT client{};
  ::GetClientRect(Hwnd(), &client);
  TEXTMETRICA metrics{};
  ::GetTextMetricsA(dc, &metrics);
  const std::int64_t most = counts_.empty() ? 0 : *std::max_element(counts_.begin(), counts_.end());
  Frame frame;
  frame.top = ScaleTop(most);
  const std::string widest = std::to_string(frame.top);
  SIZE extent{};
  ::GetTextExtentPoint32A(dc, widest.c_str(), static_cast<int>(widest.size()), &extent);
  const int gap = metrics.tmAveCharWidth;
  frame.plot = {extent.cx + 2 * gap, metrics.tmHeight / 2 + gap, client.right - 2 * gap,
                client.bottom - metrics.tmHeight - gap};
  return frame;
}

RECT THistoryChart::BarRect(std::size_t bar) const {
  HDC dc = ::GetDC(Hwnd());
  HGDIOBJ old = ::SelectObject(dc, font_ ? font_ : ::GetStockObject(DEFAULT_GUI_FONT));
  const Frame frame = Measure(dc);
  ::SelectObject(dc, old);
  ::ReleaseDC(Hwnd(), dc);
  const int days = std::max<int>(1, static_cast<int>(counts_.size()));
  const int width = std::max(1, static_cast<int>(frame.plot.right - frame.plot.left));
  const int left = frame.plot.left + width * static_cast<int>(bar) / days;
  const int right = frame.plot.left + width * (static_cast<int>(bar) + 1) / days;
  return {left, frame.plot.top, right, frame.plot.bottom};
}

void THistoryChart::PlaceTools() {
  if (!tip_)
    return;
  // One tool a bar, its text asked for when it shows (TTN_GETDISPINFO).
  while (::SendMessageA(tip_.Get(), TTM_GETTOOLCOUNT, 0, 0) > 0) {
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    if (!::SendMessageA(tip_.Get(), TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&tool)))
      break;
    ::SendMessageA(tip_.Get(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
  for (std::size_t bar = 0; bar < counts_.size(); ++bar) {
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = Hwnd();
    tool.uId = bar;
    tool.rect = BarRect(bar);
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    ::SendMessageA(tip_.Get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void THistoryChart::Paint(HDC dc, const RECT& client) const {
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));
  HGDIOBJ oldFont = ::SelectObject(dc, font_ ? font_ : ::GetStockObject(DEFAULT_GUI_FONT));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
  const Frame frame = Measure(dc);
  const RECT& plot = frame.plot;
  const int height = std::max(1, static_cast<int>(plot.bottom - plot.top));

  // The scale: 0, half and the top, each with a line across.
  for (const std::int64_t value : {std::int64_t{0}, frame.top / 2, frame.top}) {
    const int y = plot.bottom - static_cast<int>(height * value / frame.top);
    RECT line{plot.left, y, plot.right, y + 1};
    ::FillRect(dc, &line, ::GetSysColorBrush(value == 0 ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    const std::string text = std::to_string(value);
    RECT label{0, y - 20, plot.left - 4, y + 20};
    ::DrawTextA(dc, text.c_str(), -1, &label, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  for (std::size_t bar = 0; bar < counts_.size(); ++bar) {
    const int days = static_cast<int>(counts_.size());
    const int width = std::max(1, static_cast<int>(plot.right - plot.left));
    const int left = plot.left + width * static_cast<int>(bar) / days;
    const int right = plot.left + width * (static_cast<int>(bar) + 1) / days;
    const int top = plot.bottom - static_cast<int>(height * counts_[bar] / frame.top);
    RECT shape{left + 1, top, std::max<int>(left + 2, right - 1), plot.bottom};
    ::FillRect(dc, &shape, ::GetSysColorBrush(COLOR_HIGHLIGHT));
    // A label every fifth day, counted back from today so that today always has one.
    if ((counts_.size() - 1 - bar) % 5 == 0) {
      const std::string text = DayLabel(dayStarts_[bar]);
      RECT label{left - 40, plot.bottom + 2, right + 40, client.bottom};
      ::DrawTextA(dc, text.c_str(), -1, &label, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
  }
  ::SelectObject(dc, oldFont);
}

LRESULT THistoryChart::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers all of it
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC dc = ::BeginPaint(Hwnd(), &paint);
      RECT client{};
      ::GetClientRect(Hwnd(), &client);
      if (client.right > 0 && client.bottom > 0) {
        BackBuffer buffer(dc, client.right, client.bottom);
        Paint(buffer.Dc(), client);
        ::BitBlt(dc, 0, 0, client.right, client.bottom, buffer.Dc(), 0, 0, SRCCOPY);
      }
      ::EndPaint(Hwnd(), &paint);
      return 0;
    }
    case WM_SIZE:
      PlaceTools();
      break;
    case WM_DESTROY:
      tip_.Reset();  // while its handle is still its own
      break;
    case WM_SYSCOLORCHANGE:
      ::InvalidateRect(Hwnd(), nullptr, FALSE);
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->hwndFrom == tip_.Get() && header->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
        tipText_ = TipOf(static_cast<std::size_t>(header->idFrom));
        info->lpszText = tipText_.data();
        return 0;
      }
      break;
    }
    default:
      break;
  }
  return BaseWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace velmora

// The history window's chart: units finished per day, one bar a day with today at the right, a
// count scale at the left and day labels below. Drawn with GDI into a bitmap first (no flicker
// while the window is sized), in the system's colours, so high contrast shows it right. Each
// bar has a tip "yyyy.mm.dd: N units".
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "windows/window_base.h"

namespace velmora {

class THistoryChart final : public win::BaseWindow {
 public:
  // A child of `parent`; throws std::runtime_error when it cannot be made.
  THistoryChart(HWND parent, int id);

  // `dayStarts` one more than `counts`: the last is the end of today.
  void SetDays(std::vector<std::int64_t> dayStarts, std::vector<std::int64_t> counts);
  void SetFont(HFONT font);
  std::size_t DayCount() const { return counts_.size(); }
  std::string TipOf(std::size_t bar) const;
  // The bar's place in the chart's client area.
  RECT BarRect(std::size_t bar) const;
  HWND ToolTip() const { return tip_.Get(); }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  struct Frame {
    RECT plot;             // where the bars stand
    std::int64_t top = 1;  // the count at the top of the scale
  };
  Frame Measure(HDC dc) const;
  void Paint(HDC dc, const RECT& client) const;
  void PlaceTools();

  HFONT font_ = nullptr;
  std::vector<std::int64_t> dayStarts_;
  std::vector<std::int64_t> counts_;
  win::WindowHandle tip_;
  std::string tipText_;  // what the tip shows while it asks
};

}  // namespace velmora

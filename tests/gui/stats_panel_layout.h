// The statistics panel's group boxes, prompts and values as the layout gives them at 96 dpi.
#pragma once

#include <windows.h>

#include "monitor/win32/main_window.h"
#include "tests/support/win32/window_finders.h"

namespace velmora::testing {

// One of the window's controls, whatever its type.
template <auto field>
HWND Field(const MainControls& c) {
  return c.*field;
}

struct StatsLabel {
  const char* name;
  HWND (*control)(const MainControls&);  // null: found by its text, `name`
  int x, y, width, height;               // at 96 dpi
};

// In z-order, the order screen readers walk them in: each group box, then every prompt with its
// value.
inline constexpr StatsLabel kStatsLabels[] = {
    {"User info", &Field<&MainControls::frmUserStats>, 4, 4, 253, 68},
    {"Total units:", nullptr, 20, 20, 96, 13},
    {"lblUserTotUnits", &Field<&MainControls::lblUserTotUnits>, 120, 20, 129, 13},
    {"Total CPU time:", nullptr, 20, 36, 96, 13},
    {"lblUserTotCPU", &Field<&MainControls::lblUserTotCPU>, 120, 36, 129, 13},
    {"Average CPU time:", nullptr, 20, 52, 96, 13},
    {"lblUserAvgCPU", &Field<&MainControls::lblUserAvgCPU>, 120, 52, 129, 13},
    {"Working unit info", &Field<&MainControls::frmUnitStats>, 264, 4, 217, 68},
    {"Progress:", nullptr, 280, 20, 100, 13},
    {"lblProgress", &Field<&MainControls::lblProgress>, 384, 20, 89, 13},
    {"Estimated total time:", nullptr, 280, 36, 100, 13},
    {"lblTimeTotal", &Field<&MainControls::lblTimeTotal>, 384, 36, 89, 13},
    {"Time left:", nullptr, 280, 52, 100, 13},
    {"lblTimeLeft", &Field<&MainControls::lblTimeLeft>, 384, 52, 89, 13},
};

inline HWND StatsControl(const MainControls& c, const StatsLabel& label) {
  return label.control ? label.control(c) : FindChildByText(c.pnlStats, label.name);
}

}  // namespace velmora::testing

// Drawing into a small bitmap of the test's own and reading its pixels back, to compare what two
// ways of drawing a picture show.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "windows/handles.h"

namespace velmora::testing {

inline void DeleteMemoryDc(HDC dc) {
  ::DeleteDC(dc);
}
using MemoryDc = win::UniqueHandle<HDC, DeleteMemoryDc>;

// `draw` on a `size` square filled with `background`, read back top row first as 0x00RRGGBB
// words; empty when the canvas could not be made or `draw` returned false.
std::vector<std::uint32_t> Rendered(int size, COLORREF background, const std::function<bool(HDC)>& draw);

}  // namespace velmora::testing

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
inline std::vector<std::uint32_t> Rendered(int size,
                                           COLORREF background,
                                           const std::function<bool(HDC)>& draw) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const win::BitmapHandle canvas(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const MemoryDc memory(::CreateCompatibleDC(nullptr));
  if (!canvas || !memory)
    return {};
  const HGDIOBJ old = ::SelectObject(memory.Get(), canvas.Get());
  const win::BrushHandle brush(::CreateSolidBrush(background));
  const RECT all{0, 0, size, size};
  ::FillRect(memory.Get(), &all, brush.Get());
  const bool drawn = draw(memory.Get());
  ::GdiFlush();
  std::vector<std::uint32_t> pixels;
  for (int i = 0; drawn && i < size * size; ++i)
    pixels.push_back(static_cast<const std::uint32_t*>(bits)[i] & 0xFFFFFF);
  ::SelectObject(memory.Get(), old);
  return pixels;
}

}  // namespace velmora::testing

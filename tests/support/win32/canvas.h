// Reading pictures back as pixels: bitmaps and icons the code under test made, and what a drawing
// leaves on a small bitmap of the test's own, to compare what two ways of drawing a picture show.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "windows/handles.h"

namespace velmora::testing {

inline void DeleteMemoryDc(HDC dc) {
  ::DeleteDC(dc);
}
using MemoryDc = win::UniqueHandle<HDC, DeleteMemoryDc>;

// A 32-bit picture of that size, top row first.
inline BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  return info;
}

// `draw` on a `size` square filled with `background`, read back top row first as 0x00RRGGBB
// words; empty when the canvas could not be made or `draw` returned false.
inline std::vector<std::uint32_t> Rendered(int size,
                                           COLORREF background,
                                           const std::function<bool(HDC)>& draw) {
  const BITMAPINFO info = TopDown32(size, size);
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

inline SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP header{};
  if (::GetObjectA(bitmap, sizeof(header), &header) == 0)
    return {0, 0};
  return {header.bmWidth, header.bmHeight};
}

// The size of an image list's pictures, width and height; 0 and 0 when it cannot be read.
inline std::vector<int> ImageSize(HIMAGELIST list) {
  int width = 0;
  int height = 0;
  ::ImageList_GetIconSize(list, &width, &height);
  return {width, height};
}

// The bitmap's pixels, top row first, as 0xAARRGGBB words.
inline std::vector<std::uint32_t> ReadPixels(HBITMAP bitmap) {
  const SIZE size = BitmapSize(bitmap);
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size.cx) * size.cy);
  BITMAPINFO info = TopDown32(size.cx, size.cy);
  const MemoryDc dc(::CreateCompatibleDC(nullptr));
  if (::GetDIBits(dc.Get(), bitmap, 0, size.cy, pixels.data(), &info, DIB_RGB_COLORS) != size.cy)
    return {};
  return pixels;
}

// An icon's colour bitmap: its size and pixels.
struct IconPixels {
  SIZE size{0, 0};
  std::vector<std::uint32_t> argb;
};

inline IconPixels ReadIcon(HICON icon) {
  ICONINFO info{};
  if (!::GetIconInfo(icon, &info))
    return {};
  // GetIconInfo hands us copies of both bitmaps.
  const win::BitmapHandle colour(info.hbmColor);
  const win::BitmapHandle mask(info.hbmMask);
  if (!colour)
    return {};
  return {BitmapSize(colour.Get()), ReadPixels(colour.Get())};
}

}  // namespace velmora::testing

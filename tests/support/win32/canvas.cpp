#include "tests/support/win32/canvas.h"

namespace velmora::testing {

std::vector<std::uint32_t> Rendered(int size, COLORREF background, const std::function<bool(HDC)>& draw) {
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
  HDC dc = memory.Get();
  const HGDIOBJ old = ::SelectObject(dc, canvas.Get());
  const win::BrushHandle brush(::CreateSolidBrush(background));
  const RECT all{0, 0, size, size};
  ::FillRect(dc, &all, brush.Get());
  const bool drawn = draw(dc);
  ::GdiFlush();
  std::vector<std::uint32_t> pixels;
  const auto* words = static_cast<const std::uint32_t*>(bits);
  for (int i = 0; drawn && i < size * size; ++i)
    pixels.push_back(words[i] & 0xFFFFFF);
  ::SelectObject(dc, old);
  return pixels;
}

}  // namespace velmora::testing

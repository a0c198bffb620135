#include "windows/artwork.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

#include "windows/artwork_pixmaps.h"

namespace velmora::win {
namespace {

using art::PixelMap;

// Below this alpha a pixel counts as transparent where only the icon's AND mask is drawn.
constexpr std::uint32_t kMaskAlpha = 0x80;

// Pixels of one picture, top row first, 0xAARRGGBB with straight alpha.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;
};

Picture FromMap(const PixelMap& map) {
  return {map.width, map.height, art::Decode(map)};
}

std::uint32_t Channel(std::uint32_t argb, int shift) {
  return (argb >> shift) & 0xFF;
}

// Area-averaging resample in premultiplied space: whole-number enlargements stay crisp, and
// transparent neighbours do not darken the edges of a reduced picture.
Picture Resample(const Picture& source, int width, int height) {
  Picture result{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
  const double scaleX = static_cast<double>(source.width) / width;
  const double scaleY = static_cast<double>(source.height) / height;
  for (int y = 0; y < height; ++y) {
    const double top = y * scaleY;
    const double bottom = top + scaleY;
    for (int x = 0; x < width; ++x) {
      const double left = x * scaleX;
      const double right = left + scaleX;
      double sum[4] = {};  // premultiplied r, g, b and alpha
      for (int sy = static_cast<int>(top); sy < source.height && sy < bottom; ++sy) {
        const double coverY = std::min(bottom, sy + 1.0) - std::max(top, static_cast<double>(sy));
        for (int sx = static_cast<int>(left); sx < source.width && sx < right; ++sx) {
          const double cover = coverY * (std::min(right, sx + 1.0) - std::max(left, static_cast<double>(sx)));
          const std::uint32_t pixel = source.argb[static_cast<std::size_t>(sy) * source.width + sx];
          const double alpha = Channel(pixel, 24) * cover;
          sum[0] += Channel(pixel, 16) * alpha;
          sum[1] += Channel(pixel, 8) * alpha;
          sum[2] += Channel(pixel, 0) * alpha;
          sum[3] += alpha;
        }
      }
      const double area = scaleX * scaleY;
      const auto alpha = static_cast<std::uint32_t>(std::clamp(sum[3] / area + 0.5, 0.0, 255.0));
      std::uint32_t colour = 0;
      if (alpha > 0) {
        for (int c = 0; c < 3; ++c) {
          colour = colour << 8 | static_cast<std::uint32_t>(std::clamp(sum[c] / sum[3] + 0.5, 0.0, 255.0));
        }
      }
      result.argb[static_cast<std::size_t>(y) * width + x] = alpha << 24 | colour;
    }
  }
  return result;
}

// A 32-bit top-down DIB section; its pixels are 0xAARRGGBB words (BGRA bytes in memory).
struct Dib {
  BitmapHandle bitmap;
  std::uint32_t* pixels = nullptr;
};

Dib MakeDib(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  Dib dib;
  dib.bitmap.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (dib.bitmap)
    dib.pixels = static_cast<std::uint32_t*>(bits);
  return dib;
}

// Icons take straight (not premultiplied) alpha in their colour bitmap; the mask serves
// drawing paths that ignore alpha.
IconHandle MakeIcon(const Picture& picture) {
  Dib colour = MakeDib(picture.width, picture.height);
  if (!colour.pixels)
    return {};
  std::memcpy(colour.pixels, picture.argb.data(), picture.argb.size() * sizeof(std::uint32_t));

  // CreateBitmap wants monochrome rows padded to 16 bits.
  const int stride = (picture.width + 15) / 16 * 2;
  std::vector<BYTE> maskBits(static_cast<std::size_t>(stride) * picture.height, 0);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      if ((picture.argb[static_cast<std::size_t>(y) * picture.width + x] >> 24) < kMaskAlpha) {
        maskBits[static_cast<std::size_t>(y) * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
      }
    }
  }
  BitmapHandle mask(::CreateBitmap(picture.width, picture.height, 1, 1, maskBits.data()));
  if (!mask)
    return {};
  ::GdiFlush();

  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmMask = mask.Get();
  info.hbmColor = colour.bitmap.Get();
  // The icon keeps copies of both bitmaps; ours are released on return.
  return IconHandle(::CreateIconIndirect(&info));
}

// A square list image at `size` pixels.
Picture ListPicture(const PixelMap& map, int size) {
  Picture picture = FromMap(map);
  if (size != picture.width || size != picture.height)
    picture = Resample(picture, size, size);
  return picture;
}

ImageListHandle MakeImageList(std::span<const PixelMap> maps, int size) {
  if (size <= 0)
    return {};
  ImageListHandle list(
      ::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, static_cast<int>(maps.size()), 0));
  if (!list)
    return {};
  for (const PixelMap& map : maps) {
    IconHandle icon = MakeIcon(ListPicture(map, size));
    if (!icon || ::ImageList_AddIcon(list.Get(), icon.Get()) < 0)
      return {};
  }
  return list;
}

// The picture blended over `background` into an opaque bitmap, for controls that show a plain
// bitmap. Alpha is set to 255 so that controls which honour it draw the bitmap as it looks.
BitmapHandle MakeOpaqueBitmap(const PixelMap& map, COLORREF background) {
  Dib dib = MakeDib(map.width, map.height);
  if (!dib.pixels)
    return {};
  const std::uint32_t back[3] = {GetRValue(background), GetGValue(background), GetBValue(background)};
  const std::vector<std::uint32_t> pixels = art::Decode(map);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const std::uint32_t alpha = Channel(pixels[i], 24);
    std::uint32_t blended = 0xFF;
    for (int c = 0; c < 3; ++c) {
      const std::uint32_t front = Channel(pixels[i], 16 - 8 * c);
      blended = blended << 8 | (front * alpha + back[c] * (255 - alpha) + 127) / 255;
    }
    dib.pixels[i] = blended;
  }
  ::GdiFlush();
  return std::move(dib.bitmap);
}

// The map to draw an icon of `size` from: the smallest one at least that large (reducing looks
// better than enlarging), else the largest.
const PixelMap& AppIconMapFor(int size) {
  return size <= art::kAppIcon16.width ? art::kAppIcon16 : art::kAppIcon32;
}

}  // namespace

IconHandle MakeAppIcon(int size) {
  if (size <= 0)
    return {};
  const PixelMap& map = AppIconMapFor(size);
  Picture picture = FromMap(map);
  if (size != map.width)
    picture = Resample(picture, size, size);
  return MakeIcon(picture);
}

ImageListHandle MakeStateImageList(int size) {
  return MakeImageList(art::kStateBalls, size);
}

ImageListHandle MakeButtonImageList(int size) {
  return MakeImageList(art::kButtonImages, size);
}

BitmapHandle MakeButtonBitmap(int index, int size) {
  if (index < 0 || static_cast<std::size_t>(index) >= std::size(art::kButtonImages) || size <= 0)
    return {};
  const Picture picture = ListPicture(art::kButtonImages[static_cast<std::size_t>(index)], size);
  Dib dib = MakeDib(size, size);
  if (!dib.pixels)
    return {};
  for (std::size_t i = 0; i < picture.argb.size(); ++i) {
    const std::uint32_t pixel = picture.argb[i];
    const std::uint32_t alpha = Channel(pixel, 24);
    std::uint32_t premultiplied = alpha;
    for (int shift : {16, 8, 0})
      premultiplied = premultiplied << 8 | (Channel(pixel, shift) * alpha + 127) / 255;
    dib.pixels[i] = premultiplied;
  }
  ::GdiFlush();
  return std::move(dib.bitmap);
}

BitmapHandle MakeEnvelopeBitmap(COLORREF background) {
  return MakeOpaqueBitmap(art::kSmallEnvelope, background);
}

BitmapHandle MakeGlobeBitmap(COLORREF background) {
  return MakeOpaqueBitmap(art::kSmallGlobe, background);
}

}  // namespace velmora::win

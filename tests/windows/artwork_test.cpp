// The program's pictures as Windows sees them: image lists drawn onto a known background and
// read back, icons taken apart with GetIconInfo, and the generated .ico loaded from disk.
#include "windows/artwork.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/support/named_rows.h"
#include "tests/support/win32/canvas.h"
#include "tests/support/win32/executable_folder.h"

namespace velmora::win {
namespace {

using namespace velmora::testing;

constexpr COLORREF kMagenta = RGB(255, 0, 255);

struct Rgba {
  int r, g, b, a;
};

Rgba Unpack(std::uint32_t argb) {
  return {static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF),
          static_cast<int>(argb & 0xFF), static_cast<int>(argb >> 24)};
}

// One image of `list` drawn over `background` into a 16 by 16 canvas, as a list view or a
// toolbar would draw it; 0x00RRGGBB per pixel.
std::vector<std::uint32_t> DrawImage(HIMAGELIST list, int index, COLORREF background) {
  return testing::Rendered(
      16, background, [&](HDC dc) { return ::ImageList_Draw(list, index, dc, 0, 0, ILD_NORMAL) != FALSE; });
}

std::uint32_t Rgb(COLORREF colour) {
  return static_cast<std::uint32_t>(GetRValue(colour)) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
}

// Mean colour of the 4 by 4 block in the middle of a 16 by 16 picture.
Rgba CentreColour(const std::vector<std::uint32_t>& pixels) {
  Rgba sum{0, 0, 0, 0};
  for (int y = 6; y < 10; ++y) {
    for (int x = 6; x < 10; ++x) {
      const Rgba p = Unpack(pixels[static_cast<std::size_t>(y) * 16 + x]);
      sum.r += p.r;
      sum.g += p.g;
      sum.b += p.b;
    }
  }
  return {sum.r / 16, sum.g / 16, sum.b / 16, 255};
}

using ColourTest = bool (*)(Rgba);

// Each of `colours` colours at least six of `pixels` (0x00RRGGBB) that `counts` lets through.
void ExpectColours(
    const std::vector<std::uint32_t>& pixels,
    const std::vector<ColourTest>& colours,
    const std::function<bool(std::size_t)>& counts = [](std::size_t) { return true; }) {
  for (std::size_t k = 0; k < colours.size(); ++k) {
    int matching = 0;
    for (std::size_t p = 0; p < pixels.size(); ++p)
      matching += counts(p) && colours[k](Unpack(pixels[p]));
    EXPECT_GE(matching, 6) << "colour " << k;
  }
}
const ColourTest IsWhite = [](Rgba c) { return c.r > 180 && c.g > 180 && c.b > 180; };
const ColourTest IsBlack = [](Rgba c) { return c.r < 90 && c.g < 90 && c.b < 90; };
const ColourTest IsGreen = [](Rgba c) { return c.g > 110 && c.g > c.r + 50 && c.g > c.b + 50; };
const ColourTest IsBlue = [](Rgba c) { return c.b > 150 && c.b > c.r + 60 && c.b > c.g + 30; };
const ColourTest IsRed = [](Rgba c) { return c.r > 150 && c.r > c.g + 80 && c.r > c.b + 80; };
const ColourTest IsYellow = [](Rgba c) { return c.r > 180 && c.g > 130 && c.b < c.g - 40; };
const ColourTest IsPurple = [](Rgba c) { return c.r > c.g + 20 && c.b > c.g + 20; };

TEST(ImageListShape, HoldsItsImagesAtTheAskedSize) {
  // 16 as drawn; 24 for a screen of 144 dots per inch.
  const std::tuple<const char*, ImageListHandle (*)(int), int, int> rows[] = {
      {"StateBalls16", MakeStateImageList, 5, 16},
      {"StateBalls24", MakeStateImageList, 5, 24},
      {"ButtonImages16", MakeButtonImageList, 8, 16},
      {"ButtonImages24", MakeButtonImageList, 8, 24},
  };
  for (const auto& [name, make, count, size] : rows) {
    SCOPED_TRACE(name);
    const ImageListHandle list = make(size);
    ASSERT_TRUE(list);
    EXPECT_EQ(::ImageList_GetImageCount(list.Get()), count);
    EXPECT_EQ(ImageSize(list.Get()), (std::vector<int>{size, size}));
  }
}

struct BallCase {
  const char* name;
  int index;
  ColourTest colour;
};

class StateBall : public ::testing::TestWithParam<BallCase> {};

TEST_P(StateBall, ShowsItsColourInTheCentreAndBackgroundAtTheCorners) {
  const ImageListHandle list = MakeStateImageList(16);
  ASSERT_TRUE(list);
  const std::vector<std::uint32_t> pixels = DrawImage(list.Get(), GetParam().index, kMagenta);
  ASSERT_EQ(pixels.size(), 256u);
  for (const int corner : {0, 15, 240, 255})
    EXPECT_EQ(pixels[corner], Rgb(kMagenta)) << "corner " << corner;
  const Rgba centre = CentreColour(pixels);
  EXPECT_TRUE(GetParam().colour(centre)) << "centre is " << centre.r << "," << centre.g << "," << centre.b;
}

TEST_P(StateBall, StoresRealAlpha) {
  const ImageListHandle list = MakeStateImageList(16);
  ASSERT_TRUE(list);
  IMAGEINFO info{};
  ASSERT_TRUE(::ImageList_GetImageInfo(list.Get(), GetParam().index, &info));
  const std::vector<std::uint32_t> strip = ReadPixels(info.hbmImage);
  const int stride = BitmapSize(info.hbmImage).cx;
  ASSERT_FALSE(strip.empty());
  const auto at = [&](int x, int y) {
    return Unpack(strip[static_cast<std::size_t>(info.rcImage.top + y) * stride + info.rcImage.left + x]);
  };
  EXPECT_EQ(std::tuple(at(0, 0).a, at(15, 15).a, at(8, 8).a), std::tuple(0, 0, 255));
  // The anti-aliased edge: some pixels are neither fully clear nor fully opaque.
  int partial = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x)
      partial += at(x, y).a > 0 && at(x, y).a < 255;
  }
  EXPECT_GE(partial, 8);
}

INSTANTIATE_TEST_SUITE_P(Artwork,
                         StateBall,
                         ::testing::Values(BallCase{"White", 0, IsWhite},
                                           BallCase{"Black", 1, IsBlack},
                                           BallCase{"Green", 2, IsGreen},
                                           BallCase{"Blue", 3, IsBlue},
                                           BallCase{"Red", 4, IsRed}),
                         RowName());

TEST(StateBalls, ShareOneShapeAndDifferInColour) {
  const ImageListHandle list = MakeStateImageList(16);
  ASSERT_TRUE(list);
  std::vector<std::vector<std::uint32_t>> drawn;
  for (int i = 0; i < 5; ++i)
    drawn.push_back(DrawImage(list.Get(), i, kMagenta));
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(drawn[i].size(), 256u);
    for (int p = 0; p < 256; ++p) {
      EXPECT_EQ(drawn[i][p] == Rgb(kMagenta), drawn[0][p] == Rgb(kMagenta)) << "ball " << i << " pixel " << p;
    }
    for (int j = i + 1; j < 5; ++j) {
      const Rgba a = CentreColour(drawn[i]);
      const Rgba b = CentreColour(drawn[j]);
      EXPECT_GT(std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b), 90) << i << " vs " << j;
    }
  }
}

struct ButtonCase {
  const char* name;
  int index;
  std::vector<ColourTest> colours;  // each must colour a handful of pixels
};

class ButtonImage : public ::testing::TestWithParam<ButtonCase> {};

TEST_P(ButtonImage, IsDrawnInItsColours) {
  const ImageListHandle list = MakeButtonImageList(16);
  ASSERT_TRUE(list);
  const std::vector<std::uint32_t> onWhite = DrawImage(list.Get(), GetParam().index, RGB(255, 255, 255));
  const std::vector<std::uint32_t> onBlack = DrawImage(list.Get(), GetParam().index, RGB(0, 0, 0));
  ASSERT_EQ(onWhite.size(), 256u);
  ASSERT_EQ(onBlack.size(), 256u);
  int covered = 0;
  std::set<std::uint32_t> distinct;
  for (int p = 0; p < 256; ++p) {
    // A pixel the image covers looks the same on both backgrounds.
    if (onWhite[p] == onBlack[p]) {
      ++covered;
      distinct.insert(onWhite[p]);
    }
  }
  EXPECT_GE(covered, 30);
  EXPECT_LT(covered, 256);
  EXPECT_GE(distinct.size(), 4u);
  ExpectColours(onWhite, GetParam().colours, [&](std::size_t p) { return onWhite[p] == onBlack[p]; });
}

INSTANTIATE_TEST_SUITE_P(Artwork,
                         ButtonImage,
                         ::testing::Values(ButtonCase{"ExitDoor", 0, {IsGreen}},
                                           ButtonCase{"AddFolder", 1, {IsYellow, IsGreen}},
                                           ButtonCase{"RemoveFolder", 2, {IsYellow, IsRed}},
                                           ButtonCase{"Info", 3, {IsBlue, IsWhite}},
                                           ButtonCase{"Refresh", 4, {IsGreen}},
                                           ButtonCase{"Envelope", 5, {IsYellow}},
                                           ButtonCase{"Globe", 6, {IsBlue, IsGreen}},
                                           ButtonCase{"TeeAboveCup", 7, {IsYellow}}),
                         RowName());

TEST(ButtonImages, AreAllDifferent) {
  const ImageListHandle list = MakeButtonImageList(16);
  ASSERT_TRUE(list);
  std::set<std::vector<std::uint32_t>> seen;
  for (int i = 0; i < 8; ++i)
    EXPECT_TRUE(seen.insert(DrawImage(list.Get(), i, kMagenta)).second) << i;
}

class AppIcon : public ::testing::TestWithParam<int> {};

TEST_P(AppIcon, IsAPurplePictureOfItsSizeWithATransparentBackground) {
  const int size = GetParam();
  const IconHandle icon = MakeAppIcon(size);
  ASSERT_TRUE(icon);
  const IconPixels pixels = ReadIcon(icon.Get());
  EXPECT_EQ(std::pair(pixels.size.cx, pixels.size.cy), std::pair(LONG{size}, LONG{size}));
  ASSERT_EQ(pixels.argb.size(), static_cast<std::size_t>(size) * size);
  for (const std::size_t corner :
       {std::size_t{0}, std::size_t(size - 1), pixels.argb.size() - size, pixels.argb.size() - 1}) {
    EXPECT_EQ(Unpack(pixels.argb[corner]).a, 0) << "corner " << corner;
  }
  int opaque = 0;
  int purple = 0;
  for (const std::uint32_t p : pixels.argb) {
    opaque += Unpack(p).a >= 128;
    purple += Unpack(p).a >= 128 && IsPurple(Unpack(p));
  }
  const int area = size * size;
  EXPECT_GT(opaque, area / 4);
  EXPECT_LT(opaque, area * 3 / 4);
  EXPECT_GT(purple, opaque * 9 / 10);
}

INSTANTIATE_TEST_SUITE_P(Artwork, AppIcon, ::testing::Values(16, 32, 20, 24, 48, 64));

TEST(AppIconSize, NotPositiveGivesNoIcon) {
  EXPECT_FALSE(MakeAppIcon(0));
  EXPECT_FALSE(MakeAppIcon(-16));
}

#ifdef VELMORA_ICO_FROM_TESTS
class IconFile : public ::testing::TestWithParam<int> {};

// The icon resource of Velmora.exe is this file: it must show what the program draws.
TEST_P(IconFile, HoldsTheImageTheProgramDraws) {
  const int size = GetParam();
  const std::string path = testing::ExecutableFolder() + VELMORA_ICO_FROM_TESTS;
  const IconHandle fromFile(
      static_cast<HICON>(::LoadImageA(nullptr, path.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE)));
  ASSERT_TRUE(fromFile) << path;
  const IconHandle drawn = MakeAppIcon(size);
  ASSERT_TRUE(drawn);
  const IconPixels filePixels = ReadIcon(fromFile.Get());
  EXPECT_EQ(std::pair(filePixels.size.cx, filePixels.size.cy), std::pair(LONG{size}, LONG{size}));
  EXPECT_EQ(filePixels.argb, ReadIcon(drawn.Get()).argb);
}

INSTANTIATE_TEST_SUITE_P(Artwork, IconFile, ::testing::Values(16, 32));
#endif

// The about window's pictures; the globe is round, so its corners show the background.
TEST(SmallPicture, IsOpaqueOverTheGivenBackground) {
  const std::tuple<const char*, BitmapHandle (*)(COLORREF), SIZE, std::vector<ColourTest>, bool> rows[] = {
      {"Envelope", MakeEnvelopeBitmap, {12, 8}, {IsYellow}, false},
      {"Globe", MakeGlobeBitmap, {12, 12}, {IsBlue, IsGreen}, true},
  };
  for (const auto& [name, make, expectedSize, colours, roundCorners] : rows) {
    for (const COLORREF background : {RGB(240, 240, 240), RGB(10, 20, 30), RGB(12, 200, 34)}) {
      SCOPED_TRACE(name);
      const BitmapHandle bitmap = make(background);
      ASSERT_TRUE(bitmap);
      const SIZE size = BitmapSize(bitmap.Get());
      EXPECT_EQ(std::pair(size.cx, size.cy), std::pair(expectedSize.cx, expectedSize.cy));
      const std::vector<std::uint32_t> pixels = ReadPixels(bitmap.Get());
      ASSERT_EQ(pixels.size(), static_cast<std::size_t>(size.cx) * size.cy);
      int picture = 0;
      for (const std::uint32_t p : pixels) {
        EXPECT_EQ(Unpack(p).a, 255);
        picture += (p & 0xFFFFFF) != Rgb(background);
      }
      EXPECT_GT(picture, static_cast<int>(pixels.size()) / 2);
      ExpectColours(pixels, colours);
      if (!roundCorners)
        continue;
      const std::size_t width = static_cast<std::size_t>(size.cx);
      for (const std::size_t corner : {std::size_t{0}, width - 1, pixels.size() - width, pixels.size() - 1})
        EXPECT_EQ(pixels[corner] & 0xFFFFFF, Rgb(background)) << corner;
    }
  }
}

}  // namespace
}  // namespace velmora::win

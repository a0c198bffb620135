// Writes Velmora's icon file from the window icon's pixel maps, at build time on the build host:
// the executable's icon resource then shows exactly what the running program draws.
//
//   pixmap_to_ico OUT.ico          writes a 16 and a 32 pixel image, 32-bit BGRA with alpha
//   pixmap_to_ico --check IN.ico   reads a file back and compares it with the maps
//
// Exit status 0 on success, 1 with a message on standard error otherwise.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "windows/artwork_pixmaps.h"

namespace {

using velmora::art::PixelMap;

constexpr PixelMap kIconImages[] = {velmora::art::kAppIcon16, velmora::art::kAppIcon32};
constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kInfoHeaderSize = 40;
// Below this alpha a pixel counts as transparent for programs that only look at the AND mask.
constexpr std::uint32_t kMaskAlpha = 0x80;

std::size_t MaskStride(int width) {
  return static_cast<std::size_t>((width + 31) / 32) * 4;
}

std::size_t ImageBytes(const PixelMap& map) {
  const auto height = static_cast<std::size_t>(map.height);
  return kInfoHeaderSize + static_cast<std::size_t>(map.width) * 4 * height + MaskStride(map.width) * height;
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::uint32_t Get16(const std::vector<std::uint8_t>& in, std::size_t at) {
  return static_cast<std::uint32_t>(in[at]) | static_cast<std::uint32_t>(in[at + 1]) << 8;
}

std::uint32_t Get32(const std::vector<std::uint8_t>& in, std::size_t at) {
  return Get16(in, at) | Get16(in, at + 2) << 16;
}

// The icon image as stored in a file: a BITMAPINFOHEADER of double height, the colour rows
// bottom-up (BGRA, straight alpha), then the AND mask rows bottom-up (1 = transparent).
void PutImage(std::vector<std::uint8_t>& out, const PixelMap& map) {
  const std::vector<std::uint32_t> pixels = velmora::art::Decode(map);
  const auto width = static_cast<std::size_t>(map.width);
  Put32(out, kInfoHeaderSize);
  Put32(out, static_cast<std::uint32_t>(map.width));
  Put32(out, static_cast<std::uint32_t>(map.height * 2));
  Put16(out, 1);   // planes
  Put16(out, 32);  // bits per pixel
  Put32(out, 0);   // BI_RGB
  Put32(out, static_cast<std::uint32_t>(ImageBytes(map) - kInfoHeaderSize));
  for (int i = 0; i < 4; ++i)
    Put32(out, 0);  // resolution and palette fields
  for (int y = map.height - 1; y >= 0; --y) {
    for (std::size_t x = 0; x < width; ++x)
      Put32(out, pixels[static_cast<std::size_t>(y) * width + x]);
  }
  for (int y = map.height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(MaskStride(map.width), 0);
    for (std::size_t x = 0; x < width; ++x) {
      if ((pixels[static_cast<std::size_t>(y) * width + x] >> 24) < kMaskAlpha) {
        row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
}

std::vector<std::uint8_t> EncodeIcon() {
  std::vector<std::uint8_t> out;
  Put16(out, 0);  // reserved
  Put16(out, 1);  // icon, not cursor
  Put16(out, static_cast<std::uint32_t>(std::size(kIconImages)));
  std::size_t offset = kDirectorySize + kEntrySize * std::size(kIconImages);
  for (const PixelMap& map : kIconImages) {
    out.push_back(static_cast<std::uint8_t>(map.width));
    out.push_back(static_cast<std::uint8_t>(map.height));
    out.push_back(0);  // no palette
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, static_cast<std::uint32_t>(ImageBytes(map)));
    Put32(out, static_cast<std::uint32_t>(offset));
    offset += ImageBytes(map);
  }
  for (const PixelMap& map : kIconImages)
    PutImage(out, map);
  return out;
}

// The first difference between `file` and what EncodeIcon writes, field by field, so that a
// failure names what is wrong; empty when the file holds exactly the maps.
std::string FindDifference(const std::vector<std::uint8_t>& file) {
  if (file.size() < kDirectorySize)
    return "file shorter than an icon directory";
  if (Get16(file, 0) != 0 || Get16(file, 2) != 1)
    return "not an icon file (reserved/type fields)";
  const std::size_t count = Get16(file, 4);
  if (count != std::size(kIconImages))
    return "image count " + std::to_string(count) + ", expected 2";
  if (file.size() < kDirectorySize + kEntrySize * count)
    return "directory cut short";
  for (std::size_t i = 0; i < count; ++i) {
    const PixelMap& map = kIconImages[i];
    const std::size_t entry = kDirectorySize + kEntrySize * i;
    const std::string name = "image " + std::to_string(i) + ": ";
    if (file[entry] != map.width || file[entry + 1] != map.height) {
      return name + "size " + std::to_string(file[entry]) + "x" + std::to_string(file[entry + 1]) +
             ", expected " + std::to_string(map.width);
    }
    if (Get16(file, entry + 6) != 32)
      return name + "not 32 bits per pixel";
    const std::size_t bytes = Get32(file, entry + 8);
    const std::size_t at = Get32(file, entry + 12);
    if (bytes != ImageBytes(map) || at + bytes > file.size())
      return name + "data size or offset wrong";
    if (Get32(file, at) != kInfoHeaderSize || Get32(file, at + 4) != static_cast<std::uint32_t>(map.width) ||
        Get32(file, at + 8) != static_cast<std::uint32_t>(map.height * 2) || Get16(file, at + 14) != 32) {
      return name + "bitmap header does not match the directory";
    }
    const std::vector<std::uint32_t> pixels = velmora::art::Decode(map);
    const auto width = static_cast<std::size_t>(map.width);
    const auto height = static_cast<std::size_t>(map.height);
    for (std::size_t y = 0; y < height; ++y) {
      for (std::size_t x = 0; x < width; ++x) {
        const std::uint32_t stored = Get32(file, at + kInfoHeaderSize + ((height - 1 - y) * width + x) * 4);
        if (stored != pixels[y * width + x]) {
          return name + "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") differs from the map";
        }
        const std::size_t maskRow =
            at + kInfoHeaderSize + width * height * 4 + (height - 1 - y) * MaskStride(map.width);
        const bool masked = (file[maskRow + x / 8] & (0x80 >> (x % 8))) != 0;
        if (masked != ((pixels[y * width + x] >> 24) < kMaskAlpha)) {
          return name + "mask bit (" + std::to_string(x) + ", " + std::to_string(y) + ") wrong";
        }
      }
    }
  }
  return {};
}

int Write(const char* path) {
  const std::vector<std::uint8_t> bytes = EncodeIcon();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::cerr << "pixmap_to_ico: cannot write " << path << "\n";
    return 1;
  }
  return 0;
}

int Check(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::cerr << "pixmap_to_ico: cannot read " << path << "\n";
    return 1;
  }
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::string difference = FindDifference(bytes);
  if (!difference.empty()) {
    std::cerr << "pixmap_to_ico: " << path << ": " << difference << "\n";
    return 1;
  }
  std::cout << path << ": 2 images (16 and 32 pixels, 32-bit), equal to the maps\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2)
    return Write(argv[1]);
  if (argc == 3 && std::string(argv[1]) == "--check")
    return Check(argv[2]);
  std::cerr << "usage: pixmap_to_ico OUT.ico | pixmap_to_ico --check IN.ico\n";
  return 1;
}

// A picture kept as text: one character per pixel and a legend giving each character's colour.
// Free of <windows.h>, so the host tool that writes the program's .ico reads the same maps as
// the Win32 code that turns them into icons and image lists.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace velmora::art {

// The character of a fully transparent pixel; it needs no legend entry.
inline constexpr char kTransparentKey = '.';

// One legend line: a character and its colour as 0xAARRGGBB, alpha not premultiplied.
struct LegendEntry {
  char key;
  std::uint32_t argb;
};

struct PixelMap {
  int width;
  int height;
  std::span<const std::string_view> rows;  // top row first
  std::span<const LegendEntry> legend;
};

// The colour of `key` in `legend`; 0 (transparent) for '.' and for a key the legend lacks.
constexpr std::uint32_t LegendColour(std::span<const LegendEntry> legend, char key) {
  if (key == kTransparentKey)
    return 0;
  for (const LegendEntry& entry : legend) {
    if (entry.key == key)
      return entry.argb;
  }
  return 0;
}

// True when the map has `height` rows of `width` characters, every character is '.' or a key of
// the legend, and no key is listed twice. Checked at compile time for every map we ship.
constexpr bool IsWellFormed(const PixelMap& map) {
  if (map.width <= 0 || map.height <= 0 || map.rows.size() != static_cast<std::size_t>(map.height)) {
    return false;
  }
  for (std::size_t i = 0; i < map.legend.size(); ++i) {
    if (map.legend[i].key == kTransparentKey)
      return false;
    for (std::size_t j = i + 1; j < map.legend.size(); ++j) {
      if (map.legend[i].key == map.legend[j].key)
        return false;
    }
  }
  for (std::string_view row : map.rows) {
    if (row.size() != static_cast<std::size_t>(map.width))
      return false;
    for (char key : row) {
      if (key == kTransparentKey)
        continue;
      bool known = false;
      for (const LegendEntry& entry : map.legend)
        known = known || entry.key == key;
      if (!known)
        return false;
    }
  }
  return true;
}

// The map's pixels, top row first, as 0xAARRGGBB with straight alpha.
inline std::vector<std::uint32_t> Decode(const PixelMap& map) {
  std::vector<std::uint32_t> pixels;
  pixels.reserve(static_cast<std::size_t>(map.width) * static_cast<std::size_t>(map.height));
  for (std::string_view row : map.rows) {
    for (char key : row)
      pixels.push_back(LegendColour(map.legend, key));
  }
  return pixels;
}

}  // namespace velmora::art

#include "core/char_sizes.h"

#include <algorithm>

namespace velmora {

CharSizes CharSizes::SingleByte() {
  CharSizes sizes;
  sizes.sizes_.fill(1);
  return sizes;
}

CharSizes CharSizes::DoubleByte(const std::function<bool(unsigned char)>& isLeadByte) {
  CharSizes sizes;
  for (std::size_t byte = 0; byte < sizes.sizes_.size(); ++byte)
    sizes.sizes_[byte] = isLeadByte(static_cast<unsigned char>(byte)) ? 2 : 1;
  return sizes;
}

CharSizes CharSizes::Utf8() {
  CharSizes sizes;
  sizes.sizes_.fill(1);  // ASCII, and bytes that begin no character
  std::fill(sizes.sizes_.begin() + 0xC2, sizes.sizes_.begin() + 0xE0, 2);
  std::fill(sizes.sizes_.begin() + 0xE0, sizes.sizes_.begin() + 0xF0, 3);
  std::fill(sizes.sizes_.begin() + 0xF0, sizes.sizes_.begin() + 0xF5, 4);
  return sizes;
}

std::size_t FindLastCharOf(std::string_view text, std::string_view chars, const CharSizes& sizes) {
  std::size_t found = std::string_view::npos;
  for (std::size_t at = 0; at < text.size(); at += sizes.Of(static_cast<unsigned char>(text[at]))) {
    if (chars.find(text[at]) != std::string_view::npos)
      found = at;
  }
  return found;
}

}  // namespace velmora

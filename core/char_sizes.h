// How many bytes a character of an ANSI code page takes, told by its first byte. Strings are
// ANSI text everywhere in the program: on Japanese, Chinese and Korean Windows a character may
// take two bytes, under the UTF-8 code page up to four, and a cut must never split one.
#pragma once

#include <array>
#include <cstddef>
#include <functional>

namespace velmora {

class CharSizes {
 public:
  // One byte each: the code pages of Western and most other Windows.
  static CharSizes SingleByte();
  // Two bytes from every byte `isLeadByte` names on: code pages 932, 936, 949 and 950.
  static CharSizes DoubleByte(const std::function<bool(unsigned char)>& isLeadByte);
  // UTF-8 (code page 65001): two to four bytes from a lead byte on.
  static CharSizes Utf8();

  std::size_t Of(unsigned char first) const { return sizes_[first]; }

 private:
  std::array<unsigned char, 256> sizes_{};
};

}  // namespace velmora

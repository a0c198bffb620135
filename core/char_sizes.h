// How many bytes a character of an ANSI code page takes, told by its first byte. Strings are
// ANSI text everywhere in the program: on Japanese, Chinese and Korean Windows a character may
// take two bytes, under the UTF-8 code page up to four, and a cut must never split one.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string_view>

namespace velmora {

class CharSizes {
 public:
  // One byte each: the code pages of Western and most other Windows.
  static CharSizes SingleByte();
  // Two bytes from every byte `isLeadByte` names on: code pages 932, 936, 949 and 950.
  static CharSizes DoubleByte(const std::function<bool(unsigned char)>& isLeadByte);
  // UTF-8 (code page 65001): two to four bytes from a lead byte on.
  static CharSizes Utf8();

  // The sizes under the ANSI code page the process runs in, found once: on Windows the one the
  // system gives the program (UTF-8 when its manifest asks for it), elsewhere UTF-8.
  static const CharSizes& InForce();
#ifdef _WIN32
  // The sizes under a Windows code page.
  static CharSizes OfCodePage(unsigned codePage);
#endif

  std::size_t Of(unsigned char first) const {
    return sizes_[first];
  }

 private:
  std::array<unsigned char, 256> sizes_{};
};

// Where the last of `chars` (one-byte characters such as "\\" and ":") stands in `text` as a
// character of its own, not as the second byte of a double-byte one (0x5C, "\\", is the second
// byte of 表 in code page 932); npos when none does. Characters are found from the start, since
// a trail byte cannot be told from a character by looking back.
std::size_t FindLastCharOf(std::string_view text, std::string_view chars, const CharSizes& sizes);

}  // namespace velmora

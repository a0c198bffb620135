#include <windows.h>

#include "core/char_sizes.h"

namespace velmora {

CharSizes CharSizes::OfCodePage(unsigned codePage) {
  // IsDBCSLeadByteEx knows no lead bytes of UTF-8.
  if (codePage == CP_UTF8)
    return Utf8();
  return DoubleByte([codePage](unsigned char byte) { return ::IsDBCSLeadByteEx(codePage, byte) != FALSE; });
}

const CharSizes& CharSizes::InForce() {
  static const CharSizes sizes = OfCodePage(::GetACP());
  return sizes;
}

}  // namespace velmora

#include "windows/code_page_chars.h"

namespace velmora::win {

CharSizes CodePageCharSizes(UINT codePage) {
  if (codePage == CP_ACP)
    codePage = ::GetACP();
  // IsDBCSLeadByteEx knows no lead bytes of UTF-8.
  if (codePage == CP_UTF8)
    return CharSizes::Utf8();
  return CharSizes::DoubleByte(
      [codePage](unsigned char byte) { return ::IsDBCSLeadByteEx(codePage, byte) != FALSE; });
}

}  // namespace velmora::win

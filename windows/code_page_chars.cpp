#include "windows/code_page_chars.h"

namespace velmora::win {

CharSizes CodePageCharSizes(UINT codePage) {
  return codePage == CP_ACP ? CharSizes::InForce() : CharSizes::OfCodePage(codePage);
}

}  // namespace velmora::win

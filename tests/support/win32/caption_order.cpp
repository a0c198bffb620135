#include "tests/support/win32/caption_order.h"

#include <windows.h>

namespace velmora::testing {

int CompareCaptions(const char* a, const char* b) {
  return ::lstrcmpA(a, b);
}

std::string CaptionSortKey(const char* caption) {
  const LCID locale = ::GetThreadLocale();
  const int needed = ::LCMapStringA(locale, LCMAP_SORTKEY, caption, -1, nullptr, 0);
  if (needed <= 0)
    return std::string();
  std::string key(static_cast<std::size_t>(needed), '\0');
  ::LCMapStringA(locale, LCMAP_SORTKEY, caption, -1, key.data(), needed);
  return key;
}

}  // namespace velmora::testing

// How the monitor window orders location captions, for tests that build a location table without
// the window: lstrcmpA, and the sort key in the thread's locale that agrees with it.
#pragma once

#include <windows.h>

#include <string>

namespace velmora::testing {

inline int CompareCaptions(const char* a, const char* b) {
  return ::lstrcmpA(a, b);
}

inline std::string CaptionSortKey(const char* caption) {
  const LCID locale = ::GetThreadLocale();
  const int needed = ::LCMapStringA(locale, LCMAP_SORTKEY, caption, -1, nullptr, 0);
  std::string key(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
  if (needed > 0)
    ::LCMapStringA(locale, LCMAP_SORTKEY, caption, -1, key.data(), needed);
  return key;
}

}  // namespace velmora::testing

// How the monitor window orders location captions, for tests and benchmarks that build a
// location table without the window: lstrcmpA, and the sort key that agrees with it.
#pragma once

#include <string>

namespace velmora::testing {

int CompareCaptions(const char* a, const char* b);

// The sort key of `caption` in the thread's locale (LCMapStringA with LCMAP_SORTKEY).
std::string CaptionSortKey(const char* caption);

}  // namespace velmora::testing

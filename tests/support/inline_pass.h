// A whole refresh pass with its reads done on the calling thread, for the model tests and the
// benchmarks that look at what a pass shows rather than at where it reads.
#pragma once

#include <chrono>

#include "monitor/location_table.h"

namespace velmora::testing {

inline constexpr std::chrono::milliseconds kTestInterval{15000};

// BeginPass at `clock`, every read answered in order, then what the pass changed.
RefreshOutcome RefreshNow(LocationTable& table, FileSystem& fs, const PassClock& clock = {});

}  // namespace velmora::testing

// A whole refresh pass with its reads done on the calling thread, for the model tests and the
// benchmarks that look at what a pass shows rather than at where it reads; and the caption order
// and pass clock the model tests share.
#pragma once

#include <chrono>

#include "monitor/location_table.h"

namespace velmora::testing {

inline constexpr std::chrono::milliseconds kTestInterval{15000};

// BeginPass at `clock`, every read answered in order, then what the pass changed.
RefreshOutcome RefreshNow(LocationTable& table, FileSystem& fs, const PassClock& clock = {});

// Captions letter for letter, as strcmp orders them.
int ByteOrder(const char* a, const char* b);
// A pass `since` after the start of a test whose wall clock read 2024-05-17 09:41:07 then.
PassClock At(std::chrono::milliseconds since);

}  // namespace velmora::testing

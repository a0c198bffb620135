// A history of many finished units for the history benchmarks: 1,000 locations of a farm, units
// finished evenly over the two years up to `now`, each with its work unit, CPU time and time
// taken, written as the history thread writes them (a transaction a batch).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "monitor/history_store.h"

namespace velmora::bench {

inline constexpr int kFarmLocations = 1000;

inline std::string FarmLocation(int index) {
  char path[64];
  std::snprintf(path, sizeof path, "C:\\farm\\host%03d\\seti\\", index);
  return path;
}

inline void FillHistory(HistoryStore& store, std::int64_t units, std::int64_t now) {
  constexpr std::int64_t kBatch = 20000;
  constexpr std::int64_t kSpan = 730LL * 86400;
  std::vector<FinishedUnit> batch;
  for (std::int64_t unit = 0; unit < units; unit += kBatch) {
    batch.clear();
    for (std::int64_t i = unit; i < std::min(units, unit + kBatch); ++i) {
      const std::int64_t finished = now - kSpan + kSpan * (i + 1) / units;
      const auto seen = static_cast<FinishSeen>(i % 17 == 0 ? 2 : i % 5 == 0 ? 1 : 0);
      batch.push_back({FarmLocation(static_cast<int>(i % kFarmLocations)), finished,
                       finished - 40000 - i % 977, 354000 + i % 4096, 30000 + i % 9000,
                       seen == FinishSeen::kAfterEnd ? -1 : 36000 + i % 7000, seen});
    }
    store.Record(batch);
  }
}

}  // namespace velmora::bench

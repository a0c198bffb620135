// What recording the history costs the window's thread: a pass over 1,000 locations in which no
// unit finished, shown with the history taking its readings (handed to the history thread)
// beside the same pass without a history. The folders are read before the timing; only what
// the window's thread does with the answers is timed. At most 1 ms a pass more.
//
// Usage: history_record_bench [passes=200]
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "bench/bench_checks.h"
#include "bench/history_fill.h"
#include "monitor/history_thread.h"
#include "monitor/location_reading.h"
#include "monitor/location_table.h"
#include "tests/support/inline_pass.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/temp_folder.h"

namespace velmora::bench {
namespace {

using namespace std::chrono_literals;

std::string SameName(const std::string& name) {
  return name;
}

struct Farm {
  testing::MemoryFileSystem fs;
  LocationTable table{testing::ByteOrder};
  std::vector<ReadAnswer> answers;
  int pass = 0;

  Farm() {
    for (int i = 0; i < kFarmLocations; ++i) {
      const std::string folder = FarmLocation(i);
      fs.AddFile(folder + "work_unit.sah", std::string(2048, 'w'));
      fs.AddFile(folder + "state.sah",
                 "prog=0." + std::to_string(1000 + i) + "\ncpu=" + std::to_string(600 + i) + "\n");
      table.AddLocation(folder, true);
    }
  }
  // One pass whose answers were read beforehand; the ms the window's thread spends on it.
  double Pass(HistoryThread* history) {
    table.KeepSightings(history != nullptr);
    const PassStart start = table.BeginPass(testing::At(std::chrono::minutes(++pass)), 60s);
    std::vector<ReadAnswer> ready;
    for (const ReadRequest& read : start.reads)
      ready.push_back({read.ticket, read.kind, false, ReadLocation(fs, read.folder), {}});
    return TimeMs([&] {
      for (const ReadAnswer& answer : ready)
        table.ApplyAnswer(answer);
      table.Settle();
      static_cast<void>(table.TakeChanges());
      if (history) {
        history->Post([looks = table.TakeSightings()](HistoryKeeper& keeper) {
          keeper.Pass(looks, std::chrono::steady_clock::now());
        });
      }
    });
  }
};

int Run(int argc, char** argv) {
  const int passes = ArgOr(argc, argv, 1, 200);
  Checks checks;
  testing::TempFolder folder;
  HistoryThread history({(folder.Path() / "history.db").string(), SameName, nullptr, 3000});
  Farm without;
  Farm with;
  std::vector<double> baseline, measured;
  for (int run = 0; run < passes; ++run)
    TakeTurns(
        run, [&] { baseline.push_back(without.Pass(nullptr)); },
        [&] { measured.push_back(with.Pass(&history)); });
  const double base = Median(baseline);
  const double cost = Median(measured);
  std::printf("pass over %d locations, nothing finished (median of %d):\n", kFarmLocations, passes);
  std::printf("  without a history:   %8.3f ms\n", base);
  std::printf("  with the history:    %8.3f ms\n", cost);
  std::printf("  the history's part:  %8.3f ms (at most 1 ms)\n", cost - base);
  checks.Expect(cost - base <= 1.0, "recording costs the window's thread at most 1 ms a pass");
  return checks.Verdict();
}

}  // namespace
}  // namespace velmora::bench

int main(int argc, char** argv) {
  return velmora::bench::Run(argc, argv);
}

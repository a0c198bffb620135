// The history's size on disk: a database of 1,000,000 units (1,000 locations, two years) beside
// the same file holding no unit, and what a unit costs: at most 200 bytes. Also the time a unit
// takes to write, in batches as the history thread writes them.
//
// Usage: history_size_bench [units=1000000] [keep-as=<file>]  (keep-as: the filled file is kept)
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "bench/bench_checks.h"
#include "bench/history_fill.h"
#include "tests/support/temp_folder.h"

namespace velmora::bench {
namespace {

long long FileBytes(const std::string& file) {
  struct stat info {};
  return ::stat(file.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

int Run(int argc, char** argv) {
  const int units = ArgOr(argc, argv, 1, 1000000);
  const std::string keepAs = argc > 2 ? argv[2] : "";
  Checks checks;
  testing::TempFolder folder;
  const std::string empty = (folder.Path() / "empty.db").string();
  const std::string full = keepAs.empty() ? (folder.Path() / "full.db").string() : keepAs;
  const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));

  { HistoryStore store(empty); }
  double fillMs = 0;
  {
    HistoryStore store(full);
    fillMs = TimeMs([&] { FillHistory(store, units, now); });
    checks.Expect(store.CountUnits(kAllLocations) == units, "every unit kept");
    checks.Expect(store.IntegrityCheck() == "ok", "the filled file is whole");
  }
  // Closed: the write-ahead log is folded into the file and removed.
  const long long emptyBytes = FileBytes(empty);
  const long long fullBytes = FileBytes(full);
  checks.Expect(FileBytes(full + "-wal") <= 0, "no log left beside the closed file");
  const double perUnit = units > 0 ? static_cast<double>(fullBytes - emptyBytes) / units : 0;
  std::printf("history file, no unit:            %10lld bytes\n", emptyBytes);
  std::printf("history file, %8d units:      %10lld bytes\n", units, fullBytes);
  std::printf("per unit:                         %10.1f bytes (at most 200)\n", perUnit);
  std::printf("writing, per unit:                %10.2f us\n", units > 0 ? fillMs * 1000 / units : 0);
  checks.Expect(perUnit <= 200, "at most 200 bytes a unit");
  return checks.Verdict();
}

}  // namespace
}  // namespace velmora::bench

int main(int argc, char** argv) {
  return velmora::bench::Run(argc, argv);
}

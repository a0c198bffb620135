// Times the refresh pass over 1,000 client folders and counts its file-system calls, beside a
// straight probe-by-probe transcription of the readers over the same folders. Prints, for both,
// the time per pass and the calls per enabled location, and checks that the records agree.
//
// Usage: refresh_bench [locations] [passes]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_checks.h"
#include "bench/bench_clients.h"
#include "core/client_readers.h"
#include "core/file_system.h"
#include "monitor/location_table.h"
#include "tests/support/inline_pass.h"
#include "tests/support/probe_file_system.h"
#include "tests/support/straight_readers.h"
#include "tests/support/temp_folder.h"

int main(int argc, char** argv) {
  using namespace velmora;
  using namespace velmora::bench;
  const int locations = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int passes = argc > 2 ? std::atoi(argv[2]) : 7;
  velmora::testing::TempFolder temp;
  LocationTable table(&bench::CaptionOrder);
  std::vector<std::string> enabledFolders;
  const velmora::testing::ClientFolderWriter writer(temp);
  for (int i = 0; i < locations; ++i) {
    const std::string name = ClientName(i);
    const Kind kind = KindAmong(i, 3, 3, 4);
    if (kind != Kind::kMissing) {
      velmora::testing::ClientFiles files = OtherClientFiles(kind == Kind::kWaiting);
      files.state = StateText(std::to_string(i), "0." + std::to_string(10000000 + i * 7919 % 89999999),
                              std::to_string(100 + i * 3.25), true);
      writer.Write(name, files);
    }
    table.AddLocation(temp.ProgramPath(name), kind != Kind::kDisabled);
    if (kind != Kind::kDisabled)
      enabledFolders.push_back(temp.ProgramPath(name));
  }
  const double enabled = static_cast<double>(enabledFolders.size());

  auto fs = std::make_unique<velmora::testing::ProbeFileSystem>(MakePlatformFileSystem());
  std::vector<double> programTimes, straightTimes;
  std::uint64_t programCalls = 0, straightCalls = 0;
  for (int pass = 0; pass < passes; ++pass) {
    const std::uint64_t before = fs->CallCount();
    programTimes.push_back(TimeMs([&] { velmora::testing::RefreshNow(table, *fs); }));
    programCalls = fs->CallCount() - before;
    straightTimes.push_back(TimeMs([&] {
      for (const std::string& folder : enabledFolders) {
        TState state;
        velmora::testing::StraightLoadState(*fs, folder, state);
      }
    }));
    straightCalls = fs->CallCount() - before - programCalls;
  }

  int mismatches = 0;
  for (const std::string& folder : enabledFolders) {
    TState program, straight;
    program.Load(*fs, folder);
    velmora::testing::StraightLoadState(*fs, folder, straight);
    if (!velmora::testing::SameRecord(program, straight))
      ++mismatches;
  }

  const auto& counters = table.Counters();
  std::printf(
      "refresh pass over %d locations (%d enabled; total %d, work %d, ready %d), median of %d passes\n",
      locations, static_cast<int>(enabled), counters.total, counters.work, counters.ready, passes);
  std::printf("  program pass:          %8.2f ms per pass, %5.2f file-system calls per enabled location\n",
              Median(programTimes), programCalls / enabled);
  std::printf("  straight transcription:%8.2f ms per pass, %5.2f file-system calls per enabled location\n",
              Median(straightTimes), straightCalls / enabled);
  std::printf("  time ratio program/straight: %.2f; records differing: %d\n",
              Median(programTimes) / Median(straightTimes), mismatches);
  return mismatches == 0 ? 0 : 1;
}

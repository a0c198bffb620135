// The History window over a history of 1,000,000 units (1,000 locations, two years) beside the
// same window over an empty history, in one run: the time from the History command until the
// window shows "All locations" with its chart, summary and first rows painted (at most 300 ms,
// and at most twice the empty history's), and the working set the full history adds (at most
// 10 MB). The window is made anew for each opening; the history thread and its database stay
// open, as in the program after its first pass.
//
// Usage: gui_history_bench [units=1000000] [openings=9]
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_checks.h"
#include "bench/history_fill.h"
#include "monitor/history_texts.h"
#include "monitor/win32/history_place.h"
#include "monitor/win32/history_window.h"
#include "tests/gui/wait_for_reads.h"
#include "tests/support/temp_folder.h"
#include "windows/window_base.h"

namespace velmora::bench {
namespace {

double WorkingSetMb() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
  return static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
}

struct Opened {
  double ms = 0;
  std::int64_t rows = 0;
  std::string chosen;
};

// Opens a new History window over `thread` and waits until it shows what it asked for.
Opened OpenOnce(HistoryThread& thread) {
  Opened opened;
  std::unique_ptr<TfrmHistory> window;
  opened.ms = TimeMs([&] {
    window = std::make_unique<TfrmHistory>(nullptr, &thread);
    window->ShowAndActivate();
    testing::PumpUntil([&] { return window->ShownGeneration() == window->AskedGeneration(); }, 60000);
    ::RedrawWindow(window->Hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  });
  HWND list = ::GetDlgItem(window->Hwnd(), kHistoryLvUnits);
  opened.rows = ::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
  opened.chosen = win::WindowText(::GetDlgItem(window->Hwnd(), kHistoryCboLocation));
  return opened;
}

int Run(int argc, char** argv) {
  const int units = ArgOr(argc, argv, 1, 1000000);
  const int openings = std::max(1, ArgOr(argc, argv, 2, 9));
  Checks checks;
  testing::TempFolder folder;
  const std::string emptyFile = (folder.Path() / "empty" / "history.db").string();
  const std::string fullFile = (folder.Path() / "full" / "history.db").string();
  ::CreateDirectoryA((folder.Path() / "empty").string().c_str(), nullptr);
  ::CreateDirectoryA((folder.Path() / "full").string().c_str(), nullptr);
  const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
  const double fillMs = TimeMs([&] {
    HistoryStore store(AnsiToUtf8(fullFile));
    FillHistory(store, units, now);
  });
  std::printf("filled %d units in %.1f s\n", units, fillMs / 1000);

  HistoryThread emptyThread(HistoryPlaceOf(emptyFile));
  HistoryThread fullThread(HistoryPlaceOf(fullFile));
  // The first opening of each also opens its database.
  const double emptyFirst = OpenOnce(emptyThread).ms;
  const double wsBefore = WorkingSetMb();
  const double fullFirst = OpenOnce(fullThread).ms;
  std::vector<double> emptyMs, fullMs;
  for (int run = 0; run < openings; ++run) {
    TakeTurns(
        run,
        [&] {
          const Opened opened = OpenOnce(emptyThread);
          emptyMs.push_back(opened.ms);
          checks.Expect(opened.rows == 0 && opened.chosen == kAllLocationsText,
                        "the empty history shows no unit");
        },
        [&] {
          const Opened opened = OpenOnce(fullThread);
          fullMs.push_back(opened.ms);
          checks.Expect(opened.rows == units && opened.chosen == kAllLocationsText,
                        "the full history lists every unit under All locations");
        });
  }
  const double wsAfter = WorkingSetMb();
  const double empty = Median(emptyMs);
  const double full = Median(fullMs);
  std::printf("History window open, All locations shown (median of %d):\n", openings);
  std::printf("  empty history:          %8.1f ms (first, with the open: %.1f ms)\n", empty, emptyFirst);
  std::printf("  %7d units:          %8.1f ms (first, with the open: %.1f ms)\n", units, full, fullFirst);
  std::printf("  ratio:                  %8.2f (at most 2)\n", empty > 0 ? full / empty : 0);
  std::printf("working set added by the full history's openings: %.1f MB (at most 10)\n", wsAfter - wsBefore);
  checks.Expect(full <= 300, "opens within 300 ms");
  checks.Expect(full <= 2 * empty, "opens within twice the empty history's time");
  checks.Expect(wsAfter - wsBefore <= 10, "the working set grows by at most 10 MB");
  return checks.Verdict();
}

}  // namespace
}  // namespace velmora::bench

int main(int argc, char** argv) {
  return velmora::bench::Run(argc, argv);
}

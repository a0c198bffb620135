// A refresh pass over 1,000 local client folders beside 1,000 servers that do not answer (a farm
// whose network went down: "\\farmNNNN\seti", every call held in a ProbeFileSystem), against the
// same pass with no dead server, in the same run. Each way is a monitor window of its own over the
// same local folders; the two take turns. Before each pass every local state.sah is written anew,
// and the pass counts as shown when every local row of the table holds the new progress and the
// list view, repainted, gives it back. Also the window thread's own time per pass (the hand-out in
// RefreshLocations plus the handling of the answers and the settle timer).
//
// Prints figures only; no time is asserted. The exit code is 1 when a window showed wrong results.
//
// Usage: gui_dead_servers_bench [passes=9]
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "bench/bench_checks.h"
#include "bench/bench_clients.h"
#include "bench/monitor_under_test.h"
#include "bench/window_pass_watch.h"
#include "monitor/folder_reader.h"
#include "tests/gui/wait_for_reads.h"
#include "tests/support/client_folder_writer.h"
#include "tests/support/probe_file_system.h"
#include "tests/support/temp_folder.h"
#include "tests/support/win32/recording_shell.h"
#include "tests/support/win32/table_reader.h"

namespace velmora::bench {
namespace {

using namespace velmora::testing;

constexpr int kLocals = 1000;
constexpr int kDeadServers = 1000;

int Progress(int generation, int local) {
  return (generation * 37 + local * 101) % 10000;
}

struct Way {
  Way(const std::vector<std::string>& folders, const std::string& deadPrefix, RecordingShellOpener& shell)
      : probe(std::make_shared<ProbeFileSystem>(MakePlatformFileSystem())) {
    if (!deadPrefix.empty())
      probe->Block(deadPrefix);
    monitor = std::make_unique<MonitorUnderTest>(probe, shell, folders, "32767");  // only the bench starts passes
  }
  ~Way() {
    monitor->Close();
    probe->ReleaseAll();
  }
  TfrmMain& Window() { return monitor->Window(); }

  std::shared_ptr<ProbeFileSystem> probe;
  std::unique_ptr<MonitorUnderTest> monitor;
  std::vector<double> toLastResult, windowThread;
};

}  // namespace
}  // namespace velmora::bench

int main(int argc, char** argv) {
  using namespace velmora;
  using namespace velmora::bench;
  const int passes = ArgOr(argc, argv, 1, 9);
  StartAsTheProgram();
  Checks checks;
  std::printf("Velmora: a pass beside %d dead servers; usage: gui_dead_servers_bench [passes=9]\n", kDeadServers);

  testing::TempFolder temp;
  const testing::ClientFolderWriter writer(temp);
  std::vector<std::string> locals;
  for (int i = 0; i < kLocals; ++i) {
    testing::ClientFiles files = OtherClientFiles(false, false);
    files.state = StateText("131072", ProgValue(Progress(0, i)), "1000.125", false);
    locals.push_back(writer.Write(ClientName(i), files));
  }
  std::unordered_map<std::string, int> localIndex;  // by caption
  for (int i = 0; i < kLocals; ++i)
    localIndex[locals[static_cast<std::size_t>(i)]] = i;
  std::vector<std::string> withDead = locals;
  for (int i = 0; i < kDeadServers; ++i) {
    char server[32];
    std::snprintf(server, sizeof server, "\\\\farm%04d\\seti", i);
    withDead.push_back(server);
  }
  int generation = 0;
  const auto rewrite = [&] {
    ++generation;
    for (int i = 0; i < kLocals; ++i)
      writer.WriteFile(ClientName(i) + "\\state.sah",
                       StateText("131072", ProgValue(Progress(generation, i)), "1000.125", false));
  };
  // Every local row of the table shows `generation`: the model first, then the list view.
  const auto localsShow = [&](const TfrmMain& window) {
    int shown = 0;
    for (const LocationRow& row : window.Table().Rows()) {
      const auto local = localIndex.find(row.caption);
      if (local == localIndex.end())
        continue;
      if (row.reading.cells[0] != ProgressText(Progress(generation, local->second)))
        return false;
      ++shown;
    }
    return shown == kLocals;
  };

  RecordingShellOpener shell;
  Way plain(locals, "", shell);
  Way farm(withDead, "\\\\farm", shell);
  for (Way* way : {&plain, &farm}) {
    checks.Expect(way->Window().Create(), "a window was not created");
    way->Window().Show(SW_SHOWNOACTIVATE);
  }
  checks.Expect(testing::WaitForReads(plain.Window()), "the plain window's first pass did not answer");
  // The dead servers are probed until the probes' budget is spent; then the farm is as it stays.
  const auto probes = static_cast<int>(ReaderLimits{}.probes);
  checks.Expect(testing::PumpUntil([&] { return farm.probe->Waiting() >= probes && localsShow(farm.Window()); }, 60000),
                "the farm's probes did not settle: " + std::to_string(farm.probe->Waiting()) + " hang");

  for (int i = 0; i < passes; ++i) {
    const auto pass = [&](Way& way, const char* what) {
      rewrite();
      PassWatch watch(way.Window());
      checks.Expect(watch.Attached(), "the pass watch could not be attached");
      const double start = NowMs();
      const PassFigures figures = watch.Run(60000, [&] { return localsShow(way.Window()); });
      HWND list = way.Window().Controls().lvMain;
      ::RedrawWindow(way.Window().Hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      int wrong = 0;
      const std::vector<LocationRow>& rows = way.Window().Table().Rows();
      for (std::size_t row = 0; row < rows.size(); ++row) {
        if (!rows[row].caption.starts_with("\\\\") &&
            testing::ItemText(list, static_cast<int>(row), 1) != rows[row].reading.cells[0])
          ++wrong;
      }
      way.toLastResult.push_back(NowMs() - start);
      way.windowThread.push_back(figures.WindowThreadMs());
      checks.Expect(figures.settled && wrong == 0, std::string(what) + " pass " + std::to_string(i + 1) + ": " +
                                                       std::to_string(wrong) + " local rows not shown");
    };
    TakeTurns(i, [&] { pass(plain, "no dead server"); }, [&] { pass(farm, "1,000 dead servers"); });
  }

  const double plainMs = Median(plain.toLastResult), farmMs = Median(farm.toLastResult);
  std::printf("\n  medians of %d passes, ms             | no dead server | %d dead servers | target\n", passes,
              kDeadServers);
  std::printf("  start to every local result shown    | %14.1f | %15.1f | <= 1.2 x\n", plainMs, farmMs);
  std::printf("  ... against no dead server           | %14s | %14.2fx |\n", "1.00x", plainMs > 0 ? farmMs / plainMs : 0);
  std::printf("  window thread's own time per pass    | %14.3f | %15.3f | <= 10\n", Median(plain.windowThread),
              Median(farm.windowThread));
  std::printf("  reading threads / calls hung         | %14zu | %9zu / %3d |\n", plain.Window().ReadingThreads(),
              farm.Window().ReadingThreads(), farm.probe->Waiting());
  return checks.Verdict();
}

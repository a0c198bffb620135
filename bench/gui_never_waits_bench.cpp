// Whether the monitor window keeps answering while its folders are read, now that the reads run
// on reading threads, beside the same figures with the reads on the window's thread as the window
// did them before (a LocationTable driven by RefreshNow from a timer of a plain window).
//
// (a) 100 local client folders and one "share" whose every file-system call answers 0.15 s late
//     (ProbeFileSystem::Delay), a 2 s interval, 30 s driven by the window's own timer while this
//     thread delivers messages as the program's loop does. A second thread sends WM_NULL with
//     SendMessageTimeout every 10 ms and notes how long each answer took. A third rewrites every
//     local state.sah (a new prog=) a second after each pass began; at each timer tick, before
//     its pass, every local row must show what was written before the previous pass.
// (b) 1,000 local folders: the window thread's own time per pass (the hand-out in
//     RefreshLocations plus the handling of kAnswersWaiting and the settle timer) and the time
//     from the hand-out until the list view, repainted, gives back the last result, beside the
//     pass as it ran before: every folder read on the window's thread of a plain window that
//     fills a real list view (bench/inline_list_window.h); medians of several passes.
//
// Prints figures only; no time is asserted. The exit code is 1 when a window or table showed
// wrong results.
//
// Usage: gui_never_waits_bench [seconds=30] [passes=9]   (0 skips that part)
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <numeric>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_checks.h"
#include "bench/bench_clients.h"
#include "bench/inline_list_window.h"
#include "bench/monitor_under_test.h"
#include "bench/subclass.h"
#include "bench/window_pass_watch.h"
#include "core/file_system.h"
#include "monitor/location_table.h"
#include "monitor/win32/main_window.h"
#include "tests/gui/main_window_fixture.h"
#include "tests/gui/wait_for_reads.h"
#include "tests/support/inline_pass.h"
#include "tests/support/probe_file_system.h"
#include "tests/support/temp_folder.h"
#include "tests/support/win32/recording_shell.h"
#include "tests/support/win32/stand_in_window.h"
#include "tests/support/win32/window_pinger.h"
#include "windows/handles.h"

namespace velmora::bench {
namespace {

using namespace velmora::testing;

constexpr int kShareDelayMs = 150;
constexpr double kAnswerLimitMs = 100.0;
// A ping waits as long as it takes: its wait is the figure.
constexpr WindowPinger::Sending kPingSending{SMTO_NORMAL, 20000};

// Client folders in a temporary folder: "loc0000".. and, when asked, "share".
class Folders {
 public:
  Folders(int locals, bool share) {
    for (int i = 0; i < locals; ++i) {
      locals_.push_back(MakeClient(ClientName(i), Progress(0, i)));
      localIndex_[locals_.back()] = i;
    }
    if (share)
      share_ = MakeClient("share", kShareProgress);
  }

  static constexpr int kShareProgress = 4321;
  static int Progress(int generation, int local) { return (generation * 37 + local * 101) % 10000; }

  // What the "%" cell of a local folder's row shows once `generation` is read; empty for any other
  // row.
  std::string LocalProgress(const std::string& caption, int generation) const {
    const auto found = localIndex_.find(caption);
    return found == localIndex_.end() ? "" : ProgressText(Progress(generation, found->second));
  }
  int LocalCount() const { return static_cast<int>(locals_.size()); }
  const std::string& Share() const { return share_; }
  std::vector<std::string> All() const {
    std::vector<std::string> all = locals_;
    if (!share_.empty())
      all.push_back(share_);
    return all;
  }

  // Every local state.sah written again for `generation`. A file a reader holds is tried again.
  void RewriteLocals(int generation) {
    for (std::size_t i = 0; i < locals_.size(); ++i)
      writer_.WriteFile(ClientName(static_cast<int>(i)) + "\\state.sah",
                        StateText(Progress(generation, static_cast<int>(i))));
  }

 private:
  static std::string StateText(int progress) {
    return bench::StateText("131072", ProgValue(progress), "1000.125", false);
  }
  std::string MakeClient(const std::string& name, int progress) {
    ClientFiles files = OtherClientFiles(false, false);
    files.state = StateText(progress);
    return writer_.Write(name, files);
  }

  TempFolder temp_;
  const ClientFolderWriter writer_{temp_};
  std::vector<std::string> locals_;
  std::map<std::string, int> localIndex_;  // by caption
  std::string share_;
};

// Rewrites the local state files a second after each pass began (Signal), on its own thread.
class Writer {
 public:
  explicit Writer(Folders& folders)
      : folders_(folders), thread_([this](std::stop_token stop) { Run(stop); }) {}
  // Ends the rewriting; a rewrite under way is finished first.
  void Stop() {
    thread_.request_stop();
    if (thread_.joinable())
      thread_.join();
  }

  // The generation every local state file holds now.
  int Written() const { return written_.load(); }
  void Signal() {
    {
      std::lock_guard lock(mutex_);
      ++signals_;
    }
    wake_.notify_all();
  }

 private:
  void Run(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    for (int handled = 0;;) {
      wake_.wait(lock, stop, [&] { return signals_ > handled; });
      handled = signals_;
      wake_.wait_for(lock, stop, std::chrono::milliseconds(1000), [] { return false; });
      if (stop.stop_requested())
        return;
      lock.unlock();
      const int next = written_.load() + 1;
      folders_.RewriteLocals(next);
      written_ = next;
      lock.lock();
    }
  }

  Folders& folders_;
  std::mutex mutex_;
  std::condition_variable_any wake_;
  int signals_ = 0;
  std::atomic<int> written_{0};
  std::jthread thread_;  // last: starts once the rest is there
};

struct Responsiveness {
  int pings = 0;
  double longestMs = 0, medianMs = 0;
  double lateShare = 0;      // of pings answered later than 100 ms
  double lateTimeShare = 0;  // of the run's time spent waiting on those pings
  int ticks = 0, checkedPasses = 0, freshPasses = 0, fewestFresh = -1;
  std::uint64_t fsCalls = 0;
  std::size_t threadsAtEnd = 0;
};

// Delivers this thread's messages for `ms`, as the program's loop does.
void RunLoop(double ms, TfrmMain* window) {
  const double end = NowMs() + ms;
  for (;;) {
    MSG message{};
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (window && window->PreTranslateMessage(message))
        continue;
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
    const double left = end - NowMs();
    if (left <= 0)
      return;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left) + 1, QS_ALLINPUT);
  }
}

// The pings' figures, from every ping's wait over a run of `runMs`.
void SummarisePings(const std::vector<double>& latencies, double runMs, Responsiveness& r) {
  r.pings = static_cast<int>(latencies.size());
  double lateMs = 0;
  int late = 0;
  for (double ms : latencies) {
    r.longestMs = std::max(r.longestMs, ms);
    if (ms > kAnswerLimitMs) {
      ++late;
      lateMs += ms;
    }
  }
  r.medianMs = Median(latencies);
  r.lateShare = r.pings > 0 ? 100.0 * late / r.pings : 0;
  r.lateTimeShare = runMs > 0 ? 100.0 * lateMs / runMs : 0;
}

// Which local rows of `rows` show `generation`, and whether the share shows its own progress.
void CheckRows(const std::vector<LocationRow>& rows,
               const Folders& folders,
               int generation,
               const std::function<std::string(std::size_t)>& shownProgress,
               Checks& checks,
               const std::string& what) {
  int wrong = 0;
  for (std::size_t row = 0; row < rows.size(); ++row) {
    std::string expected = folders.LocalProgress(rows[row].caption, generation);
    if (expected.empty())
      expected = ProgressText(Folders::kShareProgress);
    const std::string shown = shownProgress(row);
    if (shown != expected && ++wrong <= 3)
      checks.Expect(
          false, what + ": row " + rows[row].caption + " shows '" + shown + "', expected '" + expected + "'");
  }
  checks.Expect(rows.size() == folders.All().size(), what + ": " + std::to_string(rows.size()) + " rows");
  checks.Expect(wrong == 0, what + ": " + std::to_string(wrong) + " rows show a wrong progress");
}

// One way of (a): 100 local client folders and the slow share, and the writer that rewrites the
// local ones after each pass began.
struct WayRun {
  WayRun() { probe->Delay(folders.Share(), std::chrono::milliseconds(kShareDelayMs)); }

  // At each timer tick, before its pass: did the previous pass show every local row as the files
  // were when it began?
  void OnTick(const LocationTable& table) {
    if (previousGeneration >= 0) {
      ++figures.checkedPasses;
      int fresh = 0;
      for (const LocationRow& row : table.Rows()) {
        const std::string expected = folders.LocalProgress(row.caption, previousGeneration);
        fresh += !expected.empty() && row.reading.cells[0] == expected;
      }
      figures.freshPasses += fresh == folders.LocalCount();
      figures.fewestFresh = figures.fewestFresh < 0 ? fresh : std::min(figures.fewestFresh, fresh);
    }
    previousGeneration = writer.Written();
    ++figures.ticks;
    writer.Signal();
  }

  // `loop` delivers the messages of `window`, shown, and gives how long it ran; meanwhile a second
  // thread pings it, and each tick of its timer `timerId` is checked on the window's thread just
  // before the tick is handled.
  void Ping(HWND window, UINT_PTR timerId, const LocationTable& table, const std::function<double()>& loop) {
    const Subclass hook(window, [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
      if (message == WM_TIMER && wParam == timerId)
        OnTick(table);
      return ::DefSubclassProc(hwnd, message, wParam, lParam);
    });
    WindowPinger pinger(window, kPingSending);
    const double ran = loop();
    pinger.Stop();
    SummarisePings(pinger.WaitsMs(), ran, figures);
  }

  // One more pass (`lastPass`) once the writer is still, with every answer shown: the rows of
  // `table`, as `shownProgress` reads them back, must show the folders as they are.
  void Finish(const LocationTable& table,
              const std::function<void()>& lastPass,
              const std::function<std::string(std::size_t)>& shownProgress,
              Checks& checks,
              const std::string& what) {
    writer.Stop();
    const int generation = writer.Written();
    lastPass();
    CheckRows(table.Rows(), folders, generation, shownProgress, checks, what);
  }

  Responsiveness Figures() {
    figures.fsCalls = probe->CallCount();
    return figures;
  }

  Folders folders{100, true};
  std::shared_ptr<ProbeFileSystem> probe = std::make_shared<ProbeFileSystem>(MakePlatformFileSystem());
  Responsiveness figures;
  int previousGeneration = -1;
  Writer writer{folders};  // last: its thread starts once the rest is there
};

// (a), the reads on reading threads: the real window, its own 2 s timer.
Responsiveness WindowWithReaders(double runMs, Checks& checks) {
  WayRun run;
  RecordingShellOpener shell;
  MonitorUnderTest monitor(run.probe, shell, run.folders.All(), "2");
  TfrmMain* window = &monitor.Window();
  checks.Expect(window->Create(), "(a) the window was not created");
  checks.Expect(window->TimerInterval() == 2000,
                "(a) the window's interval is " + std::to_string(window->TimerInterval()) + " ms");
  window->Show(SW_SHOWNORMAL);
  run.Ping(window->Hwnd(), TfrmMain::kMainTimerId, window->Table(),
           [&] { return TimeMs([&] { RunLoop(runMs, window); }); });
  run.figures.threadsAtEnd = window->ReadingThreads();
  HWND table = window->Controls().lvMain;
  run.Finish(
      window->Table(),
      [&] {
        window->RefreshLocations();
        checks.Expect(WaitForReads(*window), "(a) the last pass's reads did not all answer");
      },
      [&](std::size_t row) { return ItemText(table, static_cast<int>(row), 1); }, checks,
      "(a) reading threads, the list view at the end");
  monitor.Close();
  return run.Figures();
}

// (a), the reads on the window's thread, as before: a plain window whose timer runs a pass of a
// LocationTable, as the monitor window did before its reads moved to reading threads.
Responsiveness WindowThreadReads(double runMs, Checks& checks) {
  WayRun run;
  LocationTable table(&CaptionOrder);
  for (const std::string& folder : run.folders.All())
    table.AddLocation(folder, true);
  const win::WindowHandle window = StandInWindow("inline", WS_OVERLAPPEDWINDOW, {300, 200});
  checks.Expect(window.Get() != nullptr, "(a) the inline window was not created");
  constexpr UINT_PTR kTimerId = 1;
  // A pass now, then one every 2 s, as the window's start-up and timer ran them.
  const auto pass = [&] {
    ::KillTimer(window.Get(), kTimerId);
    RefreshNow(table, *run.probe, PassClock{std::chrono::steady_clock::now(), LocalDateTime{}});
    ::SetTimer(window.Get(), kTimerId, 2000, nullptr);
  };
  const Subclass timer(window.Get(), [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_TIMER || wParam != kTimerId)
      return ::DefSubclassProc(hwnd, message, wParam, lParam);
    pass();
    return LRESULT{0};
  });
  ::ShowWindow(window.Get(), SW_SHOWNORMAL);
  run.Ping(window.Get(), kTimerId, table, [&] {
    const double start = NowMs();
    run.OnTick(table);  // the start-up pass, like the window's
    pass();
    RunLoop(runMs - (NowMs() - start), nullptr);
    return NowMs() - start;
  });
  run.Finish(
      table, pass, [&](std::size_t row) { return table.Rows()[row].reading.cells[0]; }, checks,
      "(a) window-thread reads, the table at the end");
  return run.Figures();
}

struct PassSeries {
  std::vector<double> windowThread, handOut, answers, toLastResult, inline_, answerMessages;
};

// (b) 1,000 local folders: the window's pass against the pass on the window's thread of before.
void Passes(int passes, PassSeries& unchanged, PassSeries& changed, Checks& checks) {
  constexpr int kFolders = 1000;
  Folders folders(kFolders, false);
  auto probe = std::make_shared<ProbeFileSystem>(MakePlatformFileSystem());
  const std::vector<std::string> all = folders.All();
  RecordingShellOpener shell;
  InlineListWindow before(*probe, all);
  ::ShowWindow(before.Hwnd(), SW_SHOWNOACTIVATE);
  before.Pass();

  MonitorUnderTest monitor(probe, shell, all, "32767");  // only the bench starts passes
  TfrmMain* window = &monitor.Window();
  checks.Expect(window->Create(), "(b) the window was not created");
  window->Show(SW_SHOWNORMAL);
  checks.Expect(WaitForReads(*window), "(b) the first pass did not answer");
  PumpMessages();
  int generation = 0;
  {
    PassWatch watch(*window);
    checks.Expect(watch.Attached(), "(b) the pass watch could not be attached");
    std::vector<std::size_t> everyRow(kFolders);
    std::iota(everyRow.begin(), everyRow.end(), std::size_t{0});
    // A result counts as shown when the list view, repainted, gives it back: both ways end so.
    const auto shownBy = [&](HWND frame, HWND list, double start) {
      ::RedrawWindow(frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      const std::string last = ItemText(list, kFolders - 1, 1);
      const double shown = NowMs() - start;
      checks.Expect(!last.empty() && last != "?", "(b) the last row shows '" + last + "'");
      return shown;
    };
    const auto windowPass = [&](bool isChanged, PassSeries& series, const std::string& what) {
      const double start = NowMs();
      const PassFigures pass = watch.Run();
      series.toLastResult.push_back(shownBy(window->Hwnd(), window->Controls().lvMain, start));
      series.windowThread.push_back(pass.WindowThreadMs());
      series.handOut.push_back(pass.handOutMs);
      series.answers.push_back(pass.answersMs);
      series.answerMessages.push_back(pass.answerMessages);
      checks.Expect(pass.settled, what + ": the reads did not all answer");
      checks.Expect(pass.changedRows == (isChanged ? everyRow : std::vector<std::size_t>{}),
                    what + ": " + std::to_string(pass.changedRows.size()) + " rows changed");
    };
    const auto inlinePass = [&](bool isChanged, PassSeries& series, const std::string& what) {
      const double start = NowMs();
      const RefreshOutcome outcome = before.Pass();
      series.inline_.push_back(shownBy(before.Hwnd(), before.List(), start));
      checks.Expect(outcome.changedRows.size() == (isChanged ? everyRow.size() : 0u),
                    what + ": " + std::to_string(outcome.changedRows.size()) + " rows changed in RefreshNow");
    };
    for (const bool isChanged : {false, true}) {
      PassSeries& series = isChanged ? changed : unchanged;
      // Before a changed pass, each way finds every state file changed since it last looked.
      const auto rewrite = [&] {
        if (isChanged)
          folders.RewriteLocals(++generation);
      };
      for (int i = 0; i < passes; ++i) {
        const std::string what =
            (isChanged ? "(b) changed pass " : "(b) unchanged pass ") + std::to_string(i + 1);
        rewrite();
        TakeTurns(
            i, [&] { inlinePass(isChanged, series, what); },
            [&] {
              rewrite();
              windowPass(isChanged, series, what);
            });
      }
    }
  }
  // Both show what the folders hold now.
  before.Pass();
  const std::vector<LocationRow>& windowRows = window->Table().Rows();
  const std::vector<LocationRow>& inlineRows = before.Table().Rows();
  HWND table = window->Controls().lvMain;
  CheckRows(
      windowRows, folders, generation,
      [&](std::size_t row) { return ItemText(table, static_cast<int>(row), 1); }, checks,
      "(b) the window's list view");
  int differing = 0;
  for (std::size_t i = 0; i < std::min(windowRows.size(), inlineRows.size()); ++i) {
    if (windowRows[i].caption != inlineRows[i].caption ||
        windowRows[i].reading.cells != inlineRows[i].reading.cells ||
        windowRows[i].reading.icon != inlineRows[i].reading.icon)
      ++differing;
  }
  checks.Expect(differing == 0 && windowRows.size() == inlineRows.size(),
                "(b) " + std::to_string(differing) + " rows of the window differ from the one-thread pass's");
  std::printf("(b) reading threads alive after the passes: %zu; file-system calls in all: %llu\n",
              window->ReadingThreads(), static_cast<unsigned long long>(probe->CallCount()));
  monitor.Close();
}

void Row(const char* figure, const std::string& readers, const std::string& before, const char* target) {
  std::printf("  %-52s | %-22s | %-22s | %s\n", figure, readers.c_str(), before.c_str(), target);
}

std::string Fixed(double value, const char* unit = "", int decimals = 1) {
  char text[48];
  std::snprintf(text, sizeof text, "%.*f%s", decimals, value, unit);
  return text;
}

std::string Fixed3(double value) {
  return Fixed(value, "", 3);
}

}  // namespace
}  // namespace velmora::bench

int main(int argc, char** argv) {
  using namespace velmora::bench;
  const int seconds = ArgOr(argc, argv, 1, 30);
  const int passes = ArgOr(argc, argv, 2, 9);
  StartAsTheProgram();
  Checks checks;
  std::printf(
      "Velmora: the window never waits for a folder; usage: gui_never_waits_bench [seconds=30] [passes=9]\n");
  std::fflush(stdout);

  Responsiveness readers, before;
  if (seconds > 0) {
    std::printf("(a) 100 local folders + 1 share (%d ms per call), 2 s interval, %d s each way...\n",
                kShareDelayMs, seconds);
    std::fflush(stdout);
    readers = WindowWithReaders(seconds * 1000.0, checks);
    before = WindowThreadReads(seconds * 1000.0, checks);
  }
  PassSeries unchanged, changed;
  if (passes > 0) {
    std::printf("(b) 1,000 local folders, %d passes of each kind each way...\n", passes);
    std::fflush(stdout);
    Passes(passes, unchanged, changed, checks);
  }

  std::printf("\n  %-52s | %-22s | %-22s | %s\n", "figure", "reads on reading thr.", "reads on window thread",
              "target");
  std::printf("  %s\n", std::string(130, '-').c_str());
  if (seconds > 0) {
    Row("(a) WM_NULL pings sent", std::to_string(readers.pings), std::to_string(before.pings), "");
    Row("(a) longest answer, ms", Fixed(readers.longestMs), Fixed(before.longestMs), "<= 50");
    Row("(a) median answer, ms", Fixed3(readers.medianMs), Fixed3(before.medianMs), "");
    Row("(a) pings not answered within 100 ms, %", Fixed(readers.lateShare, " %"),
        Fixed(before.lateShare, " %"), "0 %");
    Row("(a) run time spent in those pings, %", Fixed(readers.lateTimeShare, " %"),
        Fixed(before.lateTimeShare, " %"), "0 %");
    Row("(a) timer passes", std::to_string(readers.ticks), std::to_string(before.ticks), "");
    Row("(a) passes with all 100 local rows refreshed",
        std::to_string(readers.freshPasses) + " of " + std::to_string(readers.checkedPasses),
        std::to_string(before.freshPasses) + " of " + std::to_string(before.checkedPasses), "every pass");
    Row("(a) fewest local rows refreshed in one pass", std::to_string(readers.fewestFresh),
        std::to_string(before.fewestFresh), "100");
    Row("(a) file-system calls", std::to_string(readers.fsCalls), std::to_string(before.fsCalls), "");
    Row("(a) reading threads alive at the end", std::to_string(readers.threadsAtEnd), "-", "");
  }
  if (passes > 0) {
    const auto kind = [&](const char* label, const PassSeries& s) {
      std::printf("  (b) %s passes, medians of %d, ms:\n", label, passes);
      Row("    window thread: hand-out + answers", Fixed3(Median(s.windowThread)), "= whole pass", "<= 10");
      Row("    ... of which hand-out (RefreshLocations)", Fixed3(Median(s.handOut)), "", "");
      Row("    ... of which kAnswersWaiting + settle timer", Fixed3(Median(s.answers)), "", "");
      Row("    answer messages handled per pass", Fixed(Median(s.answerMessages)), "", "");
      Row("    start to last result", Fixed3(Median(s.toLastResult)), Fixed3(Median(s.inline_)), "<= before");
      const double ratio = Median(s.inline_) > 0 ? 100.0 * Median(s.toLastResult) / Median(s.inline_) : 0;
      Row("    start to last result against before", Fixed(ratio, " %"), "100 %", "<= 100 %");
    };
    kind("unchanged", unchanged);
    kind("changed (every state.sah rewritten)", changed);
  }
  return checks.Verdict();
}

// The monitor window's own refresh pass, measured on the real TfrmMain over 1,000 locations (in
// memory, then in real folders): the time of a pass in which nothing changed and of one in which
// every readable row changed, beside the window-free LocationTable pass over the same folders; the
// messages that lvMain, the panel that relays its notifications and the status bar receive per
// row in each; the cost of painting what the pass invalidated; and soaks of many passes over
// changing folders that read the process's memory, handles and GUI objects. Each of those
// readings is first probed with a known amount of what it counts, so that one Wine leaves at 0
// is reported as not measurable instead of as "no growth".
//
// The folders are read on the window's reading threads; a pass's figures are those that bench/
// window_pass_watch.h gives. Timed passes carry only the light subclasses that count repaint
// requests and status writes and time the answers; the full message tallies (whose bookkeeping
// would be timed too) come from separate counted passes of each kind.
//
// Every pass is checked against what the folders hold (changed rows, repaint requests, status
// writes, and the texts and icons the list view shows); the exit code is 1 when any check failed.
//
// Usage: gui_refresh_bench [memory-passes=50] [disk-passes=10] [soak-passes=10000]
//                          [disk-soak-passes=1000]     (0 skips that part)
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <numeric>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bench/bench_checks.h"
#include "bench/bench_clients.h"
#include "bench/monitor_under_test.h"
#include "bench/subclass.h"
#include "bench/window_pass_watch.h"
#include "core/file_system.h"
#include "core/local_time.h"
#include "monitor/win32/main_window.h"
#include "tests/gui/main_window_fixture.h"
#include "tests/gui/wait_for_reads.h"
#include "tests/support/client_folder_writer.h"
#include "tests/support/inline_pass.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/temp_folder.h"
#include "tests/support/win32/recording_shell.h"
#include "windows/handles.h"

namespace velmora::bench {
namespace {

using namespace velmora::testing;

constexpr UINT kItemWriteMessages[] = {
    LVM_SETITEMA,     LVM_SETITEMW,    LVM_SETITEMTEXTA, LVM_SETITEMTEXTW, LVM_SETITEMSTATE,
    LVM_SETITEMCOUNT, LVM_INSERTITEMA, LVM_INSERTITEMW,  LVM_DELETEITEM,   LVM_DELETEALLITEMS};

// The kinds of message a tally counts apart, besides every message: each by what it matches (the
// code is that of a WM_NOTIFY from lvMain, 0 for any other message).
struct CountedKind {
  const char* label;
  bool (*matches)(UINT message, UINT code);
};
constexpr CountedKind kCountedKinds[] = {
    {"LVM_*", [](UINT m, UINT) { return m >= LVM_FIRST && m < LVM_FIRST + 0x100; }},
    {"REDRAWITEMS", [](UINT m, UINT) { return m == LVM_REDRAWITEMS; }},
    {"SETITEM*/INSERT/DELETE", [](UINT m, UINT) { return std::ranges::count(kItemWriteMessages, m) > 0; }},
    {"SORT*", [](UINT m, UINT) { return m == LVM_SORTITEMS || m == LVM_SORTITEMSEX; }},
    {"paint",
     [](UINT m, UINT) {
       return m == WM_PAINT || m == WM_ERASEBKGND || m == WM_NCPAINT || m == WM_PRINTCLIENT;
     }},
    {"GETDISPINFO", [](UINT, UINT code) { return code == LVN_GETDISPINFOA || code == LVN_GETDISPINFOW; }},
    {"SB_SETTEXT", [](UINT m, UINT) { return m == SB_SETTEXTA || m == SB_SETTEXTW; }}};

// What one window received while it was counted into this tally.
struct MessageTally {
  std::uint64_t all = 0;
  std::array<std::uint64_t, std::size(kCountedKinds)> byKind{};
  double insideMs = 0;  // time spent handling them (nested messages counted once)
  std::map<UINT, std::uint64_t> byMessage;
  std::map<UINT, std::uint64_t> notifyCodes;  // of WM_NOTIFY from lvMain
};

struct Named {
  UINT value;
  const char* name;
};
// The name printed is the constant's own, so that the two cannot disagree.
#define VELMORA_NAMED(constant) \
  { constant, #constant }
constexpr Named kMessageNames[] = {
    VELMORA_NAMED(WM_PAINT),        VELMORA_NAMED(WM_ERASEBKGND),    VELMORA_NAMED(WM_NCPAINT),
    VELMORA_NAMED(WM_NOTIFY),       VELMORA_NAMED(WM_GETTEXT),       VELMORA_NAMED(WM_GETTEXTLENGTH),
    VELMORA_NAMED(WM_SETTEXT),      VELMORA_NAMED(WM_TIMER),         VELMORA_NAMED(WM_CTLCOLORSTATIC),
    VELMORA_NAMED(WM_CTLCOLORBTN),  VELMORA_NAMED(WM_NOTIFYFORMAT),  VELMORA_NAMED(LVM_REDRAWITEMS),
    VELMORA_NAMED(LVM_GETITEMA),    VELMORA_NAMED(LVM_GETITEMTEXTA), VELMORA_NAMED(LVM_GETITEMSTATE),
    VELMORA_NAMED(LVM_GETNEXTITEM), VELMORA_NAMED(LVM_SETITEMSTATE), VELMORA_NAMED(SB_SETTEXTA),
    VELMORA_NAMED(SB_GETTEXTA)};
constexpr Named kNotifyNames[] = {VELMORA_NAMED(LVN_GETDISPINFOA), VELMORA_NAMED(LVN_GETDISPINFOW),
                                  VELMORA_NAMED(NM_CUSTOMDRAW), VELMORA_NAMED(LVN_ITEMCHANGED),
                                  VELMORA_NAMED(LVN_ITEMCHANGING)};
#undef VELMORA_NAMED

// The name of `value` among `names`, or `unnamed`.
template <std::size_t N>
std::string NameIn(const Named (&names)[N], UINT value, const std::string& unnamed) {
  const auto found = std::find_if(names, names + N, [value](const Named& n) { return n.value == value; });
  return found == names + N ? unnamed : found->name;
}

std::string Hex(UINT message) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%04X", message);
  return text;
}

// lvMain, the panel that relays its notifications to the window, and the status bar.
constexpr const char* kCountedWindows[] = {"lvMain", "relay", "sttBar"};
using WindowTallies = std::array<MessageTally, std::size(kCountedWindows)>;

// Counts what each of kCountedWindows receives into its own tally, by subclassing them, while
// `this` lives.
class WindowCounters {
 public:
  explicit WindowCounters(const MainControls& controls) : table_(controls.lvMain) {
    const HWND windows[] = {controls.lvMain, ::GetParent(controls.lvMain), controls.sttBar};
    for (std::size_t window = 0; window < std::size(windows); ++window)
      subclasses_[window].emplace(windows[window],
                                  [this, window](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
                                    return Count(window, hwnd, message, wParam, lParam);
                                  });
  }
  bool Attached() const {
    return std::all_of(subclasses_.begin(), subclasses_.end(), [](const auto& s) { return s->Attached(); });
  }
  // Each window's messages into its own of `tallies` from now on; null leaves them uncounted.
  void CountInto(WindowTallies* tallies) { tallies_ = tallies; }

 private:
  LRESULT Count(std::size_t window, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!tallies_)
      return ::DefSubclassProc(hwnd, message, wParam, lParam);
    MessageTally& tally = (*tallies_)[window];
    ++tally.all;
    ++tally.byMessage[message];
    const auto* header = message == WM_NOTIFY ? reinterpret_cast<const NMHDR*>(lParam) : nullptr;
    const UINT code = header && header->hwndFrom == table_ ? header->code : 0;
    if (code != 0)
      ++tally.notifyCodes[code];
    for (std::size_t kind = 0; kind < std::size(kCountedKinds); ++kind)
      tally.byKind[kind] += kCountedKinds[kind].matches(message, code);
    const double start = depth_[window]++ == 0 ? NowMs() : 0;
    const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
    if (--depth_[window] == 0)
      tally.insideMs += NowMs() - start;
    return result;
  }

  HWND table_;
  WindowTallies* tallies_ = nullptr;
  std::array<int, std::size(kCountedWindows)> depth_{};
  // Last: attached after, and detached before, the members they count into.
  std::array<std::optional<Subclass>, std::size(kCountedWindows)> subclasses_;
};

// Paints now whatever the pass invalidated in the window and its controls.
void FlushPaints(HWND window) {
  ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// By Kind.
constexpr const char* kKindNames[] = {"in work", "waiting", "missing folder", "disabled"};

// One client folder as the bench writes it, and what its row must show.
struct Client {
  std::string name;
  std::string folder;  // the row's caption
  Kind kind = Kind::kInWork;
  int progress = 0;  // in 1/100 of a percent: "prog=0.<progress, four digits>"
  bool hasResult = false;
  LocalDateTime stateTime{};

  bool Enabled() const { return kind != Kind::kDisabled; }
  bool HasFolder() const { return kind != Kind::kMissing; }
  bool Readable() const { return Enabled() && HasFolder(); }
  bool HasWorkUnit() const { return kind != Kind::kWaiting; }
};

std::string DateText(const LocalDateTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d.%02d.%02d  %02d:%02d", time.year, time.month, time.day, time.hour,
                time.minute);
  return text;
}

// The time of generation `generation` of the state files: a minute apart.
LocalDateTime GenerationTime(int generation) {
  return LocalDateTime{2024, 5, 17, 9 + (generation / 60) % 14, generation % 60, 0};
}

// The client folders, in the in-memory file system or in real folders on disk (%TEMP%).
class ClientSet {
 public:
  ClientSet(bool onDisk, int count, const std::function<Kind(int)>& kindOf)
      : memory_(onDisk ? nullptr : std::make_shared<MemoryFileSystem>()),
        fs_(onDisk ? std::shared_ptr<FileSystem>(MakePlatformFileSystem()) : memory_),
        writer_(onDisk ? ClientFolderWriter(temp_) : ClientFolderWriter(*memory_, "C:\\clients")) {
    for (int i = 0; i < count; ++i) {
      const std::string name = ClientName(i);
      const Kind kind = kindOf(i);
      clients_.push_back(
          {.name = name, .folder = writer_.Path(name), .kind = kind, .hasResult = kind == Kind::kWaiting});
      if (clients_.back().HasFolder())
        writer_.Write(name, OtherClientFiles(kind == Kind::kWaiting), {GenerationTime(0), GenerationTime(0)});
    }
    RewriteStates();
  }

  std::vector<Client>& Clients() { return clients_; }
  // Shared with the window's reading threads.
  std::shared_ptr<FileSystem> Fs() { return fs_; }

  // The client wrote its state file again: new progress, new CPU time, a later time stamp. Only
  // the folders whose index is `phase` modulo `step`.
  void RewriteStates(std::size_t step = 1, std::size_t phase = 0) {
    ++generation_;
    for (std::size_t i = phase; i < clients_.size(); i += step) {
      Client& client = clients_[i];
      if (!client.HasFolder())
        continue;
      client.progress = static_cast<int>((i * 37 + static_cast<std::size_t>(generation_) * 13) % 10000);
      client.stateTime = GenerationTime(generation_);
      writer_.WriteFile(
          client.name + "\\state.sah",
          StateText("131072", ProgValue(client.progress), std::to_string(1000 + generation_) + ".125", true),
          client.stateTime);
    }
  }

  // result.sah appears or goes: the row's icon turns between work unit and result.
  void FlipResult(Client& client) {
    client.hasResult = !client.hasResult;
    if (client.hasResult)
      writer_.WriteFile(client.name + "\\result.sah", "result data\n", client.stateTime);
    else
      writer_.Remove(client.name + "\\result.sah");
  }

  // The cells and icon the row must show after a pass over the folders as they are now.
  std::vector<std::string> ExpectedCells(const Client& client) const {
    // A row disabled from the start was never read: its "%" keeps the new row's "?".
    if (!client.Enabled())
      return {client.folder, "?", "", "", "", ""};
    if (!client.HasFolder())
      return {client.folder, "?", "-", "-", "-", "-"};
    return {client.folder,
            ProgressText(client.progress),
            client.HasWorkUnit() ? "+" : "-",
            "+",
            client.hasResult ? "+" : "-",
            writer_.KnowsFileTimes() ? DateText(client.stateTime) : std::string()};
  }
  static int ExpectedIcon(const Client& client) {
    if (!client.Enabled())
      return kIconDisabled;
    if (!client.HasFolder())
      return kIconNoFolder;
    if (client.hasResult)
      return kIconResult;
    return client.HasWorkUnit() ? kIconWorkUnit : kIconNone;
  }

  int CountWhere(const std::function<bool(const Client&)>& pick) const {
    return static_cast<int>(std::count_if(clients_.begin(), clients_.end(), pick));
  }
  int Count(Kind kind) const {
    return CountWhere([kind](const Client& c) { return c.kind == kind; });
  }
  int ReadyCount() const {
    return CountWhere([](const Client& c) { return c.Readable() && c.hasResult; });
  }
  int WorkCount() const {
    return CountWhere([](const Client& c) { return c.Readable(); });
  }

 private:
  TempFolder temp_;  // empty when the folders are in memory
  std::shared_ptr<MemoryFileSystem> memory_;
  std::shared_ptr<FileSystem> fs_;
  ClientFolderWriter writer_;
  std::vector<Client> clients_;
  int generation_ = 0;
};

// The window over the client folders: settings in memory, the refresh timer far away so that
// only the bench starts passes. The first pass's answers are in when it is built. The repaint
// requests lvMain and the texts the status bar receive are counted by subclassing them, and a
// PassWatch times each pass on the window's thread.
class BenchWindow {
 public:
  explicit BenchWindow(ClientSet& set) {
    const std::vector<Client>& clients = set.Clients();
    std::vector<std::string> folders;
    std::vector<bool> enabled;
    for (const Client& client : clients) {
      folders.push_back(client.folder);
      enabled.push_back(client.Enabled());
    }
    monitor_ = std::make_unique<MonitorUnderTest>(set.Fs(), shell_, folders, "32767", enabled);
    TfrmMain* window = &monitor_->Window();
    created_ = window->Create();
    if (created_) {
      window->Show(SW_SHOWNORMAL);
      created_ = WaitForReads(*window);
      PumpMessages();
      redraws_ = std::make_unique<MessageCounter>(Table(), LVM_REDRAWITEMS);
      statusWritesA_ = std::make_unique<MessageCounter>(window->Controls().sttBar, SB_SETTEXTA);
      statusWritesW_ = std::make_unique<MessageCounter>(window->Controls().sttBar, SB_SETTEXTW);
      watch_ = std::make_unique<PassWatch>(*window);
      // A first pass that never answered fails the run as a window that did not come up would.
      created_ = watch_->Attached() && created_;
    }
  }
  bool Created() const { return created_; }
  TfrmMain& Window() { return monitor_->Window(); }
  // A pass as "Update all now" starts it, its answers delivered until all are shown.
  PassFigures Pass() { return watch_->Run(); }
  std::uint64_t RowRedraws() const { return static_cast<std::uint64_t>(redraws_->Count()); }
  std::uint64_t StatusWrites() const {
    return static_cast<std::uint64_t>(statusWritesA_->Count() + statusWritesW_->Count());
  }
  HWND Table() { return Window().Controls().lvMain; }
  // The window never opens a document here; a call would be a fault.
  int ShellCalls() const { return static_cast<int>(shell_.calls.size()); }

  // Rows by caption: the window keeps them in its own order.
  std::vector<const Client*> RowOrder(const std::vector<Client>& clients) const {
    std::map<std::string, const Client*> byCaption;
    for (const Client& client : clients)
      byCaption[client.folder] = &client;
    std::vector<const Client*> order;
    for (const LocationRow& row : monitor_->Window().Table().Rows()) {
      const auto found = byCaption.find(row.caption);
      order.push_back(found == byCaption.end() ? nullptr : found->second);
    }
    return order;
  }

 private:
  RecordingShellOpener shell_;
  std::unique_ptr<MonitorUnderTest> monitor_;
  // The subclasses below go before the window they are attached to.
  std::unique_ptr<MessageCounter> redraws_;
  std::unique_ptr<MessageCounter> statusWritesA_;
  std::unique_ptr<MessageCounter> statusWritesW_;
  std::unique_ptr<PassWatch> watch_;
  bool created_ = false;
};

// What the list view and the status bar show, row by row, against what the folders hold.
void CheckShown(BenchWindow& bench, ClientSet& clients, Checks& checks, const std::string& when) {
  const std::vector<const Client*> order = bench.RowOrder(clients.Clients());
  HWND table = bench.Table();
  const int shownRows = ItemCount(table);
  checks.Expect(shownRows == static_cast<int>(order.size()),
                when + ": the list view holds " + std::to_string(shownRows) + " rows");
  int wrongRows = 0;
  for (std::size_t row = 0; row < order.size(); ++row) {
    if (!order[row]) {
      checks.Expect(false, when + ": unknown caption in row " + std::to_string(row));
      continue;
    }
    std::vector<std::string> expected = clients.ExpectedCells(*order[row]);
    const std::vector<std::string> shown = RowTexts(table, static_cast<int>(row));
    if (expected[5].empty() && order[row]->Readable())  // a real file's time: present, not known
      expected[5] = shown[5].empty() || shown[5] == "-" ? "a file's time" : shown[5];
    const bool same =
        ItemImage(table, static_cast<int>(row)) == ClientSet::ExpectedIcon(*order[row]) && shown == expected;
    if (!same && ++wrongRows <= 3) {
      std::string detail;
      for (const std::string& cell : shown)
        detail += " [" + cell + "]";
      checks.Expect(false, when + ": row " + std::to_string(row) + " (" +
                               kKindNames[static_cast<int>(order[row]->kind)] + ") shows" + detail +
                               " icon " + std::to_string(ItemImage(table, static_cast<int>(row))));
    }
  }
  checks.Expect(wrongRows == 0, when + ": " + std::to_string(wrongRows) + " rows show wrong cells or icons");
  checks.Expect(bench.ShellCalls() == 0, when + ": the window asked the shell to open something");
  const std::vector<std::string> panels = StatusTexts(bench.Window().Controls().sttBar);
  checks.Expect(
      panels == std::vector<std::string>{" Total: " + std::to_string(order.size()),
                                         " Work: " + std::to_string(clients.WorkCount()),
                                         " Ready: " + std::to_string(clients.ReadyCount())},
      when + ": the status panels show '" + panels[0] + "' '" + panels[1] + "' '" + panels[2] + "'");
}

// The rows (in the window's order) a pass must report as changed.
using ExpectedChange = std::vector<std::size_t>;

ExpectedChange RowsWhere(const std::vector<const Client*>& order,
                         const std::function<bool(const Client&)>& pick) {
  ExpectedChange change;
  for (std::size_t row = 0; row < order.size(); ++row) {
    if (order[row] && pick(*order[row]))
      change.push_back(row);
  }
  return change;
}

// The timed figures of the passes of one kind, in ms.
struct Series {
  std::vector<double> window;  // RefreshLocations + kAnswersWaiting + settle timer, on the window's thread
  std::vector<double> toLastResult;  // RefreshLocations called .. every answer shown
  std::vector<double> paint, model;
};

// One refresh pass as "Update all now" runs it, checked against `expected`. The window's thread
// spends the hand-out and the handling of the answers on it; the reads run meanwhile.
void RunPass(BenchWindow& bench,
             const ExpectedChange& expected,
             Checks& checks,
             const std::string& what,
             Series& series) {
  const std::uint64_t redrawsBefore = bench.RowRedraws();
  const std::uint64_t statusBefore = bench.StatusWrites();
  const PassFigures pass = bench.Pass();
  series.paint.push_back(TimeMs([&] { FlushPaints(bench.Window().Hwnd()); }));
  series.window.push_back(pass.WindowThreadMs());
  series.toLastResult.push_back(pass.toLastResultMs);

  checks.Expect(pass.settled, what + ": the reads did not all answer within 60 s");
  checks.Expect(bench.Window().LastRefresh().ran, what + ": the pass did not run");
  checks.Expect(pass.changedRows == expected,
                what + ": the pass reported " + std::to_string(pass.changedRows.size()) +
                    " changed rows, expected " + std::to_string(expected.size()));
  const std::uint64_t redraws = bench.RowRedraws() - redrawsBefore;
  checks.Expect(redraws == pass.expectedRedraws, what + ": " + std::to_string(redraws) +
                                                     " repaint requests, expected " +
                                                     std::to_string(pass.expectedRedraws) + " (in " +
                                                     std::to_string(pass.updates) + " updates)");
  // Neither kind of pass changes how many rows work or wait.
  checks.Expect(!pass.countersChanged, what + ": the counters changed");
  checks.Expect(bench.StatusWrites() == statusBefore, what + ": the status bar was written");
}

// Mean, median, min and max of `values` in ms; all 0 when there are none.
std::string Ms(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const double mean = values.empty() ? 0
                                     : std::accumulate(values.begin(), values.end(), 0.0) /
                                           static_cast<double>(values.size());
  char text[128];
  std::snprintf(text, sizeof text, "mean %8.3f  median %8.3f  min %8.3f  max %8.3f", mean, Median(values),
                values.empty() ? 0 : values.front(), values.empty() ? 0 : values.back());
  return text;
}

void PrintBreakdown(const char* label, const MessageTally& tally, double passes) {
  if (tally.byMessage.empty())
    return;
  std::printf("      %s per pass:", label);
  for (const auto& [message, count] : tally.byMessage)
    std::printf(" %s x%.1f", NameIn(kMessageNames, message, Hex(message)).c_str(), count / passes);
  for (const auto& [code, count] : tally.notifyCodes)
    std::printf(" [%s x%.1f]",
                NameIn(kNotifyNames, code, "code " + std::to_string(static_cast<int>(code))).c_str(),
                count / passes);
  std::printf("\n");
}

// One line per window: messages per table row, by kind, and the time spent handling them; then
// each window's messages by name.
void PrintPhase(const std::string& title,
                const WindowTallies& tallies,
                double rows,
                double changedRows,
                double passes) {
  std::printf("   %s:\n", title.c_str());
  for (std::size_t window = 0; window < tallies.size(); ++window) {
    const MessageTally& tally = tallies[window];
    std::printf("    %-7s %8.4f msgs/row", kCountedWindows[window], tally.all / (rows * passes));
    if (changedRows > 0)
      std::printf(" (%.4f per changed row)", tally.all / (changedRows * passes));
    for (std::size_t kind = 0; kind < std::size(kCountedKinds); ++kind)
      std::printf("%s %s %.4f", kind == 0 ? ":" : ",", kCountedKinds[kind].label,
                  tally.byKind[kind] / (rows * passes));
    std::printf("; handling them %.3f ms/pass\n", tally.insideMs / passes);
  }
  for (std::size_t window = 0; window < tallies.size(); ++window)
    PrintBreakdown(kCountedWindows[window], tallies[window], passes);
}

// What one LVM_REDRAWITEMS costs by where its rows lie: the changed pass sends one per run of
// changed rows, whether the rows are on screen or not.
void MeasureRedrawRequests(HWND window, HWND table, int rowCount) {
  const int top = static_cast<int>(::SendMessageA(table, LVM_GETTOPINDEX, 0, 0));
  const int visible = static_cast<int>(::SendMessageA(table, LVM_GETCOUNTPERPAGE, 0, 0));
  struct Range {
    const char* label;
    int first;
    int last;
  };
  const Range ranges[] = {
      {"the visible rows", top, std::min(rowCount, top + visible) - 1},
      {"100 rows out of sight", std::min(rowCount - 1, top + visible + 10),
       std::min(rowCount - 1, top + visible + 109)},
      {"every row", 0, rowCount - 1},
  };
  constexpr int kRepeats = 20;
  std::printf("  one LVM_REDRAWITEMS alone, %d times each (paints flushed after each, untimed):\n", kRepeats);
  for (const Range& range : ranges) {
    std::vector<double> ms;
    for (int i = 0; i < kRepeats; ++i) {
      ms.push_back(TimeMs(
          [&] { ::SendMessageA(table, LVM_REDRAWITEMS, static_cast<WPARAM>(range.first), range.last); }));
      FlushPaints(window);
    }
    const int count = range.last - range.first + 1;
    std::printf("    rows %4d..%4d (%s): median %.3f ms per message, %.1f us per row\n", range.first,
                range.last, range.label, Median(ms), Median(ms) * 1000.0 / count);
  }
}

// One kind of pass: the rows it must report as changed, whether the clients write every state
// file again before each, and what its timed and counted passes gave.
struct PassKind {
  const char* name;
  const ExpectedChange& expected;
  bool rewrites;
  const char* paintNote;
  Series series{};
  WindowTallies inPass{}, inPaint{};
};

// Timed and counted passes of both kinds over one set of folders.
void MeasurePasses(const char* title, bool onDisk, int locations, int passes, Checks& checks) {
  const std::string name = title;
  // Most clients crunch; some wait to send a result; a few folders are gone (a network share
  // down) and a few rows are switched off.
  ClientSet clients(onDisk, locations, [](int i) { return KindAmong(i, 1, 1, 3); });
  BenchWindow bench(clients);
  checks.Expect(bench.Created(), name + ": the window was not created, or its first pass did not answer");
  if (!bench.Created())
    return;
  // The same rows in a window-free LocationTable over the same folders: the part of a pass that
  // is not the window's. Its pass reads every folder on this thread, as the window did before its
  // reads moved to reading threads.
  LocationTable model(&CaptionOrder);
  for (const Client& c : clients.Clients())
    model.AddLocation(c.folder, c.Enabled());
  RefreshNow(model, *clients.Fs());
  const auto modelPass = [&](const ExpectedChange& expected, const std::string& what) {
    RefreshOutcome outcome;
    const double ms = TimeMs([&] { outcome = RefreshNow(model, *clients.Fs()); });
    checks.Expect(outcome.changedRows == expected, what + ": the window-free table reported " +
                                                       std::to_string(outcome.changedRows.size()) +
                                                       " changed rows");
    return ms;
  };
  const std::vector<const Client*> order = bench.RowOrder(clients.Clients());
  const ExpectedChange none;
  const ExpectedChange readable = RowsWhere(order, [](const Client& client) { return client.Readable(); });
  PassKind kinds[] = {{"unchanged", none, false, ""},
                      {"changed", readable, true, " (only visible rows repaint)"}};
  const double rows = static_cast<double>(locations);
  const int visible = static_cast<int>(::SendMessageA(bench.Table(), LVM_GETCOUNTPERPAGE, 0, 0));
  RECT client{};
  ::GetClientRect(bench.Window().Hwnd(), &client);

  std::printf(
      "\n[%s] %d locations: %d in work, %d waiting with result.sah, %d missing folder, %d disabled;"
      " window client area %ldx%ld, %d rows visible in the list view\n",
      title, locations, clients.Count(Kind::kInWork), clients.Count(Kind::kWaiting),
      clients.Count(Kind::kMissing), clients.Count(Kind::kDisabled), client.right, client.bottom, visible);
  CheckShown(bench, clients, checks, name + ", after start-up");

  // Warm-up: one pass of each kind, its figures left out.
  for (PassKind& kind : kinds) {
    const std::string what = name + ", warm-up " + kind.name + " pass";
    if (kind.rewrites)
      clients.RewriteStates();
    modelPass(kind.expected, what);
    Series warmUp;
    RunPass(bench, kind.expected, checks, what, warmUp);
  }
  PumpMessages();

  // The window's pass and the window-free one take turns at going first.
  for (PassKind& kind : kinds) {
    const std::string what = name + ", " + kind.name + " pass";
    for (int i = 0; i < passes; ++i) {
      if (kind.rewrites)
        clients.RewriteStates();
      TakeTurns(
          i, [&] { kind.series.model.push_back(modelPass(kind.expected, what)); },
          [&] { RunPass(bench, kind.expected, checks, what, kind.series); });
      PumpMessages();
    }
    CheckShown(bench, clients, checks, name + ", after the " + kind.name + " passes");
  }

  // Counted passes: the subclasses attached, nothing timed but the handling inside the counted
  // windows. The paints the pass caused and the pump after it are counted apart.
  constexpr int kCountedPasses = 3;
  WindowTallies pumped;
  {
    WindowCounters counters(bench.Window().Controls());
    checks.Expect(counters.Attached(), name + ": a message counter could not be attached");
    for (PassKind& kind : kinds) {
      for (int i = 0; i < kCountedPasses; ++i) {
        if (kind.rewrites) {
          clients.RewriteStates();
          modelPass(kind.expected, name + ", counted " + kind.name + " pass");
        }
        counters.CountInto(&kind.inPass);
        const PassFigures pass = bench.Pass();
        counters.CountInto(&kind.inPaint);
        FlushPaints(bench.Window().Hwnd());
        counters.CountInto(&pumped);
        PumpMessages();
        counters.CountInto(nullptr);
        checks.Expect(pass.settled && pass.changedRows == kind.expected,
                      name + ", counted pass: wrong changed rows");
      }
    }
  }
  CheckShown(bench, clients, checks, name + ", after the counted passes");

  std::printf(
      "  rows changed per pass: unchanged pass 0 of %d; changed pass %zu of %d (every enabled row with a"
      " folder; %llu repaint requests when the pass reaches the table in one update, one per run of "
      "consecutive changed rows on screen)\n",
      locations, readable.size(), locations,
      static_cast<unsigned long long>(ExpectedRepaints(bench.Window(), readable)));
  std::printf(
      "  ms per pass over %d passes each; \"window thread\" is the window thread's own time (the"
      " hand-out in TfrmMain::RefreshLocations plus the handling of kAnswersWaiting and the settle"
      " timer), \"to last result\" runs from RefreshLocations until every answer is shown (the reads"
      " run on reading threads meanwhile), \"paint\" the RedrawWindow(RDW_UPDATENOW | RDW_ALLCHILDREN)"
      " right after it, timed apart:\n",
      passes);
  for (const PassKind& kind : kinds) {
    const std::string pass = kind.name + std::string(" pass, ");
    std::printf("    %-32s%s\n", (pass + "window thread:").c_str(), Ms(kind.series.window).c_str());
    std::printf("    %-32s%s\n", (pass + "to last result:").c_str(), Ms(kind.series.toLastResult).c_str());
    std::printf("    %-32s%s\n", (kind.name + std::string(" paint:")).c_str(), Ms(kind.series.paint).c_str());
  }
  std::printf(
      "    window-free LocationTable pass with its reads on this thread (RefreshNow), same folders:\n");
  for (const PassKind& kind : kinds)
    std::printf("      %-10s%s\n", kind.name, Ms(kind.series.model).c_str());
  std::printf("    to last result against the window-free pass on one thread (medians):");
  for (const PassKind& kind : kinds)
    std::printf("%s %s %+.3f ms", &kind == kinds ? "" : ",", kind.name,
                Median(kind.series.toLastResult) - Median(kind.series.model));
  std::printf("\n");
  std::printf("  messages received per table row (%d rows), over %d counted passes of each kind:\n",
              locations, kCountedPasses);
  for (const PassKind& kind : kinds) {
    const auto changedRows = static_cast<double>(kind.expected.size());
    PrintPhase(kind.name + std::string(" pass (RefreshLocations and its answers)"), kind.inPass, rows,
               changedRows, kCountedPasses);
    PrintPhase(kind.name + std::string(" pass, paint flush") + kind.paintNote, kind.inPaint, rows,
               changedRows, kCountedPasses);
  }
  std::printf("   pumped after the %d counted passes, all together:", 2 * kCountedPasses);
  for (std::size_t window = 0; window < pumped.size(); ++window)
    std::printf("%s %s %llu", window == 0 ? "" : ",", kCountedWindows[window],
                static_cast<unsigned long long>(pumped[window].all));
  std::printf(" messages\n");
  MeasureRedrawRequests(bench.Window().Hwnd(), bench.Table(), locations);
  std::fflush(stdout);
}

// Wine answers GetProcessHandleCount with 0. The system's handle list (which Wine's server
// keeps), filtered by this process's id, counts them there as well. -1 when it cannot be read.
struct SystemHandleEntry {
  ULONG ownerPid;
  BYTE objectType;
  BYTE flags;
  USHORT value;
  PVOID object;
  ULONG access;
};

long CountHandlesInSystemList() {
  using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  constexpr ULONG kSystemHandleInformation = 16;
  constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
  HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  const FARPROC found = ntdll ? ::GetProcAddress(ntdll, "NtQuerySystemInformation") : nullptr;
  if (!found)
    return -1;
  const auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void (*)()>(found));
  std::vector<std::uint64_t> buffer(64 * 1024);
  for (int attempt = 0; attempt < 8; ++attempt) {
    ULONG needed = 0;
    const auto size = static_cast<ULONG>(buffer.size() * sizeof(std::uint64_t));
    const LONG status = query(kSystemHandleInformation, buffer.data(), size, &needed);
    if (status == kInfoLengthMismatch) {
      buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed / sizeof(std::uint64_t) + 1024));
      continue;
    }
    if (status < 0)
      return -1;
    // ULONG count, then the entries at pointer alignment.
    const auto count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const SystemHandleEntry*>(buffer.data() + 1);
    if ((count + 1) * sizeof(SystemHandleEntry) > size)
      return -1;
    const DWORD self = ::GetCurrentProcessId();
    long own = 0;
    for (ULONG i = 0; i < count; ++i) {
      if (entries[i].ownerPid == self)
        ++own;
    }
    return own;
  }
  return -1;
}

// The process's memory (in bytes), handles and GUI objects.
struct Resources {
  long long privateUsage = 0, workingSet = 0, pagefileUsage = 0;
  long long handles = 0, listedHandles = -1, gdiObjects = 0, userObjects = 0;
  bool handlesRead = false;
};

// Each reading as the probe and the verdict name it; the first kMemoryReadings count bytes.
constexpr std::pair<const char*, long long Resources::*> kReadings[] = {
    {"PrivateUsage", &Resources::privateUsage},    {"WorkingSetSize", &Resources::workingSet},
    {"PagefileUsage", &Resources::pagefileUsage},  {"GetProcessHandleCount", &Resources::handles},
    {"listed handles", &Resources::listedHandles}, {"GDI objects", &Resources::gdiObjects},
    {"USER objects", &Resources::userObjects}};
constexpr std::size_t kMemoryReadings = 3;
constexpr std::size_t kHandleCount = 3;
constexpr std::size_t kListedHandles = 4;
using Responsive = std::array<bool, std::size(kReadings)>;

Resources ReadResources() {
  Resources resources;
  HANDLE process = ::GetCurrentProcess();  // a pseudo-handle: nothing to close
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory))) {
    resources.privateUsage = static_cast<long long>(memory.PrivateUsage);
    resources.workingSet = static_cast<long long>(memory.WorkingSetSize);
    resources.pagefileUsage = static_cast<long long>(memory.PagefileUsage);
  }
  DWORD handles = 0;
  resources.handlesRead = ::GetProcessHandleCount(process, &handles) != FALSE;
  resources.handles = handles;
  resources.listedHandles = CountHandlesInSystemList();
  resources.gdiObjects = ::GetGuiResources(process, GR_GDIOBJECTS);
  resources.userObjects = ::GetGuiResources(process, GR_USEROBJECTS);
  return resources;
}

void PrintResources(const char* label, const Resources& r) {
  std::printf(
      "    %-20s PrivateUsage %9lld  WorkingSetSize %9lld  PagefileUsage %9lld  handles %4lld%s"
      "  listed handles %4lld  GDI %3lld  USER %3lld\n",
      label, r.privateUsage, r.workingSet, r.pagefileUsage, r.handles, r.handlesRead ? "" : " (call failed)",
      r.listedHandles, r.gdiObjects, r.userObjects);
}

using EventHandle = velmora::win::UniqueHandle<HANDLE, velmora::win::detail::CloseKernelHandle>;

// Which readings respond at all: each is read before and while holding a known amount of what it
// counts. A reading that does not move is left out of the verdict.
Responsive ProbeReadings() {
  constexpr std::size_t kProbeBytes = 32u * 1024u * 1024u;
  constexpr int kProbeObjects = 20;
  const Resources before = ReadResources();
  Resources with;
  {
    std::vector<char> block(kProbeBytes, 1);  // written, so that every page is resident
    std::vector<EventHandle> events;
    std::vector<velmora::win::BrushHandle> brushes;
    std::vector<velmora::win::MenuHandle> menus;
    for (int i = 0; i < kProbeObjects; ++i) {
      events.emplace_back(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
      brushes.emplace_back(::CreateSolidBrush(RGB(i, 0, 0)));
      menus.emplace_back(::CreateMenu());
    }
    with = ReadResources();
    std::printf(
        "\n[readings] probe: each reading taken before and while holding %zu MiB of written memory,"
        " %d events, %d brushes and %d menus (block at %p)\n",
        kProbeBytes >> 20, kProbeObjects, kProbeObjects, kProbeObjects, static_cast<void*>(block.data()));
  }
  const Resources after = ReadResources();
  PrintResources("before", before);
  PrintResources("holding them", with);
  PrintResources("released again", after);
  Responsive responsive{};
  for (std::size_t i = 0; i < responsive.size(); ++i) {
    const long long held = i < kMemoryReadings ? static_cast<long long>(kProbeBytes / 2) : kProbeObjects;
    responsive[i] = with.*kReadings[i].second - before.*kReadings[i].second >= held;
  }
  responsive[kHandleCount] = responsive[kHandleCount] && with.handlesRead;
  responsive[kListedHandles] = responsive[kListedHandles] && before.listedHandles >= 0;
  for (std::size_t i = 0; i < responsive.size(); ++i)
    std::printf("%s%s %s", i == 0 ? "    " : ", ", kReadings[i].first,
                responsive[i] ? "responds" : "DOES NOT RESPOND");
  std::printf("\n");
  if (with.privateUsage == 0)
    std::printf("    PrivateUsage reads 0 (Wine does not fill it in)\n");
  if (with.gdiObjects == 0 && with.userObjects == 0)
    std::printf("    GetGuiResources reads 0 for GDI and USER objects (Wine does not count them)\n");
  if (with.handles == 0)
    std::printf("    GetProcessHandleCount reads 0 (%s)\n",
                with.handlesRead ? "the call succeeded" : "the call failed");
  std::fflush(stdout);
  return responsive;
}

// The soak's rows, all enabled.
constexpr int kSoakRows = 100;

// The soak: every folder's state file rewritten before each pass, result.sah appearing or going
// in a tenth of the folders each pass, the queue pumped (so the visible rows repaint) in between.
// `rewriteStep` 1 rewrites every folder's state file before each pass; 10 a tenth of them (the
// same tenth whose result.sah flips), where writing files is what would take the time.
void Soak(const char* title,
          bool onDisk,
          int passes,
          std::size_t rewriteStep,
          const Responsive& responsive,
          Checks& checks) {
  const std::string name = title;
  constexpr int kWarmUpPasses = 100;
  const int sampleEvery = std::max(1, passes / 10);
  ClientSet clients(onDisk, kSoakRows, [](int i) { return i % 5 == 0 ? Kind::kWaiting : Kind::kInWork; });
  BenchWindow bench(clients);
  checks.Expect(bench.Created(), name + ": the window was not created, or its first pass did not answer");
  if (!bench.Created())
    return;
  TfrmMain& window = bench.Window();
  std::vector<Client>& rows = clients.Clients();
  const std::vector<const Client*> order = bench.RowOrder(rows);

  std::printf(
      "\n[%s] %d passes over %d rows (all enabled; before each pass state.sah is rewritten in %zu of %d"
      " folders and result.sah appears or goes in %d, so icons and the Ready counter change); messages"
      " pumped between passes\n",
      title, passes, kSoakRows, rows.size() / rewriteStep, kSoakRows, kSoakRows / 10);
  PumpMessages();
  const Resources start = ReadResources();
  Resources warm = start;
  std::vector<std::pair<int, Resources>> samples;
  int wrongPasses = 0;
  std::vector<double> passMs, toLastResultMs, pumpMs;
  const double soakStart = NowMs();
  for (int pass = 1; pass <= passes; ++pass) {
    const auto phase = static_cast<std::size_t>(pass) % rewriteStep;
    clients.RewriteStates(rewriteStep, phase);
    const auto flipped = static_cast<std::size_t>(pass % 10);
    for (std::size_t i = flipped; i < rows.size(); i += 10)
      clients.FlipResult(rows[i]);
    const ExpectedChange expected = RowsWhere(order, [&](const Client& client) {
      const auto i = static_cast<std::size_t>(&client - rows.data());
      return i % rewriteStep == phase || i % 10 == flipped;
    });
    const std::uint64_t redrawsBefore = bench.RowRedraws();
    const PassFigures figures = bench.Pass();
    passMs.push_back(figures.WindowThreadMs());
    toLastResultMs.push_back(figures.toLastResultMs);
    const bool right = figures.settled && figures.changedRows == expected &&
                       bench.RowRedraws() - redrawsBefore == figures.expectedRedraws &&
                       window.Table().Counters().ready == clients.ReadyCount() &&
                       window.Table().Counters().work == clients.WorkCount();
    if (!right && ++wrongPasses <= 3)
      checks.Expect(false,
                    name + " pass " + std::to_string(pass) + ": wrong changed rows, repaints or counters");
    pumpMs.push_back(TimeMs(PumpMessages));
    if (pass == kWarmUpPasses)
      warm = ReadResources();
    if (pass % sampleEvery == 0)
      samples.emplace_back(pass, ReadResources());
  }
  const double totalMs = NowMs() - soakStart;
  checks.Expect(wrongPasses == 0, name + ": " + std::to_string(wrongPasses) + " passes reported wrong state");
  CheckShown(bench, clients, checks, name + ", at the end");
  const Resources end = ReadResources();

  std::printf("  %d passes in %.1f s: %.2f ms per pass all told, with the folder writes (%.1f passes/s)\n",
              passes, totalMs / 1000.0, totalMs / passes, passes / (totalMs / 1000.0));
  std::printf("    window thread (hand-out + answers): %s\n", Ms(passMs).c_str());
  std::printf("    to last result:                     %s\n", Ms(toLastResultMs).c_str());
  std::printf("    pump (paints):                      %s\n", Ms(pumpMs).c_str());
  std::printf("  readings (bytes, counts):\n");
  PrintResources("before", start);
  PrintResources("after warm-up (100)", warm);
  for (const auto& [pass, sample] : samples)
    PrintResources(("after pass " + std::to_string(pass)).c_str(), sample);
  PrintResources("end", end);

  Resources middle = warm;
  for (const auto& [pass, sample] : samples) {
    if (pass <= (passes + kWarmUpPasses) / 2)
      middle = sample;
  }
  const int measuredPasses = std::max(1, passes - kWarmUpPasses);
  std::printf(
      "  growth from warm-up to end (%d passes): PrivateUsage %+lld, WorkingSetSize %+lld, PagefileUsage"
      " %+lld (%+.1f bytes/pass), handles %+lld, listed handles %+lld, GDI %+lld, USER %+lld\n",
      measuredPasses, end.privateUsage - warm.privateUsage, end.workingSet - warm.workingSet,
      end.pagefileUsage - warm.pagefileUsage,
      static_cast<double>(end.pagefileUsage - warm.pagefileUsage) / measuredPasses,
      end.handles - warm.handles, end.listedHandles - warm.listedHandles, end.gdiObjects - warm.gdiObjects,
      end.userObjects - warm.userObjects);

  // Growth past the limit counts only from readings that respond; memory growth is steady when
  // both halves of the run after the warm-up grow, a one-off step otherwise.
  constexpr long long kMemoryLimit = 1024 * 1024;  // about 100 bytes a pass over 10,000 passes
  constexpr long long kCountLimit = 5;
  std::vector<std::string> grown, clean, unmeasured;
  for (std::size_t i = 0; i < responsive.size(); ++i) {
    const auto& [label, field] = kReadings[i];
    const long long growth = end.*field - warm.*field;
    const bool bytes = i < kMemoryReadings;
    const std::string figure = std::string(label) + " " + std::to_string(growth) + (bytes ? " bytes" : "");
    const bool steady =
        middle.*field - warm.*field > kMemoryLimit / 4 && end.*field - middle.*field > kMemoryLimit / 4;
    if (!responsive[i])
      unmeasured.push_back(label);
    else if (growth <= (bytes ? kMemoryLimit : kCountLimit))
      clean.push_back(figure);
    else
      grown.push_back(figure + (!bytes ? "" : steady ? " (in both halves: steady)" : " (one step)"));
  }

  const auto join = [](const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts)
      text += (text.empty() ? "" : ", ") + part;
    return text.empty() ? std::string("none") : text;
  };
  const std::string limits = "(limits " + std::to_string(kMemoryLimit) + " bytes, " +
                             std::to_string(kCountLimit) + " objects, from warm-up to end)";
  const std::string verdict =
      !grown.empty()   ? "GROWTH " + limits + " in: " + join(grown) + "; within the limits: " + join(clean)
      : !clean.empty() ? "no growth " + limits + ": " + join(clean)
                       : "NO VERDICT: no reading responds";
  std::printf("  verdict: %s; not measurable here: %s\n", verdict.c_str(), join(unmeasured).c_str());
  std::fflush(stdout);
}

}  // namespace
}  // namespace velmora::bench

int main(int argc, char** argv) {
  using namespace velmora::bench;
  const int memoryPasses = ArgOr(argc, argv, 1, 50);
  const int diskPasses = ArgOr(argc, argv, 2, 10);
  const int soakPasses = ArgOr(argc, argv, 3, 10000);
  const int diskSoakPasses = ArgOr(argc, argv, 4, 1000);
  constexpr int kLocations = 1000;

  StartAsTheProgram();

  Checks checks;
  std::printf(
      "Velmora monitor window (TfrmMain) refresh pass; usage: gui_refresh_bench [memory-passes=50]"
      " [disk-passes=10] [soak-passes=10000] [disk-soak-passes=1000]\n");
  constexpr bool kInMemory = false, kOnDisk = true;
  if (memoryPasses > 0)
    MeasurePasses("in-memory folders", kInMemory, kLocations, memoryPasses, checks);
  if (diskPasses > 0)
    MeasurePasses("real folders on disk (%TEMP%)", kOnDisk, kLocations, diskPasses, checks);
  const Responsive responsive = ProbeReadings();
  if (soakPasses > 0)
    Soak("soak, in-memory folders", kInMemory, soakPasses, 1, responsive, checks);
  if (diskSoakPasses > 0)
    Soak("soak, real folders on disk (%TEMP%)", kOnDisk, diskSoakPasses, 10, responsive, checks);

  return checks.Verdict();
}

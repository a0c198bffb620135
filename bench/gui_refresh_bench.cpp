// The monitor window's own refresh pass, measured on the real TfrmMain over 1,000 locations (in
// memory, then in real folders): the time of a pass in which nothing changed and of one in which
// every readable row changed, beside the window-free LocationTable pass over the same folders; the
// messages that lvMain, the panel that relays its notifications and the status bar receive per
// row in each; the cost of painting what the pass invalidated; and soaks of many passes over
// changing folders that read the process's memory, handles and GUI objects. Each of those
// readings is first probed with a known amount of what it counts, so that one Wine leaves at 0
// is reported as not measurable instead of as "no growth".
//
// The folders are read on the window's reading threads: a pass's figures are the window thread's
// own time (the hand-out in RefreshLocations plus the handling of the answers as they arrive) and
// the time from the hand-out until every answer is shown. Timed passes carry only the light
// subclasses that count repaint requests and status writes and time the answers (bench/
// window_pass_watch.h); the full message tallies (whose bookkeeping would be timed too) come
// from separate counted passes of each kind.
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
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "bench/bench_checks.h"
#include "bench/bench_clients.h"
#include "bench/monitor_under_test.h"
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
#include "windows/shell_open.h"

namespace {

using velmora::LocalDateTime;
using velmora::TfrmMain;
using velmora::bench::ExpectedRepaints;
using velmora::bench::Kind;
using velmora::bench::MonitorUnderTest;
using velmora::bench::PassFigures;
using velmora::bench::PassWatch;
using velmora::testing::ClientFolderWriter;
using velmora::testing::ItemCount;
using velmora::testing::ItemImage;
using velmora::testing::MemoryFileSystem;
using velmora::testing::MessageCounter;
using velmora::testing::PumpMessages;
using velmora::testing::RowTexts;
using velmora::testing::StatusText;
using velmora::testing::TempFolder;

using velmora::bench::Checks;

// Times in a row from one clock, the other window benchmarks' (window_pass_watch.h).
class Stopwatch {
 public:
  double Lap() {
    const double now = velmora::bench::NowMs();
    return now - std::exchange(start_, now);
  }

 private:
  double start_ = velmora::bench::NowMs();
};

struct Summary {
  double mean = 0;
  double median = 0;
  double min = 0;
  double max = 0;
};

Summary Summarise(std::vector<double> values) {
  Summary summary;
  if (values.empty())
    return summary;
  std::sort(values.begin(), values.end());
  summary.mean = std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
  summary.median = values[values.size() / 2];
  summary.min = values.front();
  summary.max = values.back();
  return summary;
}

// What one window received while a counter was attached.
struct MessageTally {
  std::uint64_t all = 0;
  std::uint64_t listView = 0;      // LVM_FIRST .. LVM_FIRST + 0xff
  std::uint64_t redraws = 0;       // LVM_REDRAWITEMS
  std::uint64_t itemWrites = 0;    // LVM_SETITEM*, LVM_SETITEMTEXT*, LVM_SETITEMSTATE, insert, delete
  std::uint64_t sorts = 0;         // LVM_SORTITEMS, LVM_SORTITEMSEX
  std::uint64_t paints = 0;        // WM_PAINT, WM_ERASEBKGND, WM_NCPAINT, WM_PRINTCLIENT
  std::uint64_t dispInfo = 0;      // WM_NOTIFY LVN_GETDISPINFO from lvMain (counted at its parent)
  std::uint64_t statusWrites = 0;  // SB_SETTEXT
  double insideMs = 0;             // time spent handling them (nested messages counted once)
  std::map<UINT, std::uint64_t> byMessage;
  std::map<UINT, std::uint64_t> notifyCodes;  // of WM_NOTIFY from lvMain

  void Add(const MessageTally& other) {
    all += other.all;
    listView += other.listView;
    redraws += other.redraws;
    itemWrites += other.itemWrites;
    sorts += other.sorts;
    paints += other.paints;
    dispInfo += other.dispInfo;
    statusWrites += other.statusWrites;
    insideMs += other.insideMs;
    for (const auto& [message, count] : other.byMessage)
      byMessage[message] += count;
    for (const auto& [code, count] : other.notifyCodes)
      notifyCodes[code] += count;
  }
};

bool IsItemWrite(UINT message) {
  switch (message) {
    case LVM_SETITEMA:
    case LVM_SETITEMW:
    case LVM_SETITEMTEXTA:
    case LVM_SETITEMTEXTW:
    case LVM_SETITEMSTATE:
    case LVM_SETITEMCOUNT:
    case LVM_INSERTITEMA:
    case LVM_INSERTITEMW:
    case LVM_DELETEITEM:
    case LVM_DELETEALLITEMS:
      return true;
    default:
      return false;
  }
}

const char* MessageName(UINT message) {
  switch (message) {
    case WM_PAINT:
      return "WM_PAINT";
    case WM_ERASEBKGND:
      return "WM_ERASEBKGND";
    case WM_NCPAINT:
      return "WM_NCPAINT";
    case WM_NOTIFY:
      return "WM_NOTIFY";
    case WM_GETTEXT:
      return "WM_GETTEXT";
    case WM_GETTEXTLENGTH:
      return "WM_GETTEXTLENGTH";
    case WM_SETTEXT:
      return "WM_SETTEXT";
    case WM_TIMER:
      return "WM_TIMER";
    case WM_CTLCOLORSTATIC:
      return "WM_CTLCOLORSTATIC";
    case WM_CTLCOLORBTN:
      return "WM_CTLCOLORBTN";
    case WM_NOTIFYFORMAT:
      return "WM_NOTIFYFORMAT";
    case LVM_REDRAWITEMS:
      return "LVM_REDRAWITEMS";
    case LVM_GETITEMA:
      return "LVM_GETITEMA";
    case LVM_GETITEMTEXTA:
      return "LVM_GETITEMTEXTA";
    case LVM_GETITEMSTATE:
      return "LVM_GETITEMSTATE";
    case LVM_GETNEXTITEM:
      return "LVM_GETNEXTITEM";
    case LVM_SETITEMSTATE:
      return "LVM_SETITEMSTATE";
    case SB_SETTEXTA:
      return "SB_SETTEXTA";
    case SB_GETTEXTA:
      return "SB_GETTEXTA";
    default:
      return nullptr;
  }
}

std::string DescribeNotifyCode(UINT code) {
  switch (code) {
    case LVN_GETDISPINFOA:
      return "LVN_GETDISPINFOA";
    case LVN_GETDISPINFOW:
      return "LVN_GETDISPINFOW";
    case NM_CUSTOMDRAW:
      return "NM_CUSTOMDRAW";
    case LVN_ITEMCHANGED:
      return "LVN_ITEMCHANGED";
    case LVN_ITEMCHANGING:
      return "LVN_ITEMCHANGING";
    default:
      return "code " + std::to_string(static_cast<int>(code));
  }
}

std::string DescribeMessage(UINT message) {
  if (const char* name = MessageName(message))
    return name;
  char text[32];
  std::snprintf(text, sizeof text, "0x%04X", message);
  return text;
}

// Counts what `window` receives, by subclassing it (comctl32's SetWindowSubclass), while `this`
// lives. `table` is lvMain: its notifications are recognised among the WM_NOTIFY messages.
class MessageTallier {
 public:
  MessageTallier(HWND window, HWND table) : window_(window), table_(table) {
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    ticksPerMs_ = static_cast<double>(frequency.QuadPart) / 1000.0;
    attached_ = ::SetWindowSubclass(window_, &MessageTallier::Proc, kSubclassId,
                                    reinterpret_cast<DWORD_PTR>(this)) != FALSE;
  }
  ~MessageTallier() {
    if (attached_)
      ::RemoveWindowSubclass(window_, &MessageTallier::Proc, kSubclassId);
  }
  MessageTallier(const MessageTallier&) = delete;
  MessageTallier& operator=(const MessageTallier&) = delete;

  bool Attached() const { return attached_; }
  MessageTally Take() { return std::exchange(tally_, MessageTally{}); }

 private:
  static constexpr UINT_PTR kSubclassId = 0xbe7c;

  static LRESULT CALLBACK
  Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    auto* counter = reinterpret_cast<MessageTallier*>(self);
    counter->Note(message, lParam);
    LARGE_INTEGER start{};
    if (counter->depth_++ == 0)
      ::QueryPerformanceCounter(&start);
    const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
    if (--counter->depth_ == 0) {
      LARGE_INTEGER end{};
      ::QueryPerformanceCounter(&end);
      counter->tally_.insideMs += static_cast<double>(end.QuadPart - start.QuadPart) / counter->ticksPerMs_;
    }
    return result;
  }

  void Note(UINT message, LPARAM lParam) {
    ++tally_.all;
    ++tally_.byMessage[message];
    if (message >= LVM_FIRST && message < LVM_FIRST + 0x100)
      ++tally_.listView;
    if (message == LVM_REDRAWITEMS)
      ++tally_.redraws;
    if (IsItemWrite(message))
      ++tally_.itemWrites;
    if (message == LVM_SORTITEMS || message == LVM_SORTITEMSEX)
      ++tally_.sorts;
    if (message == WM_PAINT || message == WM_ERASEBKGND || message == WM_NCPAINT || message == WM_PRINTCLIENT)
      ++tally_.paints;
    if (message == SB_SETTEXTA || message == SB_SETTEXTW)
      ++tally_.statusWrites;
    if (message == WM_NOTIFY) {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header && header->hwndFrom == table_) {
        ++tally_.notifyCodes[header->code];
        if (header->code == LVN_GETDISPINFOA || header->code == LVN_GETDISPINFOW)
          ++tally_.dispInfo;
      }
    }
  }

  HWND window_;
  HWND table_;
  bool attached_ = false;
  double ticksPerMs_ = 1.0;
  int depth_ = 0;
  MessageTally tally_;
};

// lvMain, the panel that relays its notifications to the window, and the status bar.
struct WindowTallies {
  MessageTally table;
  MessageTally relay;
  MessageTally status;

  void Add(const WindowTallies& other) {
    table.Add(other.table);
    relay.Add(other.relay);
    status.Add(other.status);
  }
};

class WindowCounters {
 public:
  explicit WindowCounters(const velmora::MainControls& controls)
      : table_(controls.lvMain, controls.lvMain),
        relay_(::GetParent(controls.lvMain), controls.lvMain),
        status_(controls.sttBar, controls.lvMain) {}
  bool Attached() const { return table_.Attached() && relay_.Attached() && status_.Attached(); }
  WindowTallies Take() { return {table_.Take(), relay_.Take(), status_.Take()}; }

 private:
  MessageTallier table_;
  MessageTallier relay_;
  MessageTallier status_;
};

// Paints now whatever the pass invalidated in the window and its controls.
void FlushPaints(HWND window) {
  ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// Where the client folders live: the in-memory file system or real folders on disk (%TEMP%).
class ClientDisk {
 public:
  explicit ClientDisk(bool real)
      : memory_(real ? nullptr : std::make_shared<MemoryFileSystem>()),
        fs_(real ? std::shared_ptr<velmora::FileSystem>(velmora::MakePlatformFileSystem()) : memory_),
        writer_(real ? ClientFolderWriter(temp_) : ClientFolderWriter(*memory_, "C:\\clients")) {}
  // Shared with the window's reading threads.
  std::shared_ptr<velmora::FileSystem> Fs() { return fs_; }
  const ClientFolderWriter& Writer() const { return writer_; }

 private:
  TempFolder temp_;  // empty when the folders are in memory
  std::shared_ptr<MemoryFileSystem> memory_;
  std::shared_ptr<velmora::FileSystem> fs_;
  ClientFolderWriter writer_;
};

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::kInWork:
      return "in work";
    case Kind::kWaiting:
      return "waiting";
    case Kind::kMissing:
      return "missing folder";
    case Kind::kDisabled:
      return "disabled";
  }
  return "";
}

// One client folder as the bench writes it, and what its row must show.
struct Client {
  std::string name;
  std::string folder;  // the row's caption
  Kind kind = Kind::kInWork;
  int progress = 0;  // in 1/100 of a percent: "prog=0.<progress, four digits>"
  bool hasResult = false;
  bool hasWorkUnit = false;
  LocalDateTime stateTime;

  bool Enabled() const { return kind != Kind::kDisabled; }
  bool HasFolder() const { return kind != Kind::kMissing; }
  bool Readable() const { return Enabled() && HasFolder(); }
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

class ClientSet {
 public:
  ClientSet(ClientDisk& disk, int count, std::function<Kind(int)> kindOf) : disk_(disk.Writer()) {
    for (int i = 0; i < count; ++i) {
      Client client;
      client.name = velmora::bench::ClientName(i);
      client.folder = disk_.Path(client.name);
      client.kind = kindOf(i);
      client.hasResult = client.kind == Kind::kWaiting;
      client.hasWorkUnit = client.kind != Kind::kWaiting;
      clients_.push_back(client);
    }
    for (Client& client : clients_) {
      if (!client.HasFolder())
        continue;
      disk_.Write(client.name, velmora::bench::OtherClientFiles(client.hasResult),
                  {GenerationTime(0), GenerationTime(0)});
    }
    RewriteStates();
  }

  std::vector<Client>& Clients() { return clients_; }

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
      disk_.WriteFile(client.name + "\\state.sah",
                      velmora::bench::StateText("131072", velmora::bench::ProgValue(client.progress),
                                                std::to_string(1000 + generation_) + ".125", true),
                      client.stateTime);
    }
  }

  // result.sah appears or goes: the row's icon turns between work unit and result.
  void FlipResult(Client& client) {
    client.hasResult = !client.hasResult;
    if (client.hasResult)
      disk_.WriteFile(client.name + "\\result.sah", "result data\n", client.stateTime);
    else
      disk_.Remove(client.name + "\\result.sah");
  }

  // The cells and icon the row must show after a pass over the folders as they are now.
  std::vector<std::string> ExpectedCells(const Client& client) const {
    // A row disabled from the start was never read: its "%" keeps the new row's "?".
    if (!client.Enabled())
      return {client.folder, "?", "", "", "", ""};
    if (!client.HasFolder())
      return {client.folder, "?", "-", "-", "-", "-"};
    return {client.folder,
            velmora::bench::ProgressText(client.progress),
            client.hasWorkUnit ? "+" : "-",
            "+",
            client.hasResult ? "+" : "-",
            disk_.KnowsFileTimes() ? DateText(client.stateTime) : std::string()};
  }
  static int ExpectedIcon(const Client& client) {
    if (!client.Enabled())
      return velmora::kIconDisabled;
    if (!client.HasFolder())
      return velmora::kIconNoFolder;
    if (client.hasResult)
      return velmora::kIconResult;
    return client.hasWorkUnit ? velmora::kIconWorkUnit : velmora::kIconNone;
  }

  int Count(Kind kind) const {
    return static_cast<int>(
        std::count_if(clients_.begin(), clients_.end(), [kind](const Client& c) { return c.kind == kind; }));
  }
  int ReadyCount() const {
    return static_cast<int>(std::count_if(clients_.begin(), clients_.end(),
                                          [](const Client& c) { return c.Readable() && c.hasResult; }));
  }
  int WorkCount() const {
    return static_cast<int>(
        std::count_if(clients_.begin(), clients_.end(), [](const Client& c) { return c.Readable(); }));
  }

 private:
  const ClientFolderWriter& disk_;
  std::vector<Client> clients_;
  int generation_ = 0;
};

// The window over the client folders: settings in memory, the refresh timer far away so that
// only the bench starts passes. The first pass's answers are in when it is built. The repaint
// requests lvMain and the texts the status bar receive are counted by subclassing them, and a
// PassWatch times each pass on the window's thread.
class BenchWindow {
 public:
  BenchWindow(ClientDisk& disk, const std::vector<Client>& clients) {
    std::vector<std::string> folders;
    std::vector<bool> enabled;
    for (const Client& client : clients) {
      folders.push_back(client.folder);
      enabled.push_back(client.Enabled());
    }
    monitor_ = std::make_unique<MonitorUnderTest>(disk.Fs(), shell_, folders, "32767", enabled);
    TfrmMain* window = &monitor_->Window();
    created_ = window->Create();
    if (created_) {
      window->Show(SW_SHOWNORMAL);
      created_ = velmora::testing::WaitForReads(*window);
      PumpMessages();
      HWND table = window->Controls().lvMain;
      HWND status = window->Controls().sttBar;
      redraws_ = std::make_unique<MessageCounter>(table, LVM_REDRAWITEMS);
      statusWritesA_ = std::make_unique<MessageCounter>(status, SB_SETTEXTA);
      statusWritesW_ = std::make_unique<MessageCounter>(status, SB_SETTEXTW);
      watch_ = std::make_unique<PassWatch>(*window);
      created_ = watch_->Attached();
    }
  }
  ~BenchWindow() {
    // The subclasses go before the window they are attached to.
    watch_.reset();
    redraws_.reset();
    statusWritesA_.reset();
    statusWritesW_.reset();
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
    for (const velmora::LocationRow& row : monitor_->Window().Table().Rows()) {
      const auto found = byCaption.find(row.caption);
      order.push_back(found == byCaption.end() ? nullptr : found->second);
    }
    return order;
  }

 private:
  velmora::testing::RecordingShellOpener shell_;
  std::unique_ptr<MonitorUnderTest> monitor_;
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
    const std::vector<std::string> expected = clients.ExpectedCells(*order[row]);
    const std::vector<std::string> shown = RowTexts(table, static_cast<int>(row));
    bool same = ItemImage(table, static_cast<int>(row)) == ClientSet::ExpectedIcon(*order[row]);
    for (std::size_t column = 0; column < shown.size(); ++column) {
      if (column == 5 && expected[5].empty() && order[row]->Readable())
        same = same && !shown[5].empty() && shown[5] != "-";  // a real file's time: present, not known
      else
        same = same && shown[column] == expected[column];
    }
    if (!same && ++wrongRows <= 3) {
      std::string detail;
      for (const std::string& cell : shown)
        detail += " [" + cell + "]";
      checks.Expect(false, when + ": row " + std::to_string(row) + " (" + KindName(order[row]->kind) +
                               ") shows" + detail + " icon " +
                               std::to_string(ItemImage(table, static_cast<int>(row))));
    }
  }
  checks.Expect(wrongRows == 0, when + ": " + std::to_string(wrongRows) + " rows show wrong cells or icons");
  checks.Expect(bench.ShellCalls() == 0, when + ": the window asked the shell to open something");
  HWND status = bench.Window().Controls().sttBar;
  const std::string total = " Total: " + std::to_string(order.size());
  const std::string work = " Work: " + std::to_string(clients.WorkCount());
  const std::string ready = " Ready: " + std::to_string(clients.ReadyCount());
  checks.Expect(StatusText(status, 0) == total,
                when + ": status panel 1 shows '" + StatusText(status, 0) + "'");
  checks.Expect(StatusText(status, 1) == work,
                when + ": status panel 2 shows '" + StatusText(status, 1) + "'");
  checks.Expect(StatusText(status, 2) == ready,
                when + ": status panel 3 shows '" + StatusText(status, 2) + "'");
}

// The rows (in the window's order) a pass must report as changed.
struct ExpectedChange {
  std::vector<std::size_t> rows;
};

ExpectedChange RowsWhere(const std::vector<const Client*>& order,
                         const std::function<bool(const Client&)>& pick) {
  ExpectedChange change;
  for (std::size_t row = 0; row < order.size(); ++row) {
    if (order[row] && pick(*order[row]))
      change.rows.push_back(row);
  }
  return change;
}

ExpectedChange ReadableRows(const std::vector<const Client*>& order) {
  return RowsWhere(order, [](const Client& client) { return client.Readable(); });
}

// One refresh pass as "Update all now" runs it, checked against `expected`. The window's thread
// spends the hand-out and the handling of the answers on it; the reads run meanwhile.
struct PassResult {
  double windowMs = 0;        // RefreshLocations + kAnswersWaiting + settle timer, on the window's thread
  double toLastResultMs = 0;  // RefreshLocations called .. every answer shown
  double paintMs = 0;
};

PassResult RunPass(BenchWindow& bench,
                   const ExpectedChange& expected,
                   Checks& checks,
                   const std::string& what) {
  const std::uint64_t redrawsBefore = bench.RowRedraws();
  const std::uint64_t statusBefore = bench.StatusWrites();
  PassResult result;
  const PassFigures pass = bench.Pass();
  result.windowMs = pass.WindowThreadMs();
  result.toLastResultMs = pass.toLastResultMs;
  Stopwatch watch;
  FlushPaints(bench.Window().Hwnd());
  result.paintMs = watch.Lap();

  checks.Expect(pass.settled, what + ": the reads did not all answer within 60 s");
  checks.Expect(bench.Window().LastRefresh().ran, what + ": the pass did not run");
  checks.Expect(pass.changedRows == expected.rows,
                what + ": the pass reported " + std::to_string(pass.changedRows.size()) +
                    " changed rows, expected " + std::to_string(expected.rows.size()));
  const std::uint64_t redraws = bench.RowRedraws() - redrawsBefore;
  checks.Expect(redraws == pass.expectedRedraws, what + ": " + std::to_string(redraws) +
                                                     " repaint requests, expected " +
                                                     std::to_string(pass.expectedRedraws) + " (in " +
                                                     std::to_string(pass.updates) + " updates)");
  // Neither kind of pass changes how many rows work or wait.
  checks.Expect(!pass.countersChanged, what + ": the counters changed");
  checks.Expect(bench.StatusWrites() == statusBefore, what + ": the status bar was written");
  return result;
}

std::string Ms(const Summary& summary) {
  char text[128];
  std::snprintf(text, sizeof text, "mean %8.3f  median %8.3f  min %8.3f  max %8.3f", summary.mean,
                summary.median, summary.min, summary.max);
  return text;
}

// One line per window: messages per table row, by kind, and the time spent handling them.
void PrintTally(const char* label,
                const MessageTally& tally,
                double rows,
                double changedRows,
                double passes) {
  std::printf("    %-7s %8.4f msgs/row", label, tally.all / rows);
  if (changedRows > 0)
    std::printf(" (%.4f per changed row)", tally.all / changedRows);
  std::printf(
      ": LVM_* %.4f, REDRAWITEMS %.4f, SETITEM*/INSERT/DELETE %.4f, SORT* %.4f, paint %.4f,"
      " GETDISPINFO %.4f, SB_SETTEXT %.4f; handling them %.3f ms/pass\n",
      tally.listView / rows, tally.redraws / rows, tally.itemWrites / rows, tally.sorts / rows,
      tally.paints / rows, tally.dispInfo / rows, tally.statusWrites / rows, tally.insideMs / passes);
}

void PrintBreakdown(const char* label, const MessageTally& tally, double passes) {
  if (tally.byMessage.empty())
    return;
  std::printf("      %s per pass:", label);
  for (const auto& [message, count] : tally.byMessage)
    std::printf(" %s x%.1f", DescribeMessage(message).c_str(), count / passes);
  for (const auto& [code, count] : tally.notifyCodes)
    std::printf(" [%s x%.1f]", DescribeNotifyCode(code).c_str(), count / passes);
  std::printf("\n");
}

void PrintPhase(const char* title,
                const WindowTallies& tallies,
                double rows,
                double changedRows,
                double passes) {
  std::printf("   %s:\n", title);
  PrintTally("lvMain", tallies.table, rows * passes, changedRows * passes, passes);
  PrintTally("relay", tallies.relay, rows * passes, changedRows * passes, passes);
  PrintTally("sttBar", tallies.status, rows * passes, changedRows * passes, passes);
  PrintBreakdown("lvMain", tallies.table, passes);
  PrintBreakdown("relay", tallies.relay, passes);
  PrintBreakdown("sttBar", tallies.status, passes);
}

// The same rows in a window-free LocationTable over the same folders: the part of a pass that
// is not the window's.
class ModelPass {
 public:
  ModelPass(velmora::FileSystem& fs, const std::vector<Client>& clients)
      : fs_(fs), table_(&velmora::bench::CaptionOrder) {
    for (const Client& client : clients)
      table_.AddLocation(client.folder, client.Enabled());
    velmora::testing::RefreshNow(table_, fs_);
  }

  // The whole pass with its reads on this thread, as the window ran it before its reads moved
  // to reading threads.
  double Run(const ExpectedChange& expected, Checks& checks, const std::string& what) {
    Stopwatch watch;
    const velmora::RefreshOutcome outcome = velmora::testing::RefreshNow(table_, fs_);
    const double ms = watch.Lap();
    checks.Expect(outcome.changedRows == expected.rows, what + ": the window-free table reported " +
                                                            std::to_string(outcome.changedRows.size()) +
                                                            " changed rows");
    return ms;
  }

 private:
  velmora::FileSystem& fs_;
  velmora::LocationTable table_;
};

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
      Stopwatch watch;
      ::SendMessageA(table, LVM_REDRAWITEMS, static_cast<WPARAM>(range.first), range.last);
      ms.push_back(watch.Lap());
      FlushPaints(window);
    }
    const Summary summary = Summarise(ms);
    const int count = range.last - range.first + 1;
    std::printf("    rows %4d..%4d (%s): median %.3f ms per message, %.1f us per row\n", range.first,
                range.last, range.label, summary.median, summary.median * 1000.0 / count);
  }
}

// Timed and counted passes of both kinds over one set of folders.
void MeasurePasses(const char* title, ClientDisk& disk, int locations, int passes, Checks& checks) {
  const std::string name = title;
  // Most clients crunch; some wait to send a result; a few folders are gone (a network share
  // down) and a few rows are switched off.
  ClientSet clients(disk, locations, [](int i) { return velmora::bench::KindAmong(i, 1, 1, 3); });
  BenchWindow bench(disk, clients.Clients());
  checks.Expect(bench.Created(), name + ": the window was not created");
  if (!bench.Created())
    return;
  ModelPass model(*disk.Fs(), clients.Clients());
  const std::vector<const Client*> order = bench.RowOrder(clients.Clients());
  const ExpectedChange none;
  const ExpectedChange readable = ReadableRows(order);
  const double rows = static_cast<double>(locations);
  const double changedRows = static_cast<double>(readable.rows.size());
  const int visible = static_cast<int>(::SendMessageA(bench.Table(), LVM_GETCOUNTPERPAGE, 0, 0));
  RECT client{};
  ::GetClientRect(bench.Window().Hwnd(), &client);

  std::printf(
      "\n[%s] %d locations: %d in work, %d waiting with result.sah, %d missing folder, %d disabled;"
      " window client area %ldx%ld, %d rows visible in the list view\n",
      title, locations, clients.Count(Kind::kInWork), clients.Count(Kind::kWaiting),
      clients.Count(Kind::kMissing), clients.Count(Kind::kDisabled), client.right, client.bottom, visible);
  CheckShown(bench, clients, checks, name + ", after start-up");

  // Warm-up: one pass of each kind.
  model.Run(none, checks, name + ", warm-up unchanged pass");
  RunPass(bench, none, checks, name + ", warm-up unchanged pass");
  clients.RewriteStates();
  model.Run(readable, checks, name + ", warm-up changed pass");
  RunPass(bench, readable, checks, name + ", warm-up changed pass");
  PumpMessages();

  // The window's pass and the window-free one take turns at going first, so that neither gains
  // from the other having warmed the file cache.
  struct Series {
    std::vector<double> window, toLastResult, paint, model;
  };
  auto timePass = [&](const ExpectedChange& expected, const std::string& what, int i, Series& series) {
    if (i % 2 == 0)
      series.model.push_back(model.Run(expected, checks, what));
    const PassResult result = RunPass(bench, expected, checks, what);
    if (i % 2 != 0)
      series.model.push_back(model.Run(expected, checks, what));
    series.window.push_back(result.windowMs);
    series.toLastResult.push_back(result.toLastResultMs);
    series.paint.push_back(result.paintMs);
    PumpMessages();
  };
  Series unchanged, changed;
  for (int i = 0; i < passes; ++i)
    timePass(none, name + ", unchanged pass", i, unchanged);
  CheckShown(bench, clients, checks, name + ", after the unchanged passes");
  for (int i = 0; i < passes; ++i) {
    clients.RewriteStates();
    timePass(readable, name + ", changed pass", i, changed);
  }
  CheckShown(bench, clients, checks, name + ", after the changed passes");

  // Counted passes: the subclasses attached, nothing timed but the handling inside the counted
  // windows. The paints the pass caused and the pump after it are counted apart.
  constexpr int kCountedPasses = 3;
  WindowTallies unchangedInPass, unchangedInPaint, changedInPass, changedInPaint, pumped;
  {
    WindowCounters counters(bench.Window().Controls());
    checks.Expect(counters.Attached(), name + ": a message counter could not be attached");
    auto countPass = [&](const ExpectedChange& expected, WindowTallies& inPass, WindowTallies& inPaint) {
      counters.Take();
      const PassFigures pass = bench.Pass();
      inPass.Add(counters.Take());
      FlushPaints(bench.Window().Hwnd());
      inPaint.Add(counters.Take());
      PumpMessages();
      pumped.Add(counters.Take());
      checks.Expect(pass.settled && pass.changedRows == expected.rows,
                    name + ", counted pass: wrong changed rows");
    };
    for (int i = 0; i < kCountedPasses; ++i)
      countPass(none, unchangedInPass, unchangedInPaint);
    for (int i = 0; i < kCountedPasses; ++i) {
      clients.RewriteStates();
      model.Run(readable, checks, name + ", counted changed pass");
      countPass(readable, changedInPass, changedInPaint);
    }
  }
  CheckShown(bench, clients, checks, name + ", after the counted passes");

  const Summary unchangedWindow = Summarise(unchanged.window);
  const Summary unchangedToLast = Summarise(unchanged.toLastResult);
  const Summary unchangedModel = Summarise(unchanged.model);
  const Summary changedWindow = Summarise(changed.window);
  const Summary changedToLast = Summarise(changed.toLastResult);
  const Summary changedModel = Summarise(changed.model);
  std::printf(
      "  rows changed per pass: unchanged pass 0 of %d; changed pass %zu of %d (every enabled row with a"
      " folder; %llu repaint requests when the pass reaches the table in one update, one per run of "
      "consecutive changed rows on screen)\n",
      locations, readable.rows.size(), locations,
      static_cast<unsigned long long>(ExpectedRepaints(bench.Window(), readable.rows)));
  std::printf(
      "  ms per pass over %d passes each; \"window thread\" is the window thread's own time (the"
      " hand-out in TfrmMain::RefreshLocations plus the handling of kAnswersWaiting and the settle"
      " timer), \"to last result\" runs from RefreshLocations until every answer is shown (the reads"
      " run on reading threads meanwhile), \"paint\" the RedrawWindow(RDW_UPDATENOW | RDW_ALLCHILDREN)"
      " right after it, timed apart:\n",
      passes);
  std::printf("    unchanged pass, window thread:  %s\n", Ms(unchangedWindow).c_str());
  std::printf("    unchanged pass, to last result: %s\n", Ms(unchangedToLast).c_str());
  std::printf("    unchanged paint:                %s\n", Ms(Summarise(unchanged.paint)).c_str());
  std::printf("    changed pass, window thread:    %s\n", Ms(changedWindow).c_str());
  std::printf("    changed pass, to last result:   %s\n", Ms(changedToLast).c_str());
  std::printf("    changed paint:                  %s\n", Ms(Summarise(changed.paint)).c_str());
  std::printf(
      "    window-free LocationTable pass with its reads on this thread (RefreshNow), same folders:\n");
  std::printf("      unchanged %s\n", Ms(unchangedModel).c_str());
  std::printf("      changed   %s\n", Ms(changedModel).c_str());
  std::printf(
      "    to last result against the window-free pass on one thread (medians): unchanged %+.3f ms,"
      " changed %+.3f ms\n",
      unchangedToLast.median - unchangedModel.median, changedToLast.median - changedModel.median);
  std::printf("  messages received per table row (%d rows), over %d counted passes of each kind:\n",
              locations, kCountedPasses);
  PrintPhase("unchanged pass (RefreshLocations and its answers)", unchangedInPass, rows, 0, kCountedPasses);
  PrintPhase("unchanged pass, paint flush", unchangedInPaint, rows, 0, kCountedPasses);
  PrintPhase("changed pass (RefreshLocations and its answers)", changedInPass, rows, changedRows,
             kCountedPasses);
  PrintPhase("changed pass, paint flush (only visible rows repaint)", changedInPaint, rows, changedRows,
             kCountedPasses);
  std::printf(
      "   pumped after the %d counted passes, all together: lvMain %llu, relay %llu, sttBar %llu"
      " messages\n",
      2 * kCountedPasses, static_cast<unsigned long long>(pumped.table.all),
      static_cast<unsigned long long>(pumped.relay.all), static_cast<unsigned long long>(pumped.status.all));
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

// The process's memory, handles and GUI objects.
struct Resources {
  SIZE_T privateUsage = 0;
  SIZE_T workingSet = 0;
  SIZE_T pagefileUsage = 0;
  DWORD handles = 0;
  bool handlesRead = false;
  long listedHandles = -1;
  DWORD gdiObjects = 0;
  DWORD userObjects = 0;
};

Resources ReadResources() {
  Resources resources;
  HANDLE process = ::GetCurrentProcess();  // a pseudo-handle: nothing to close
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory))) {
    resources.privateUsage = memory.PrivateUsage;
    resources.workingSet = memory.WorkingSetSize;
    resources.pagefileUsage = memory.PagefileUsage;
  }
  resources.handlesRead = ::GetProcessHandleCount(process, &resources.handles) != FALSE;
  resources.listedHandles = CountHandlesInSystemList();
  resources.gdiObjects = ::GetGuiResources(process, GR_GDIOBJECTS);
  resources.userObjects = ::GetGuiResources(process, GR_USEROBJECTS);
  return resources;
}

void PrintResources(const char* label, const Resources& r) {
  std::printf(
      "    %-20s PrivateUsage %9llu  WorkingSetSize %9llu  PagefileUsage %9llu  handles %4lu%s"
      "  listed handles %4ld  GDI %3lu  USER %3lu\n",
      label, static_cast<unsigned long long>(r.privateUsage), static_cast<unsigned long long>(r.workingSet),
      static_cast<unsigned long long>(r.pagefileUsage), static_cast<unsigned long>(r.handles),
      r.handlesRead ? "" : " (call failed)", r.listedHandles, static_cast<unsigned long>(r.gdiObjects),
      static_cast<unsigned long>(r.userObjects));
}

long long Growth(SIZE_T from, SIZE_T to) {
  return static_cast<long long>(to) - static_cast<long long>(from);
}

using EventHandle = velmora::win::UniqueHandle<HANDLE, velmora::win::detail::CloseKernelHandle>;

// Which readings respond at all: each is read before and while holding a known amount of what it
// counts. A reading that does not move is left out of the verdict.
struct Responsive {
  bool privateUsage = false;
  bool workingSet = false;
  bool pagefileUsage = false;
  bool handles = false;
  bool listedHandles = false;
  bool gdiObjects = false;
  bool userObjects = false;
};

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
  const long long halfBlock = static_cast<long long>(kProbeBytes / 2);
  Responsive responsive;
  responsive.privateUsage = Growth(before.privateUsage, with.privateUsage) >= halfBlock;
  responsive.workingSet = Growth(before.workingSet, with.workingSet) >= halfBlock;
  responsive.pagefileUsage = Growth(before.pagefileUsage, with.pagefileUsage) >= halfBlock;
  responsive.handles = with.handlesRead && with.handles >= before.handles + kProbeObjects;
  responsive.listedHandles =
      before.listedHandles >= 0 && with.listedHandles >= before.listedHandles + kProbeObjects;
  responsive.gdiObjects = with.gdiObjects >= before.gdiObjects + kProbeObjects;
  responsive.userObjects = with.userObjects >= before.userObjects + kProbeObjects;
  const auto answer = [](bool yes) { return yes ? "responds" : "DOES NOT RESPOND"; };
  std::printf(
      "    PrivateUsage %s, WorkingSetSize %s, PagefileUsage %s, GetProcessHandleCount %s, listed handles"
      " %s, GDI objects %s, USER objects %s\n",
      answer(responsive.privateUsage), answer(responsive.workingSet), answer(responsive.pagefileUsage),
      answer(responsive.handles), answer(responsive.listedHandles), answer(responsive.gdiObjects),
      answer(responsive.userObjects));
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

// The soak: every folder's state file rewritten before each pass, result.sah appearing or going
// in a tenth of the folders each pass, the queue pumped (so the visible rows repaint) in between.
// `rewriteStep` 1 rewrites every folder's state file before each pass; 10 a tenth of them (the
// same tenth whose result.sah flips), where writing files is what would take the time.
void Soak(const char* title,
          ClientDisk& disk,
          int rowCount,
          int passes,
          std::size_t rewriteStep,
          const Responsive& responsive,
          Checks& checks) {
  const std::string name = title;
  constexpr int kWarmUpPasses = 100;
  const int sampleEvery = std::max(1, passes / 10);
  ClientSet clients(disk, rowCount, [](int i) { return i % 5 == 0 ? Kind::kWaiting : Kind::kInWork; });
  BenchWindow bench(disk, clients.Clients());
  checks.Expect(bench.Created(), name + ": the window was not created");
  if (!bench.Created())
    return;
  TfrmMain& window = bench.Window();
  std::vector<Client>& rows = clients.Clients();
  const std::vector<const Client*> order = bench.RowOrder(rows);
  std::vector<bool> touched(rows.size());

  std::printf(
      "\n[%s] %d passes over %d rows (all enabled; before each pass state.sah is rewritten in %zu of %d"
      " folders and result.sah appears or goes in %d, so icons and the Ready counter change); messages"
      " pumped between passes\n",
      title, passes, rowCount, rows.size() / rewriteStep, rowCount, rowCount / 10);
  PumpMessages();
  const Resources start = ReadResources();
  Resources warm = start;
  std::vector<std::pair<int, Resources>> samples;
  int wrongPasses = 0;
  std::vector<double> passMs, toLastResultMs, pumpMs;
  Stopwatch total;
  for (int pass = 1; pass <= passes; ++pass) {
    const auto phase = static_cast<std::size_t>(pass) % rewriteStep;
    clients.RewriteStates(rewriteStep, phase);
    for (std::size_t i = 0; i < rows.size(); ++i)
      touched[i] = i % rewriteStep == phase;
    for (std::size_t i = static_cast<std::size_t>(pass % 10); i < rows.size(); i += 10) {
      clients.FlipResult(rows[i]);
      touched[i] = true;
    }
    const ExpectedChange expected = RowsWhere(order, [&](const Client& client) {
      return touched[static_cast<std::size_t>(&client - rows.data())];
    });
    const std::uint64_t redrawsBefore = bench.RowRedraws();
    const PassFigures figures = bench.Pass();
    passMs.push_back(figures.WindowThreadMs());
    toLastResultMs.push_back(figures.toLastResultMs);
    Stopwatch watch;
    const bool right = figures.settled && figures.changedRows == expected.rows &&
                       bench.RowRedraws() - redrawsBefore == figures.expectedRedraws &&
                       window.Table().Counters().ready == clients.ReadyCount() &&
                       window.Table().Counters().work == clients.WorkCount();
    if (!right && ++wrongPasses <= 3)
      checks.Expect(false,
                    name + " pass " + std::to_string(pass) + ": wrong changed rows, repaints or counters");
    watch.Lap();
    PumpMessages();
    pumpMs.push_back(watch.Lap());
    if (pass == kWarmUpPasses)
      warm = ReadResources();
    if (pass % sampleEvery == 0)
      samples.emplace_back(pass, ReadResources());
  }
  const double totalMs = total.Lap();
  checks.Expect(wrongPasses == 0, name + ": " + std::to_string(wrongPasses) + " passes reported wrong state");
  CheckShown(bench, clients, checks, name + ", at the end");
  const Resources end = ReadResources();

  std::printf("  %d passes in %.1f s: %.2f ms per pass all told, with the folder writes (%.1f passes/s)\n",
              passes, totalMs / 1000.0, totalMs / passes, passes / (totalMs / 1000.0));
  std::printf("    window thread (hand-out + answers): %s\n", Ms(Summarise(passMs)).c_str());
  std::printf("    to last result:                     %s\n", Ms(Summarise(toLastResultMs)).c_str());
  std::printf("    pump (paints):                      %s\n", Ms(Summarise(pumpMs)).c_str());
  std::printf("  readings (bytes, counts):\n");
  PrintResources("before", start);
  PrintResources("after warm-up (100)", warm);
  for (const auto& [pass, sample] : samples) {
    char label[32];
    std::snprintf(label, sizeof label, "after pass %d", pass);
    PrintResources(label, sample);
  }
  PrintResources("end", end);

  const Resources middle = [&] {
    Resources found = warm;
    for (const auto& [pass, sample] : samples) {
      if (pass <= (passes + kWarmUpPasses) / 2)
        found = sample;
    }
    return found;
  }();
  const int measuredPasses = std::max(1, passes - kWarmUpPasses);
  std::printf(
      "  growth from warm-up to end (%d passes): PrivateUsage %+lld, WorkingSetSize %+lld, PagefileUsage"
      " %+lld (%+.1f bytes/pass), handles %+lld, listed handles %+ld, GDI %+lld, USER %+lld\n",
      measuredPasses, Growth(warm.privateUsage, end.privateUsage), Growth(warm.workingSet, end.workingSet),
      Growth(warm.pagefileUsage, end.pagefileUsage),
      static_cast<double>(Growth(warm.pagefileUsage, end.pagefileUsage)) / measuredPasses,
      static_cast<long long>(end.handles) - warm.handles, end.listedHandles - warm.listedHandles,
      static_cast<long long>(end.gdiObjects) - warm.gdiObjects,
      static_cast<long long>(end.userObjects) - warm.userObjects);

  // Growth past the limit counts only from readings that respond; memory growth is steady when
  // both halves of the run after the warm-up grow, a one-off step otherwise.
  constexpr long long kMemoryLimit = 1024 * 1024;  // about 100 bytes a pass over 10,000 passes
  constexpr long long kCountLimit = 5;
  std::vector<std::string> grown, clean, unmeasured;
  const auto judgeMemory = [&](const char* label, bool responds, SIZE_T Resources::*field) {
    if (!responds) {
      unmeasured.push_back(label);
      return;
    }
    const long long growth = Growth(warm.*field, end.*field);
    const bool steady = Growth(warm.*field, middle.*field) > kMemoryLimit / 4 &&
                        Growth(middle.*field, end.*field) > kMemoryLimit / 4;
    const std::string figure = std::string(label) + " " + std::to_string(growth) + " bytes";
    if (growth > kMemoryLimit)
      grown.push_back(figure + (steady ? " (in both halves: steady)" : " (one step)"));
    else
      clean.push_back(figure);
  };
  judgeMemory("PrivateUsage", responsive.privateUsage, &Resources::privateUsage);
  judgeMemory("WorkingSetSize", responsive.workingSet, &Resources::workingSet);
  judgeMemory("PagefileUsage", responsive.pagefileUsage, &Resources::pagefileUsage);
  const auto judgeCount = [&](const char* label, bool responds, long long growth) {
    if (!responds)
      unmeasured.push_back(label);
    else
      (growth > kCountLimit ? grown : clean).push_back(std::string(label) + " " + std::to_string(growth));
  };
  judgeCount("GetProcessHandleCount", responsive.handles, static_cast<long long>(end.handles) - warm.handles);
  judgeCount("listed handles", responsive.listedHandles, end.listedHandles - warm.listedHandles);
  judgeCount("GDI objects", responsive.gdiObjects, static_cast<long long>(end.gdiObjects) - warm.gdiObjects);
  judgeCount("USER objects", responsive.userObjects,
             static_cast<long long>(end.userObjects) - warm.userObjects);

  const auto join = [](const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts)
      text += (text.empty() ? "" : ", ") + part;
    return text.empty() ? std::string("none") : text;
  };
  const std::string limits = "(limits " + std::to_string(kMemoryLimit) + " bytes, " +
                             std::to_string(kCountLimit) + " objects, from warm-up to end)";
  std::string verdict;
  if (!grown.empty())
    verdict = "GROWTH " + limits + " in: " + join(grown) + "; within the limits: " + join(clean);
  else if (!clean.empty())
    verdict = "no growth " + limits + ": " + join(clean);
  else
    verdict = "NO VERDICT: no reading responds";
  std::printf("  verdict: %s; not measurable here: %s\n", verdict.c_str(), join(unmeasured).c_str());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  using velmora::bench::ArgOr;
  const int memoryPasses = ArgOr(argc, argv, 1, 50);
  const int diskPasses = ArgOr(argc, argv, 2, 10);
  const int soakPasses = ArgOr(argc, argv, 3, 10000);
  const int diskSoakPasses = ArgOr(argc, argv, 4, 1000);
  constexpr int kLocations = 1000;
  constexpr int kSoakRows = 100;

  velmora::bench::StartAsTheProgram();

  Checks checks;
  std::printf(
      "Velmora monitor window (TfrmMain) refresh pass; usage: gui_refresh_bench [memory-passes=50]"
      " [disk-passes=10] [soak-passes=10000] [disk-soak-passes=1000]\n");
  if (memoryPasses > 0) {
    ClientDisk memory(false);
    MeasurePasses("in-memory folders", memory, kLocations, memoryPasses, checks);
  }
  if (diskPasses > 0) {
    ClientDisk disk(true);
    MeasurePasses("real folders on disk (%TEMP%)", disk, kLocations, diskPasses, checks);
  }
  const Responsive responsive = ProbeReadings();
  if (soakPasses > 0) {
    ClientDisk memory(false);
    Soak("soak, in-memory folders", memory, kSoakRows, soakPasses, 1, responsive, checks);
  }
  if (diskSoakPasses > 0) {
    ClientDisk disk(true);
    Soak("soak, real folders on disk (%TEMP%)", disk, kSoakRows, diskSoakPasses, 10, responsive, checks);
  }

  return checks.Verdict();
}

// How long Velmora takes from its start to its window, and how much memory it then holds, beside
// two baselines started the same way, in the same run: a bare window (launch_bare_window.exe: a
// report list view and a status bar, nothing else) and a window with the monitor window's
// controls and nothing else (launch_controls_window.exe).
//
// For each number of locations N it writes N small client folders (work_unit.sah and a state.sah
// with "prog=" and "cpu=" lines) into a temporary folder and stores them, in a shuffled order,
// as Velmora's locations in this prefix's registry, through the program's own settings store.
// Then it starts the three programs in turn, several times, and watches each from outside, as a
// user's desktop would:
//   window   from process start until the top-level window is visible and its list view gives
//            back its row count (N for Velmora, 0 for the baselines);
//   shown    (Velmora) until the first pass is shown: the status bar counts N units in work;
//   memory   the working set at that moment (at "window" for the baselines).
// Each process is then ended. Cells of the list view are read back through a buffer placed in
// the watched process (VirtualAllocEx), since its texts are pointers into that process.
//
// Prints medians; no time is asserted. The exit code is 1 when a window never appeared or showed
// wrong rows (count, order, captions or results).
//
// Run it under Wine in a prefix of its own (bench/launch_bench.sh does): Velmora's settings are
// written into that prefix's registry.
// Usage: gui_launch_bench [runs=5] [sizes=1000,4000,10000] [velmora.exe] [bare.exe] [controls.exe]
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench_checks.h"
#include "bench/bench_clients.h"
#include "monitor/settings.h"
#include "monitor/win32/registry_store.h"
#include "tests/package/program_window.h"
#include "tests/support/client_folder_writer.h"
#include "tests/support/temp_folder.h"
#include "tests/support/win32/executable_folder.h"
#include "windows/handles.h"

namespace {

using velmora::bench::Checks;
using velmora::bench::Median;
using velmora::bench::NowMs;
using velmora::probe::ProcessHandle;
using velmora::testing::TempFolder;

constexpr DWORD kTimeoutMs = 120000;
constexpr char kVelmoraClass[] = "TfrmMain";
constexpr char kBareClass[] = "VelmoraLaunchBareWindow";
constexpr char kControlsClass[] = "VelmoraLaunchControlsWindow";

std::string FolderName(int index) {
  char name[16];
  std::snprintf(name, sizeof name, "c%05d", index);
  return name;
}

// Folder `index` shows this in its "%" cell.
std::string ProgressCell(int index) {
  return velmora::bench::ProgressText(index * 37 % 100 * 100);
}

class ClientFolders {
 public:
  explicit ClientFolders(int count) {
    const velmora::testing::ClientFolderWriter writer(temp_);
    for (int i = 0; i < count; ++i) {
      char state[64];
      std::snprintf(state, sizeof state, "prog=0.%02d\ncpu=1200\n", (i * 37) % 100);
      writer.Write(FolderName(i), {.state = state, .workUnit = "name=bench unit\n"});
    }
  }
  // Captions sort as the indexes do: the names have the same length and differ in digits only.
  std::string Path(int index) const { return temp_.ProgramPath(FolderName(index)); }

 private:
  TempFolder temp_;
};

// Stores folders 0..count-1 as the locations, in an order that is not the sorted one, exactly
// as the program stores them.
void StoreLocations(const ClientFolders& folders, int count) {
  velmora::win::RegistryStore store(HKEY_CURRENT_USER, velmora::win::kUserSettingsKeyPath);
  store.WriteInteger("Locations", "Count", count);
  for (int slot = 0; slot < count; ++slot) {
    const int folder = static_cast<int>((static_cast<long long>(slot) * 7919 + 13) % count);
    store.WriteText("Locations", velmora::LocationKey(static_cast<std::size_t>(slot)),
                    folders.Path(folder) + ",1");
  }
}

// The top-level window of class `className` that process `processId` shows, or null.
HWND FindTopLevel(DWORD processId, const char* className) {
  for (HWND hwnd = nullptr; (hwnd = ::FindWindowExA(nullptr, hwnd, className, nullptr)) != nullptr;) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner == processId)
      return hwnd;
  }
  return nullptr;
}

bool Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  DWORD_PTR answer = 0;
  if (!::SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_NORMAL, 10000, &answer))
    return false;
  result = static_cast<LRESULT>(answer);
  return true;
}

// A block of memory inside another process, for messages whose answer is written through a
// pointer.
class RemoteBuffer {
 public:
  static constexpr std::size_t kTextSize = 1024;
  static constexpr std::size_t kSize = sizeof(LVITEMA) + kTextSize;

  explicit RemoteBuffer(HANDLE process)
      : process_(process),
        base_(static_cast<char*>(
            ::VirtualAllocEx(process, nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))) {}
  ~RemoteBuffer() {
    if (base_)
      ::VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  bool ItemText(HWND list, int row, int column, std::string& text) const {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = base_ + sizeof(LVITEMA);
    item.cchTextMax = static_cast<int>(kTextSize);
    return base_ && ::WriteProcessMemory(process_, base_, &item, sizeof item, nullptr) &&
           TextAnswer(list, LVM_GETITEMTEXTA, row, base_, text);
  }

  bool PanelText(HWND statusBar, int part, std::string& text) const {
    return base_ && TextAnswer(statusBar, SB_GETTEXTA, part, base_ + sizeof(LVITEMA), text);
  }

 private:
  // The text `message` writes after the LVITEMA at the start of the buffer.
  bool TextAnswer(HWND window, UINT message, int index, char* argument, std::string& text) const {
    char local[kTextSize + 1] = {};
    LRESULT ignored = 0;
    if (!Send(window, message, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(argument), ignored) ||
        !::ReadProcessMemory(process_, base_ + sizeof(LVITEMA), local, kTextSize, nullptr))
      return false;
    text = local;
    return true;
  }

  HANDLE process_;
  char* base_;
};

struct Launch {
  bool ok = false;
  double windowMs = 0, shownMs = 0, workingSetMb = 0;
};

struct Program {
  const char* name;
  std::string exePath;
  const char* className;
  bool isVelmora;
};

// Every row, in order: its caption names folder `row` and its "%" cell shows that folder's
// progress.
void CheckRows(const RemoteBuffer& remote,
               HWND list,
               const ClientFolders& folders,
               int count,
               Checks& checks) {
  int wrong = 0;
  for (int row = 0; row < count && wrong < 5; ++row) {
    std::string caption;
    std::string progress;
    // A read that times out is tried again: only what the list view gave back counts.
    bool read = false;
    for (int attempt = 0; attempt < 3 && !read; ++attempt)
      read = remote.ItemText(list, row, 0, caption) && remote.ItemText(list, row, 1, progress);
    checks.Expect(read, "row " + std::to_string(row) + " could not be read back");
    const bool right = read && caption == folders.Path(row) && progress == ProgressCell(row);
    checks.Expect(right || !read, "row " + std::to_string(row) + " shows \"" + caption + "\" \"" + progress +
                                      "\", not \"" + folders.Path(row) + "\" \"" + ProgressCell(row) + "\"");
    wrong += right ? 0 : 1;
  }
}

Launch Start(const Program& program,
             int rows,
             const ClientFolders& folders,
             bool checkEveryRow,
             Checks& checks) {
  Launch launch;
  std::string commandLine = "\"" + program.exePath + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  const double start = NowMs();
  if (!::CreateProcessA(program.exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
    checks.Expect(false, "could not start " + program.exePath);
    return launch;
  }
  const ProcessHandle process(info.hProcess);
  const ProcessHandle thread(info.hThread);
  const auto elapsed = [start] { return NowMs() - start; };

  // The time from the start until `done` held, polled every 2 ms; 0 when it never did.
  const auto timeUntil = [&](const std::function<bool()>& done) {
    while (elapsed() < kTimeoutMs && ::WaitForSingleObject(process.Get(), 0) != WAIT_OBJECT_0) {
      if (done())
        return elapsed();
      ::Sleep(2);
    }
    return 0.0;
  };
  HWND window = nullptr;
  HWND list = nullptr;
  launch.windowMs = timeUntil([&] {
    if (!window)
      window = FindTopLevel(info.dwProcessId, program.className);
    if (window && !list)
      list = velmora::probe::FindDescendant(window, WC_LISTVIEWA);
    LRESULT count = -1;
    return list && ::IsWindowVisible(window) && Send(list, LVM_GETITEMCOUNT, 0, 0, count) && count == rows;
  });
  const std::string name = program.name;
  checks.Expect(launch.windowMs > 0,
                name + " never showed its window with " + std::to_string(rows) + " rows in its list view");

  const RemoteBuffer remote(process.Get());
  if (launch.windowMs > 0 && program.isVelmora) {
    // The first pass is shown when every row counts as a unit in work.
    const std::string allInWork = " Work: " + std::to_string(rows);
    const HWND statusBar = velmora::probe::FindDescendant(window, STATUSCLASSNAMEA);
    std::string text;
    launch.shownMs = timeUntil([&] { return remote.PanelText(statusBar, 1, text) && text == allInWork; });
    checks.Expect(launch.shownMs > 0, "Velmora never showed its first pass: \"" + text + "\"");
  }
  if (launch.windowMs > 0 && (launch.shownMs > 0 || !program.isVelmora)) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (::GetProcessMemoryInfo(process.Get(), &counters, sizeof counters))
      launch.workingSetMb = static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
    if (program.isVelmora && checkEveryRow)
      CheckRows(remote, list, folders, rows, checks);
    launch.ok = true;
  }
  ::TerminateProcess(process.Get(), 0);
  ::WaitForSingleObject(process.Get(), kTimeoutMs);
  return launch;
}

std::vector<int> ParseSizes(const char* text) {
  std::vector<int> sizes;
  for (char* end = nullptr;; text = *end == ',' ? end + 1 : end) {
    const long value = std::strtol(text, &end, 10);
    if (end == text)
      return sizes;
    if (value > 0)
      sizes.push_back(static_cast<int>(value));
  }
}

std::vector<double> Pick(const std::vector<Launch>& launches, double Launch::*field) {
  std::vector<double> values;
  for (const Launch& launch : launches) {
    if (launch.ok)
      values.push_back(launch.*field);
  }
  return values;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const std::vector<int> sizes = ParseSizes(argc > 2 ? argv[2] : "1000,4000,10000");
  const std::string benchFolder = velmora::testing::ExecutableFolder();
  const auto path = [&](int index, const char* fallback) {
    return argc > index ? std::string(argv[index]) : benchFolder + fallback;
  };
  // The ratios are over the bare window's figures, the first.
  const std::array<Program, 3> programs{{
      {"bare", path(4, "launch_bare_window.exe"), kBareClass, false},
      {"controls", path(5, "launch_controls_window.exe"), kControlsClass, false},
      {"Velmora", path(3, "..\\app\\Velmora.exe"), kVelmoraClass, true},
  }};
  if (sizes.empty()) {
    std::fprintf(stderr,
                 "usage: gui_launch_bench [runs=5] [sizes=1000,4000,10000] [velmora.exe] [bare.exe]"
                 " [controls.exe]\n");
    return 2;
  }

  const int largest = *std::max_element(sizes.begin(), sizes.end());
  const double writeStart = NowMs();
  const ClientFolders folders(largest);
  std::printf("%d client folders written in %.1f s; %d runs per program and size\n", largest,
              (NowMs() - writeStart) / 1000.0, runs);
  // The system writes the new files out in the background for a while after: that slowed every
  // start, the bare window's too, in the first size measured.
  std::fflush(stdout);
  ::Sleep(30000);

  Checks checks;
  std::printf("\n%7s  %-8s  %11s  %11s  %9s  %12s  %10s\n", "N", "program", "window ms", "shown ms", "ratio",
              "working set", "ratio");
  for (int rows : sizes) {
    StoreLocations(folders, rows);
    const auto start = [&](const Program& program, bool checkEveryRow) {
      return Start(program, program.isVelmora ? rows : 0, folders, checkEveryRow, checks);
    };
    // One start of each first, not counted: the files they load come into the cache.
    for (const Program& program : programs)
      start(program, program.isVelmora);
    // Each run starts the three in another order, so that none always comes first.
    std::array<std::vector<Launch>, 3> launches;
    for (int run = 0; run < runs; ++run) {
      for (std::size_t turn = 0; turn < programs.size(); ++turn) {
        const std::size_t which = (turn + static_cast<std::size_t>(run)) % programs.size();
        launches[which].push_back(start(programs[which], false));
      }
    }
    const double bareWindow = Median(Pick(launches[0], &Launch::windowMs));
    const double bareMemory = Median(Pick(launches[0], &Launch::workingSetMb));
    std::string eachRun;
    for (std::size_t which = 0; which < programs.size(); ++which) {
      const double window = Median(Pick(launches[which], &Launch::windowMs));
      const double memory = Median(Pick(launches[which], &Launch::workingSetMb));
      const std::string shown =
          programs[which].isVelmora
              ? std::to_string(static_cast<int>(Median(Pick(launches[which], &Launch::shownMs))))
              : "-";
      std::printf("%7d  %-8s  %11.0f  %11s  %8.2fx  %9.1f MB  %9.2fx\n", rows, programs[which].name, window,
                  shown.c_str(), bareWindow > 0 ? window / bareWindow : 0.0, memory,
                  bareMemory > 0 ? memory / bareMemory : 0.0);
      eachRun += std::string(which > 0 ? "; " : "") + programs[which].name + ":";
      for (double value : Pick(launches[which], &Launch::windowMs))
        eachRun += " " + std::to_string(static_cast<int>(value));
    }
    std::printf("        window ms of each run: %s\n", eachRun.c_str());
    std::fflush(stdout);
  }
  std::printf("\nratio: each program's window time (or working set) over the bare window's, same run\n");
  if (checks.Failures() > 0) {
    std::printf("%d checks failed: the figures above are not to be trusted\n", checks.Failures());
    return 1;
  }
  return 0;
}

// velmora-window-probe: proves from outside that a Velmora.exe really started. Run in the same
// Wine prefix as the program, it waits for the program's main window, checks its title and, by
// default, closes the window and checks that the program ends with exit code 0 (options: Usage).
//
// EXE_PATH is the Windows path of the executable the program was started from; a window of
// the class that belongs to any other process does not count. --select-first-row clicks the
// table's first row; --keep-open leaves the program running. The window's outer rectangle is
// printed as "rect=LEFT,TOP,WIDTH,HEIGHT" for screenshots. Exit code 0 when every check held.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/package/program_window.h"
#include "windows/window_base.h"

namespace {

using namespace velmora::probe;

constexpr DWORD kPollMilliseconds = 100;

struct Options {
  std::string className = "TfrmMain";
  std::string titlePrefix = "Velmora v.";
  DWORD timeoutMilliseconds = 30000;
  bool selectFirstRow = false;
  bool keepOpen = false;
  std::string exePath;
};

int Usage() {
  std::fprintf(stderr,
               "usage: velmora-window-probe [--class NAME] [--title-prefix TEXT] [--timeout SECONDS]\n"
               "                            [--select-first-row] [--keep-open] EXE_PATH\n");
  return 2;
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--class") == 0 && hasValue) {
      options.className = argv[++i];
    } else if (std::strcmp(argv[i], "--title-prefix") == 0 && hasValue) {
      options.titlePrefix = argv[++i];
    } else if (std::strcmp(argv[i], "--timeout") == 0 && hasValue) {
      const double seconds = std::atof(argv[++i]);
      if (seconds <= 0)
        return false;
      options.timeoutMilliseconds = static_cast<DWORD>(seconds * 1000);
    } else if (std::strcmp(argv[i], "--select-first-row") == 0) {
      options.selectFirstRow = true;
    } else if (std::strcmp(argv[i], "--keep-open") == 0) {
      options.keepOpen = true;
    } else if (argv[i][0] == '-' || !options.exePath.empty()) {
      return false;
    } else {
      options.exePath = argv[i];
    }
  }
  return !options.exePath.empty();
}

// Waits until the program's window exists and carries a title with the expected start; the
// title is set when the window is first activated, a moment after it appears.
ProgramWindow WaitForWindow(const Options& options) {
  const ULONGLONG deadline = ::GetTickCount64() + options.timeoutMilliseconds;
  ProgramWindow window;
  std::string title;
  for (;;) {
    window = FindProgramWindow(options.className, options.exePath);
    if (window.hwnd) {
      title = velmora::win::WindowText(window.hwnd);
      if (title.rfind(options.titlePrefix, 0) == 0)
        return window;
    }
    if (::GetTickCount64() >= deadline)
      break;
    ::Sleep(kPollMilliseconds);
  }
  if (window.hwnd) {
    std::printf("FAIL: the %s window of %s has the title \"%s\", not one starting with \"%s\"\n",
                options.className.c_str(), options.exePath.c_str(), title.c_str(),
                options.titlePrefix.c_str());
  } else {
    std::printf("FAIL: no top-level window of class %s belonging to %s within %lu ms\n",
                options.className.c_str(), options.exePath.c_str(), options.timeoutMilliseconds);
    std::printf("top-level windows:\n");
    PrintTopLevelWindows();
  }
  return ProgramWindow{};
}

void Click(POINT at) {
  ::SetCursorPos(at.x, at.y);
  INPUT clicks[2] = {};
  clicks[0].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].type = INPUT_MOUSE;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, clicks, sizeof(INPUT));
}

// Clicks the first row's text, right of its check box and icon, and waits until the table
// reports that row selected. Item rectangles cannot be asked for across processes, so the row
// is found below the table's header.
bool SelectFirstRow(HWND window, DWORD timeoutMilliseconds) {
  HWND table = FindDescendant(window, WC_LISTVIEWA);
  HWND header = table ? FindDescendant(table, WC_HEADERA) : nullptr;
  if (!header) {
    std::printf("FAIL: the window has no table with a header\n");
    return false;
  }
  RECT headerRect{};
  ::GetWindowRect(header, &headerRect);
  ::SetForegroundWindow(window);
  Click(POINT{headerRect.left + 120, headerRect.bottom + 8});
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMilliseconds;
  while (::SendMessageA(table, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) != 0) {
    if (::GetTickCount64() >= deadline) {
      std::printf("FAIL: clicking the first row did not select it\n");
      return false;
    }
    ::Sleep(kPollMilliseconds);
  }
  std::printf("first row selected\n");
  return true;
}

// Closes the window as its close box would and checks how the program ends; a program that
// does not end in time is terminated, so that no test leaves it behind.
bool CloseAndCheckExit(const ProgramWindow& window, DWORD timeoutMilliseconds) {
  const ProcessHandle process(::OpenProcess(
      SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, window.processId));
  if (!process) {
    std::printf("FAIL: cannot open process %lu\n", window.processId);
    return false;
  }
  ::PostMessageA(window.hwnd, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(process.Get(), timeoutMilliseconds) != WAIT_OBJECT_0) {
    std::printf("FAIL: the program did not end within %lu ms of WM_CLOSE; terminating it\n",
                timeoutMilliseconds);
    ::TerminateProcess(process.Get(), 1);
    return false;
  }
  DWORD exitCode = 0;
  if (!::GetExitCodeProcess(process.Get(), &exitCode)) {
    std::printf("FAIL: cannot read the program's exit code\n");
    return false;
  }
  std::printf("the program ended with exit code %lu\n", exitCode);
  return exitCode == 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options))
    return Usage();

  const ProgramWindow window = WaitForWindow(options);
  if (!window.hwnd)
    return 1;
  RECT rect{};
  ::GetWindowRect(window.hwnd, &rect);
  std::printf("window of class %s, title \"%s\", process %lu\n", options.className.c_str(),
              velmora::win::WindowText(window.hwnd).c_str(), window.processId);
  std::printf("rect=%ld,%ld,%ld,%ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  std::fflush(stdout);

  if (options.selectFirstRow && !SelectFirstRow(window.hwnd, options.timeoutMilliseconds))
    return 1;
  if (options.keepOpen)
    return 0;
  return CloseAndCheckExit(window, options.timeoutMilliseconds) ? 0 : 1;
}

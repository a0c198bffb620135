// Finds the top-level window of a given class that belongs to a program started from a given
// executable file, from outside that program (another process of the same Wine prefix).
#pragma once

#include <windows.h>

#include <string>

#include "windows/handles.h"

namespace velmora::probe {

// OpenProcess reports failure with a null handle, not with INVALID_HANDLE_VALUE.
using ProcessHandle = win::UniqueHandle<HANDLE, win::detail::CloseKernelHandle>;

struct ProgramWindow {
  HWND hwnd = nullptr;
  DWORD processId = 0;
};

// The first top-level window of class `className` whose process runs `exePath` (compared as a
// whole path, letter case ignored). hwnd is null when there is none.
ProgramWindow FindProgramWindow(const std::string& className, const std::string& exePath);

// Prints every top-level window with its class and its process's executable: what a search
// that found nothing saw.
void PrintTopLevelWindows();

// The first descendant of `parent` of class `className`, or null.
HWND FindDescendant(HWND parent, const char* className);

}  // namespace velmora::probe

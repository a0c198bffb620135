// Where the history database lives on Windows, and the names SQLite and a CSV file take.
#pragma once

#include <string>

#include "monitor/history_keeper.h"

namespace velmora {

// %LOCALAPPDATA%\Tarnek\Velmora\history.db; empty when the folder is not known.
std::string DefaultHistoryFile();
// The history at `fileName` (the program's own ANSI path), its folders made when missing.
HistoryPlace HistoryPlaceOf(const std::string& fileName);
// The program's own (ANSI code page) text as UTF-8.
std::string AnsiToUtf8(const std::string& text);

}  // namespace velmora

#include "monitor/location_reading.h"

#include "core/client_readers.h"
#include "core/decimal_rule.h"
#include "core/tools.h"

namespace velmora {

namespace {

std::string& CellOf(RowReading& reading, Cell cell) {
  return reading.cells[static_cast<std::size_t>(cell)];
}

}  // namespace

RowReading ReadLocation(FileSystem& fs, const std::string& folder) {
  const std::string present = "+";
  const std::string absent = "-";

  TState state;
  // A folder without a readable state.sah still has its flags and icon to show.
  static_cast<void>(state.Load(fs, folder));

  RowReading reading;
  reading.countsAsWork = state.Progress >= 0;
  reading.progress = state.Progress;
  reading.cpu = state.CpuTime;
  reading.workUnitSize = state.HasWorkUnit ? state.WorkUnitSize : -1;
  reading.workUnitSeconds = state.HasWorkUnit ? state.WorkUnitSeconds : -1;
  reading.resultSeconds = state.HasResult ? state.ResultSeconds : -1;
  CellOf(reading, Cell::kProgress) =
      reading.countsAsWork ? FormatFixed(RoundToDigits(state.Progress, 2), 2) : std::string("?");
  CellOf(reading, Cell::kWorkUnit) = IfThenStr(state.HasWorkUnit, present, absent);
  CellOf(reading, Cell::kState) = IfThenStr(state.HasState, present, absent);
  CellOf(reading, Cell::kResult) = IfThenStr(state.HasResult, present, absent);
  reading.countsAsReady = state.HasResult;

  // Later conditions override earlier ones: result over work unit over temporary result over
  // missing folder.
  reading.icon = kIconNone;
  if (!state.FolderExists)
    reading.icon = kIconNoFolder;
  if (state.HasTempResult)
    reading.icon = kIconTempResult;
  if (state.HasWorkUnit)
    reading.icon = kIconWorkUnit;
  if (state.HasResult)
    reading.icon = kIconResult;

  CellOf(reading, Cell::kLastDate) = state.HasState ? FormatTableDate(state.StateTime) : "-";
  reading.hasWorkUnit = state.HasWorkUnit;
  reading.hasState = state.HasState;
  if (state.HasState)
    reading.stateTime = state.StateTime;
  return reading;
}

}  // namespace velmora

#include "monitor/location_table.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "core/client_readers.h"
#include "core/decimal_rule.h"
#include "core/local_time.h"
#include "core/text.h"
#include "core/tools.h"

namespace velmora {

namespace {

struct RowView {
  std::array<std::string, kCellCount> cells;
  int icon = kIconNone;
};

std::size_t CellIndex(Cell cell) {
  return static_cast<std::size_t>(cell);
}

// What the pass shows for an enabled row, from one fresh reading of its folder.
RowView ReadEnabledRow(FileSystem& fs, const LocationRow& row, LocationCounters& counters) {
  const std::string present = "+";
  const std::string absent = "-";

  TState state;
  // A folder without a readable state.sah still has its flags and icon to show.
  static_cast<void>(state.Load(fs, row.caption));

  RowView view;
  if (state.Progress >= 0) {
    ++counters.work;
    view.cells[CellIndex(Cell::kProgress)] = FormatFixed(RoundToDigits(state.Progress, 2), 2);
  } else {
    view.cells[CellIndex(Cell::kProgress)] = "?";
  }
  view.cells[CellIndex(Cell::kWorkUnit)] = IfThenStr(state.HasWorkUnit, present, absent);
  view.cells[CellIndex(Cell::kState)] = IfThenStr(state.HasState, present, absent);
  view.cells[CellIndex(Cell::kResult)] = IfThenStr(state.HasResult, present, absent);
  if (state.HasResult)
    ++counters.ready;

  // Later conditions override earlier ones: result over work unit over temporary result over
  // missing folder.
  view.icon = kIconNone;
  if (!state.FolderExists)
    view.icon = kIconNoFolder;
  if (state.HasTempResult)
    view.icon = kIconTempResult;
  if (state.HasWorkUnit)
    view.icon = kIconWorkUnit;
  if (state.HasResult)
    view.icon = kIconResult;

  view.cells[CellIndex(Cell::kLastDate)] = state.HasState ? FormatTableDate(state.StateTime) : "-";
  return view;
}

// A disabled row keeps its last progress text, so the user still sees where it stood.
RowView DisabledRow(const LocationRow& row) {
  RowView view;
  view.cells[CellIndex(Cell::kProgress)] = row.CellText(Cell::kProgress);
  view.icon = kIconDisabled;
  return view;
}

}  // namespace

LocationTable::LocationTable(CaptionOrder order) : order_(order) {}

std::optional<std::size_t> LocationTable::AddLocation(std::string_view path, bool enabled) {
  std::string caption = TrimText(path);
  if (caption.empty())
    return std::nullopt;
  const auto place = std::upper_bound(rows_.begin(), rows_.end(), caption,
                                      [this](const std::string& key, const LocationRow& row) {
                                        return order_(key.c_str(), row.caption.c_str()) < 0;
                                      });
  LocationRow row;
  row.caption = std::move(caption);
  row.enabled = enabled;
  const auto inserted = rows_.insert(place, std::move(row));
  return static_cast<std::size_t>(inserted - rows_.begin());
}

void LocationTable::RemoveAt(std::size_t index) {
  if (index >= rows_.size())
    throw std::out_of_range("no location row at that index");
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
}

void LocationTable::Clear() {
  rows_.clear();
}

RefreshOutcome LocationTable::RefreshLocations(FileSystem& fs) {
  RefreshOutcome outcome;
  if (!spyingEnabled_)
    return outcome;
  outcome.ran = true;

  LocationCounters counters;
  for (std::size_t index = 0; index < rows_.size(); ++index) {
    LocationRow& row = rows_[index];
    ++counters.total;
    RowView view = row.enabled ? ReadEnabledRow(fs, row, counters) : DisabledRow(row);
    if (view.cells != row.cells || view.icon != row.icon) {
      row.cells = std::move(view.cells);
      row.icon = view.icon;
      outcome.changedRows.push_back(index);
    }
  }

  std::array<std::string, 3> texts{" Total: " + std::to_string(counters.total),
                                   " Work: " + std::to_string(counters.work),
                                   " Ready: " + std::to_string(counters.ready)};
  outcome.countersChanged = texts != statusTexts_;
  statusTexts_ = std::move(texts);
  counters_ = counters;
  return outcome;
}

}  // namespace velmora

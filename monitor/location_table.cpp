#include "monitor/location_table.h"

#include <algorithm>
#include <iterator>
#include <span>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#include "core/text.h"
#include "monitor/row_tips.h"

namespace velmora {

LocationTable::LocationTable(CaptionOrder order, CaptionKey key) : order_(order), key_(key) {}

std::optional<std::size_t> LocationTable::AddLocation(std::string_view path, bool enabled) {
  std::string caption = TrimText(path);
  if (caption.empty())
    return std::nullopt;
  const auto place = std::upper_bound(rows_.begin(), rows_.end(), caption,
                                      [this](const std::string& key, const LocationRow& row) {
                                        return order_(key.c_str(), row.caption.c_str()) < 0;
                                      });
  LocationRow row;
  row.id = nextRowId_++;
  row.caption = std::move(caption);
  row.enabled = enabled;
  const auto inserted = rows_.insert(place, std::move(row));
  indexStale_ = true;
  return static_cast<std::size_t>(inserted - rows_.begin());
}

void LocationTable::AddLocations(const std::vector<StoredLocation>& locations) {
  std::vector<LocationRow> added;
  added.reserve(locations.size());
  for (const StoredLocation& location : locations) {
    std::string caption = TrimText(location.path);
    if (caption.empty())
      continue;
    LocationRow row;
    row.id = nextRowId_++;
    row.caption = std::move(caption);
    row.enabled = location.enabled;
    added.push_back(std::move(row));
  }
  SortNewRows(added);
  // Rows already there go first among equal captions: each row lands where adding it last
  // would have put it.
  const auto before = [this](const LocationRow& a, const LocationRow& b) {
    return order_(a.caption.c_str(), b.caption.c_str()) < 0;
  };
  std::vector<LocationRow> merged;
  merged.reserve(rows_.size() + added.size());
  std::merge(std::make_move_iterator(rows_.begin()), std::make_move_iterator(rows_.end()),
             std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()),
             std::back_inserter(merged), before);
  rows_ = std::move(merged);
  indexStale_ = true;
}

// The caption order may be costly (lstrcmpA takes microseconds under Wine), so it is asked as
// little as possible: the rows are put in sort-key order, cheap to compare, and one pass of the
// caption order confirms the result, which is then the only one possible. A list stored in
// caption order passes without a key. Only when the check fails are the rows sorted by the
// caption order itself.
void LocationTable::SortNewRows(std::vector<LocationRow>& rows) const {
  if (key_ != nullptr && rows.size() > 1) {
    std::vector<std::pair<std::string, std::size_t>> keys;
    keys.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
      keys.emplace_back(key_(rows[i].caption.c_str()), i);
    std::sort(keys.begin(), keys.end());
    std::vector<LocationRow> sorted;
    sorted.reserve(rows.size());
    for (const auto& [key, index] : keys)
      sorted.push_back(std::move(rows[index]));
    rows = std::move(sorted);
  }
  const auto precedes = [this](const LocationRow& a, const LocationRow& b) {
    const int order = order_(a.caption.c_str(), b.caption.c_str());
    return order < 0 || (order == 0 && a.id < b.id);
  };
  bool inOrder = true;
  for (std::size_t i = 1; i < rows.size() && inOrder; ++i)
    inOrder = precedes(rows[i - 1], rows[i]);
  if (!inOrder)
    std::sort(rows.begin(), rows.end(), precedes);
}

void LocationTable::RemoveAt(std::size_t index) {
  if (index >= rows_.size())
    throw std::out_of_range("no location row at that index");
  stallWatch_.Forget(rows_[index].id);
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
  indexStale_ = true;
}

void LocationTable::Clear() {
  for (const LocationRow& row : rows_)
    stallWatch_.Forget(row.id);
  rows_.clear();
  indexStale_ = true;
}

std::optional<std::size_t> LocationTable::IndexOf(std::uint64_t id) const {
  // The rows are in caption order, not in the order of their ids: an index, made again after
  // rows were added or removed, finds a row for each answer without a search of all rows.
  if (indexStale_) {
    indexOf_.clear();
    indexOf_.reserve(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i)
      indexOf_.emplace(rows_[i].id, i);
    indexStale_ = false;
  }
  const auto found = indexOf_.find(id);
  return found == indexOf_.end() ? std::nullopt : std::optional<std::size_t>(found->second);
}

LocationRow* LocationTable::FindRow(std::uint64_t id) {
  const std::optional<std::size_t> index = IndexOf(id);
  return index ? &rows_[*index] : nullptr;
}

PassStart LocationTable::BeginPass(const PassClock& clock, std::chrono::milliseconds lateAfter) {
  PassStart start;
  if (!spyingEnabled_)
    return start;
  start.ran = true;
  if (passOpen_)
    Commit();

  ++pass_;
  passOpen_ = true;
  passAwaiting_ = 0;
  passStart_ = clock.now;
  passWall_ = clock.wall;
  lateAfter_ = lateAfter;
  for (const LocationRow& row : rows_) {
    if (!row.enabled) {
      staged_[row.id] = Staged{true, {}};
      continue;
    }
    if (outstanding_.contains(row.id))
      continue;  // still out: one read per location at most
    outstanding_[row.id] = OutstandingRead{pass_, clock.now, clock.wall};
    ++passAwaiting_;
    start.reads.push_back(ReadRequest{row.id, ReadKind::kRow, row.caption});
  }
  if (passAwaiting_ == 0)
    Commit();
  return start;
}

void LocationTable::ApplyAnswer(const ReadAnswer& answer) {
  const auto out = outstanding_.find(answer.ticket);
  if (out == outstanding_.end())
    return;
  const std::uint64_t rowId = out->first;
  const std::uint64_t pass = out->second.pass;
  outstanding_.erase(out);

  LocationRow* row = FindRow(rowId);
  // With spying off nothing changes; the folder is read afresh once it is back on.
  if (!spyingEnabled_)
    return;
  const bool usable = row != nullptr && row->enabled && !answer.failed;

  if (passOpen_ && pass == pass_) {
    if (usable)
      staged_[rowId] = Staged{false, answer.row};
    if (--passAwaiting_ == 0)
      Commit();
    return;
  }
  // Its pass was shown without it: it follows on its own.
  if (row == nullptr)
    return;
  if (usable)
    ShowReading(*row, answer.row);
  UpdateLate(*row, passStart_);
  // Only this row: the others are judged on their newest readings when their pass is shown.
  WatchStalls(row->id);
  // Counted once for a whole batch of such answers, when the view asks.
  recountDue_ = true;
  shown_ = true;
}

void LocationTable::SetSpyingEnabled(bool on) {
  spyingEnabled_ = on;
  if (!on && passOpen_) {
    // The open pass is dropped: what it read arrived while spying was being switched off.
    staged_.clear();
    passOpen_ = false;
    passAwaiting_ = 0;
  }
}

void LocationTable::Settle() {
  if (passOpen_)
    Commit();
}

void LocationTable::Commit() {
  for (const auto& [id, staged] : staged_) {
    LocationRow* row = FindRow(id);
    // The user may have ticked or unticked the row since the pass began.
    if (row == nullptr || row->enabled == staged.disabled)
      continue;
    if (staged.disabled) {
      ShowDisabled(*row);
    } else {
      ShowReading(*row, staged.reading);
    }
  }
  staged_.clear();
  for (LocationRow& row : rows_)
    UpdateLate(row, passStart_);
  WatchStalls();
  Recount();
  passOpen_ = false;
  shown_ = true;
}

void LocationTable::ShowReading(LocationRow& row, RowReading reading) {
  if (row.reading.cells != reading.cells || row.reading.icon != reading.icon)
    changed_.insert(row.id);
  row.reading = std::move(reading);
  row.answered = true;
  EstimateFinish(row);
  if (keepSightings_) {
    const RowReading& shown = row.reading;
    sightings_.push_back({row.caption, 0, shown.icon != kIconNoFolder, shown.hasState, shown.workUnitSize,
                          shown.workUnitSeconds, shown.resultSeconds, shown.progress, shown.cpu});
  }
}

void LocationTable::EstimateFinish(LocationRow& row) {
  // A unit that is gone, or gave no progress to read, starts the history afresh.
  const RowReading& reading = row.reading;
  const double progress = reading.hasState && reading.progress >= 0 ? reading.progress / 100.0 : -1.0;
  if (!row.finish.Observe(passStart_, progress, reading.hasState))
    return;
  std::string text;
  if (const std::optional<std::chrono::seconds> left = row.finish.RemainingAfterLatest();
      left && passWall_.IsSet())
    text = FormatFinish(AddSeconds(passWall_, left->count()), passWall_);
  if (text != row.finishText) {
    row.finishText = std::move(text);
    changed_.insert(row.id);
  }
}

// A disabled row keeps its last progress text, so the user still sees where it stood.
void LocationTable::ShowDisabled(LocationRow& row) {
  RowReading disabled;
  disabled.cells.fill(std::string());
  disabled.cells[static_cast<std::size_t>(Cell::kProgress)] = row.CellText(Cell::kProgress);
  disabled.icon = kIconDisabled;
  if (row.reading.cells != disabled.cells || row.reading.icon != disabled.icon)
    changed_.insert(row.id);
  row.reading = std::move(disabled);
  row.finish.Reset();
  row.finishText.clear();
}

void LocationTable::WatchStalls(std::optional<std::uint64_t> onlyRow) {
  const LocationRow* only = onlyRow ? FindRow(*onlyRow) : nullptr;
  if (onlyRow && only == nullptr)
    return;
  // A batch of one row leaves the others as they are, stalled or not.
  const std::span<const LocationRow> watched =
      only ? std::span<const LocationRow>(only, 1) : std::span<const LocationRow>(rows_);
  std::vector<StallObservation> observed;
  observed.reserve(watched.size());
  for (const LocationRow& row : watched) {
    // A row never read yet has nothing to watch.
    if (row.enabled && !row.answered && !row.late)
      continue;
    observed.push_back(StallObservation{row.id, row.enabled, row.InWork(), row.reading.stateTime, row.late,
                                        row.reading.countsAsReady});
  }
  StallTransitions found =
      stallWatch_.Observe(observed, passStart_, passWall_, StallTimes{stallTime_, lateAfter_});
  changed_.insert(found.stalled.begin(), found.stalled.end());
  changed_.insert(found.unstalled.begin(), found.unstalled.end());
  alerts_.stallAlerts.insert(alerts_.stallAlerts.end(), found.stallAlerts.begin(), found.stallAlerts.end());
  alerts_.resultAlerts.insert(alerts_.resultAlerts.end(), found.resultAlerts.begin(),
                              found.resultAlerts.end());
}

void LocationTable::SetDoneCounts(const std::vector<std::pair<std::string, std::int64_t>>& counts) {
  const std::unordered_map<std::string, std::int64_t> byCaption(counts.begin(), counts.end());
  for (LocationRow& row : rows_) {
    const auto found = byCaption.find(row.caption);
    const std::int64_t done = found == byCaption.end() ? 0 : found->second;
    if (done != row.done || !doneKnown_)
      changed_.insert(row.id);
    row.done = done;
  }
  doneKnown_ = true;
}

std::string LocationTable::DoneText(std::size_t index) const {
  return doneKnown_ ? std::to_string(rows_.at(index).done) : std::string();
}

StallTransitions LocationTable::TakeAlerts() {
  return std::exchange(alerts_, {});
}

std::string LocationTable::CaptionOf(std::uint64_t id) const {
  const std::optional<std::size_t> index = IndexOf(id);
  return index ? rows_[*index].caption : std::string();
}

void LocationTable::UpdateLate(LocationRow& row, SteadyTime now) {
  const auto out = outstanding_.find(row.id);
  const bool late = row.enabled && out != outstanding_.end() && now - out->second.since > lateAfter_;
  if (late != row.late) {
    row.late = late;
    changed_.insert(row.id);
  }
}

void LocationTable::RecountIfDue() const {
  if (recountDue_)
    Recount();
}

void LocationTable::Recount() const {
  recountDue_ = false;
  LocationCounters counters;
  for (const LocationRow& row : rows_) {
    ++counters.total;
    counters.work += row.reading.countsAsWork ? 1 : 0;
    counters.ready += row.reading.countsAsReady ? 1 : 0;
  }
  if (counters_ != counters) {
    counters_ = counters;
    countersChanged_ = true;
  }
}

LocationCounters LocationTable::Counters() const {
  RecountIfDue();
  return counters_.value_or(LocationCounters{});
}

std::array<std::string, 3> LocationTable::StatusTexts() const {
  RecountIfDue();
  if (!counters_)
    return {};
  return {" Total: " + std::to_string(counters_->total), " Work: " + std::to_string(counters_->work),
          " Ready: " + std::to_string(counters_->ready)};
}

RefreshOutcome LocationTable::TakeChanges() {
  RecountIfDue();
  RefreshOutcome outcome;
  outcome.ran = std::exchange(shown_, false);
  outcome.countersChanged = std::exchange(countersChanged_, false);
  if (!changed_.empty()) {
    for (const std::uint64_t id : changed_) {
      if (const std::optional<std::size_t> index = IndexOf(id))
        outcome.changedRows.push_back(*index);
    }
    std::sort(outcome.changedRows.begin(), outcome.changedRows.end());
    changed_.clear();
  }
  return outcome;
}

std::optional<LocalDateTime> LocationTable::LateSince(const LocationRow& row) const {
  const auto out = outstanding_.find(row.id);
  if (!row.late || out == outstanding_.end())
    return std::nullopt;
  return out->second.sinceWall;
}

std::optional<LocalDateTime> LocationTable::StalledSince(const LocationRow& row) const {
  return stallWatch_.NoProgressSince(row.id);
}

std::string LocationTable::RowTip(std::size_t index) const {
  const LocationRow& row = rows_.at(index);
  return velmora::RowTip(LateSince(row), StalledSince(row));
}

std::string LocationTable::StateText(std::size_t index) const {
  const LocationRow& row = rows_.at(index);
  if (!row.enabled)
    return "Off";
  // A late row's state reads as its tip: what it shows is as old as that.
  if (const std::optional<LocalDateTime> since = LateSince(row))
    return NoAnswerTip(*since);
  if (!row.answered)
    return "Not read yet";
  switch (row.reading.icon) {
    case kIconNoFolder:
      return "No folder";
    case kIconTempResult:
      return "Writing result";
    case kIconResult:
      return "Result waiting";
    default:
      break;
  }
  if (const std::optional<LocalDateTime> since = StalledSince(row))
    return "Stalled since " + FormatClockTime(*since);
  return row.reading.icon == kIconWorkUnit ? "In work" : "";
}

std::string LocationTable::FinishText(std::size_t index) const {
  const LocationRow& row = rows_.at(index);
  const bool honest = row.enabled && row.InWork() && !row.late && !stallWatch_.IsStalled(row.id);
  return honest ? row.finishText : std::string();
}

}  // namespace velmora

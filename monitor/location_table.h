// The location table without a window: rows kept in caption order, the refresh pass and the
// three counters of the status bar. The pass is split so that no folder is read on the window's
// thread: BeginPass hands out one read per enabled row, the answers come back from the reading
// threads, and the pass shows them together once all have answered or its time to wait is over.
// A row whose read has not returned is skipped by later passes, and once that read has been out
// longer than one interval the row is late: it keeps its last values until its folder answers.
// The monitor window only mirrors this model into its list view.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/local_time.h"
#include "monitor/finish_estimate.h"
#include "monitor/folder_reader.h"
#include "monitor/location_reading.h"
#include "monitor/settings.h"
#include "monitor/stall_watch.h"
#include "monitor/unit_history.h"

namespace velmora {

using SteadyTime = std::chrono::steady_clock::time_point;

// When something happens: the steady clock for durations, the local wall time for what the user
// reads.
struct PassClock {
  SteadyTime now;
  LocalDateTime wall;
};

struct LocationRow {
  std::uint64_t id = 0;  // stable while the row lives; never reused
  std::string caption;   // the folder path, trimmed, never empty
  bool enabled = true;
  // What its folder gave at the last pass that showed it; a disabled row's keeps only the
  // progress text, beside the disabled icon.
  RowReading reading;
  bool late = false;       // its read has been out longer than an interval
  bool answered = false;   // its folder has been read at least once
  FinishEstimate finish;   // of the unit in work
  std::string finishText;  // when it will reach 100 %, as last estimated; may be empty
  std::int64_t done = 0;   // units finished in the last 24 hours

  const std::string& CellText(Cell cell) const { return reading.cells[static_cast<std::size_t>(cell)]; }
  // Work unit and state file, no result.
  bool InWork() const { return reading.hasWorkUnit && reading.hasState && !reading.countsAsReady; }
};

struct LocationCounters {
  int total = 0;
  int work = 0;
  int ready = 0;
  bool operator==(const LocationCounters&) const = default;
};

// What changed since the view last asked, so that it repaints only that.
struct RefreshOutcome {
  bool ran = false;                      // a pass (or a late answer) was shown
  std::vector<std::size_t> changedRows;  // rows whose cells, icon or lateness changed, ascending
  bool countersChanged = false;
};

struct PassStart {
  bool ran = false;  // false when spying is off: nothing is read, nothing changes
  std::vector<ReadRequest> reads;
};

// strcmp-like caption order; the Windows build passes lstrcmpA.
using CaptionOrder = int (*)(const char*, const char*);
// A caption's sort key: bytes that, compared as unsigned chars, should order captions as
// CaptionOrder does (the Windows build passes the locale's sort key). Only a guide: a batch
// sorted by it is checked against CaptionOrder.
using CaptionKey = std::string (*)(const char*);

class LocationTable {
 public:
  explicit LocationTable(CaptionOrder order, CaptionKey key = nullptr);

  // Trims `path`; adds nothing for an empty result. The row takes its sorted place (after equal
  // captions) with "?" cells and no icon. Returns that place.
  std::optional<std::size_t> AddLocation(std::string_view path, bool enabled);
  // The same rows as AddLocation for each location in turn, sorted once instead of a search and
  // a shift per row: by sort key when there is one, then checked with one comparison a row.
  void AddLocations(const std::vector<StoredLocation>& locations);
  void RemoveAt(std::size_t index);
  void Clear();

  const std::vector<LocationRow>& Rows() const { return rows_; }
  std::size_t Count() const { return rows_.size(); }
  const LocationRow& Row(std::size_t index) const { return rows_.at(index); }
  void SetEnabled(std::size_t index, bool enabled) { rows_.at(index).enabled = enabled; }

  bool SpyingEnabled() const { return spyingEnabled_; }
  // Switched off, answers that arrive change nothing, and a pass still waiting is dropped.
  void SetSpyingEnabled(bool on);

  // Starts a pass: one read for every enabled row that has none out. A pass still waiting is
  // shown first. A row read more than `lateAfter` ago without an answer turns late when this
  // pass is shown.
  PassStart BeginPass(const PassClock& clock, std::chrono::milliseconds lateAfter);
  // An answer of a row read. Answers for removed or disabled rows are dropped; the open pass
  // keeps its answers until it is shown; an answer that comes after its pass was shown is
  // shown at once.
  void ApplyAnswer(const ReadAnswer& answer);
  // The pass's time to wait is over: what has answered is shown, the rest follows as it comes.
  void Settle();
  bool PassOpen() const { return passOpen_; }
  // Row reads handed out and not yet answered, those of removed rows included.
  std::size_t ReadsOutstanding() const { return outstanding_.size(); }
  // What changed since the last call.
  RefreshOutcome TakeChanges();

  // "No answer since hh:nn" for a late row (when its read was handed out), "No progress since
  // hh:nn" for a stalled one; empty otherwise.
  std::string RowTip(std::size_t index) const;
  // The row's state in words, from the same facts as its icon and its late and stalled marks.
  std::string StateText(std::size_t index) const;
  // When the unit in work will reach 100 %; empty when the row is not in work, late, stalled or
  // off, or when nothing honest can be said.
  std::string FinishText(std::size_t index) const;

  // How long an unchanged state file makes a row in work stalled.
  void SetStallTime(std::chrono::minutes stallTime) { stallTime_ = stallTime; }
  // What deserves a notice since the last call: rows newly stalled, rows whose result is new.
  StallTransitions TakeAlerts();
  std::size_t StalledCount() const { return stallWatch_.StalledCount(); }
  // In work, and its state file has not changed for the stall time.
  bool Stalled(std::size_t index) const { return stallWatch_.IsStalled(rows_.at(index).id); }
  // The caption of a row by its id; empty when it is gone.
  std::string CaptionOf(std::uint64_t id) const;

  // The history's looks: each reading shown since the last call, kept only once asked for.
  // Their times are left for the history thread to set.
  void KeepSightings(bool keep) { keepSightings_ = keep; }
  std::vector<UnitSighting> TakeSightings() { return std::exchange(sightings_, {}); }

  // The units each location finished in the last 24 hours, by caption (a caption not named
  // finished none), and the Done column's text; empty until the first counts come.
  void SetDoneCounts(const std::vector<std::pair<std::string, std::int64_t>>& counts);
  std::string DoneText(std::size_t index) const;

  // All zero before the first pass.
  LocationCounters Counters() const;
  // " Total: n", " Work: n", " Ready: n" for the first three status panels; empty before the
  // first pass.
  std::array<std::string, 3> StatusTexts() const;

 private:
  // A row read handed out and not yet answered. A row has one out at most, so the row's id,
  // never reused, is the read's ticket.
  struct OutstandingRead {
    std::uint64_t pass = 0;
    SteadyTime since;
    LocalDateTime sinceWall;
  };
  // What the open pass will show for a row.
  struct Staged {
    bool disabled = false;
    RowReading reading;
  };

  std::optional<std::size_t> IndexOf(std::uint64_t id) const;
  LocationRow* FindRow(std::uint64_t id);
  // Since when a late row's read is out, and since when a stalled row made no progress.
  std::optional<LocalDateTime> LateSince(const LocationRow& row) const;
  std::optional<LocalDateTime> StalledSince(const LocationRow& row) const;
  void EstimateFinish(LocationRow& row);
  // Caption order; equal captions keep the order of their ids.
  void SortNewRows(std::vector<LocationRow>& rows) const;
  void Commit();
  void ShowReading(LocationRow& row, RowReading reading);
  void ShowDisabled(LocationRow& row);
  void UpdateLate(LocationRow& row, SteadyTime now);
  // The counters are counted again when asked for after answers changed rows; they changed when
  // the new count differs from the old.
  void Recount() const;
  void RecountIfDue() const;
  // Every row shown so far (or only `onlyRow`) goes to the stall watch, at the time and wall
  // time of the last pass.
  void WatchStalls(std::optional<std::uint64_t> onlyRow = std::nullopt);

  CaptionOrder order_;
  CaptionKey key_;
  std::vector<LocationRow> rows_;
  // By row id, those of removed rows included: a removed row's read stays counted until it
  // returns, and its answer is then dropped.
  std::map<std::uint64_t, OutstandingRead> outstanding_;
  std::uint64_t nextRowId_ = 1;
  bool spyingEnabled_ = true;

  std::uint64_t pass_ = 0;
  bool passOpen_ = false;
  std::size_t passAwaiting_ = 0;
  SteadyTime passStart_{};
  std::chrono::milliseconds lateAfter_{0};
  std::map<std::uint64_t, Staged> staged_;  // by row id

  StallWatch stallWatch_;
  std::chrono::minutes stallTime_{20};
  LocalDateTime passWall_;
  StallTransitions alerts_;
  bool keepSightings_ = false;
  bool doneKnown_ = false;
  std::vector<UnitSighting> sightings_;

  std::set<std::uint64_t> changed_;  // row ids
  mutable bool countersChanged_ = false;
  mutable bool recountDue_ = false;
  // Row index by id, made again when rows were added or removed.
  mutable std::unordered_map<std::uint64_t, std::size_t> indexOf_;
  mutable bool indexStale_ = true;
  bool shown_ = false;

  mutable std::optional<LocationCounters> counters_;  // none before the first pass
};

}  // namespace velmora

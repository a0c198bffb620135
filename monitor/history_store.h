// The finished units, kept in an SQLite database file. One store is used by one thread only
// (the history thread); two Velmora windows of one session share the file through SQLite's
// locks, and a unit is kept once whoever records it: by its location and finish time, and by
// its location and work unit when that is known.
//
// The file is written in WAL mode, each pass's units in one transaction, so a process ended at
// any moment leaves it whole and loses at most the pass being written. Locations are kept once
// by path, units by the location's number, with times as integers: about 60 bytes a unit with
// its indexes. Removing a location from the table keeps its units.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "monitor/unit_history.h"

struct sqlite3;

namespace velmora {

// Why the database could not be used.
enum class HistoryTrouble {
  kDamaged,      // not a database, or a damaged one
  kCannotWrite,  // read-only, disk full, held by another program, folder missing...
};

class HistoryError : public std::runtime_error {
 public:
  HistoryError(HistoryTrouble trouble, const std::string& what)
      : std::runtime_error(what), trouble_(trouble) {}
  HistoryTrouble Trouble() const { return trouble_; }

 private:
  HistoryTrouble trouble_;
};

// One unit as the history window lists it.
struct HistoryRow {
  std::int64_t finished = 0;  // seconds since 1970, UTC
  std::string location;
  std::int64_t cpuSeconds = -1;
  std::int64_t tookSeconds = -1;
  FinishSeen seen = FinishSeen::kAtEnd;

  bool operator==(const HistoryRow&) const = default;
};

struct HistoryLocation {
  std::int64_t id = 0;
  std::string path;
};

// Every location by its number; 0 in a query means all of them.
inline constexpr std::int64_t kAllLocations = 0;

class HistoryStore {
 public:
  static constexpr int kSchemaVersion = 1;

  // Opens the database at `fileName` (UTF-8, as SQLite takes it), making it or bringing its
  // schema up to date. Throws HistoryError.
  explicit HistoryStore(const std::string& fileName, int busyMilliseconds = 3000);
  ~HistoryStore();
  HistoryStore(const HistoryStore&) = delete;
  HistoryStore& operator=(const HistoryStore&) = delete;

  // Records, in one transaction, the units not kept yet; returns those. Throws HistoryError.
  std::vector<FinishedUnit> Record(const std::vector<FinishedUnit>& units);

  std::vector<HistoryLocation> Locations();
  std::int64_t CountUnits(std::int64_t location);
  // The units finished in each span [bounds[i], bounds[i + 1]).
  std::vector<std::int64_t> CountBetween(const std::vector<std::int64_t>& bounds, std::int64_t location);
  // `count` units from the `offset`th newest on.
  std::vector<HistoryRow> Newest(std::int64_t location, std::int64_t offset, std::int64_t count);
  // Every unit, newest first, one at a time.
  void EachNewest(std::int64_t location, const std::function<void(const HistoryRow&)>& each);
  // The units each location finished at `since` or later, by path.
  std::vector<std::pair<std::string, std::int64_t>> FinishedSince(std::int64_t since);

  // "ok" for a whole database (PRAGMA integrity_check).
  std::string IntegrityCheck();

 private:
  class Statement;
  void Execute(const char* sql);
  void EachNewestFrom(std::int64_t location,
                      std::int64_t offset,
                      std::int64_t count,
                      const std::function<void(const HistoryRow&)>& each);
  void Upgrade();
  [[noreturn]] void Fail(int code, const char* doing) const;

  sqlite3* db_ = nullptr;
};

// Opens the store, moving a damaged file aside (never deleting it) and starting afresh; the
// name it was moved to comes back, empty when nothing was moved. `fileName` is the program's
// own (narrow) path; `sqliteName` turns it into the name SQLite takes. Throws HistoryError
// (kCannotWrite) when the database cannot be used.
struct OpenedHistory {
  std::unique_ptr<HistoryStore> store;
  std::string movedAside;
};
// Moves a damaged database (and its journal) to the first free name beside it; returns that name.
std::string MoveDamagedAside(const std::string& fileName);
OpenedHistory OpenHistory(const std::string& fileName,
                          std::string (*sqliteName)(const std::string&),
                          int busyMilliseconds = 3000);

}  // namespace velmora

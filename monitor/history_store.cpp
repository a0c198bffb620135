#include "monitor/history_store.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <unordered_map>

namespace velmora {

namespace {

bool IsDamage(int code) {
  const int primary = code & 0xff;
  return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

// Each step of the schema, from the version before it. Never change a step once released:
// add one.
constexpr const char* kSchemaSteps[] = {
    "CREATE TABLE locations(id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE) STRICT;"
    "CREATE TABLE units(id INTEGER PRIMARY KEY, location INTEGER NOT NULL REFERENCES locations(id),"
    " finished INTEGER NOT NULL, unit_time INTEGER, unit_size INTEGER, cpu INTEGER, took INTEGER,"
    " seen INTEGER NOT NULL) STRICT;"
    "CREATE UNIQUE INDEX units_at_location ON units(location, finished);"
    "CREATE UNIQUE INDEX units_by_work_unit ON units(location, unit_time, unit_size)"
    " WHERE unit_time IS NOT NULL;"
    "CREATE INDEX units_by_finish ON units(finished);"
    // Counted as units are added: counting a million rows takes longer than the window may.
    "CREATE TABLE totals(location INTEGER PRIMARY KEY REFERENCES locations(id), units INTEGER NOT NULL) "
    "STRICT;"};
static_assert(std::size(kSchemaSteps) == HistoryStore::kSchemaVersion);

std::int64_t OrMinusOne(sqlite3_stmt* statement, int column) {
  return sqlite3_column_type(statement, column) == SQLITE_NULL ? -1 : sqlite3_column_int64(statement, column);
}

}  // namespace

class HistoryStore::Statement {
 public:
  Statement(const HistoryStore& store, const char* sql) : store_(store) {
    const int code = sqlite3_prepare_v2(store.db_, sql, -1, &statement_, nullptr);
    if (code != SQLITE_OK)
      store.Fail(code, "preparing a query");
  }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& Bind(int index, std::int64_t value) {
    sqlite3_bind_int64(statement_, index, value);
    return *this;
  }
  // -1 is kept as NULL: not known.
  Statement& BindKnown(int index, std::int64_t value) {
    if (value < 0)
      sqlite3_bind_null(statement_, index);
    else
      sqlite3_bind_int64(statement_, index, value);
    return *this;
  }
  Statement& Bind(int index, const std::string& text) {
    sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
  }
  // True while a row is there.
  bool Step() {
    const int code = sqlite3_step(statement_);
    if (code == SQLITE_ROW)
      return true;
    if (code != SQLITE_DONE)
      store_.Fail(code, "reading or writing the history");
    return false;
  }
  void Reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
  }
  sqlite3_stmt* Get() const { return statement_; }

 private:
  const HistoryStore& store_;
  sqlite3_stmt* statement_ = nullptr;
};

HistoryStore::HistoryStore(const std::string& fileName, int busyMilliseconds) {
  const int code =
      sqlite3_open_v2(fileName.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (code != SQLITE_OK) {
    // A handle comes back even when the open failed; the destructor does not run after a throw.
    const std::string what = std::string("Cannot open the history: ") + sqlite3_errstr(code);
    sqlite3_close(db_);
    db_ = nullptr;
    throw HistoryError(IsDamage(code) ? HistoryTrouble::kDamaged : HistoryTrouble::kCannotWrite, what);
  }
  try {
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, busyMilliseconds);
    // The first read of the file: a file that is not a database fails here.
    Execute("PRAGMA journal_mode=WAL");
    Execute("PRAGMA synchronous=NORMAL");
    Upgrade();
  } catch (...) {
    sqlite3_close(db_);
    db_ = nullptr;
    throw;
  }
}

HistoryStore::~HistoryStore() {
  sqlite3_close(db_);
}

void HistoryStore::Fail(int code, const char* doing) const {
  std::string what = std::string("History database, ") + doing + ": " + sqlite3_errstr(code);
  if (db_ != nullptr && sqlite3_errcode(db_) == code)
    what += std::string(" (") + sqlite3_errmsg(db_) + ")";
  throw HistoryError(IsDamage(code) ? HistoryTrouble::kDamaged : HistoryTrouble::kCannotWrite, what);
}

void HistoryStore::Execute(const char* sql) {
  const int code = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
  if (code != SQLITE_OK)
    Fail(code, "preparing the file");
}

void HistoryStore::Upgrade() {
  Statement version(*this, "PRAGMA user_version");
  version.Step();
  const int from = sqlite3_column_int(version.Get(), 0);
  version.Reset();
  // A newer Velmora's schema only adds to this one.
  if (from >= kSchemaVersion)
    return;
  Execute("BEGIN IMMEDIATE");
  try {
    for (int step = from; step < kSchemaVersion; ++step)
      Execute(kSchemaSteps[step]);
    Execute(("PRAGMA user_version=" + std::to_string(kSchemaVersion)).c_str());
    Execute("COMMIT");
  } catch (...) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

std::vector<FinishedUnit> HistoryStore::Record(const std::vector<FinishedUnit>& units) {
  std::vector<FinishedUnit> added;
  if (units.empty())
    return added;
  Execute("BEGIN IMMEDIATE");
  try {
    Statement addLocation(*this, "INSERT INTO locations(path) VALUES(?1) ON CONFLICT(path) DO NOTHING");
    Statement findLocation(*this, "SELECT id FROM locations WHERE path = ?1");
    std::unordered_map<std::string, std::int64_t> ids;
    const auto locationId = [&](const std::string& path) {
      const auto known = ids.find(path);
      if (known != ids.end())
        return known->second;
      addLocation.Bind(1, path).Step();
      addLocation.Reset();
      findLocation.Bind(1, path).Step();
      const std::int64_t id = sqlite3_column_int64(findLocation.Get(), 0);
      findLocation.Reset();
      ids.emplace(path, id);
      return id;
    };
    Statement count(*this,
                    "INSERT INTO totals(location, units) VALUES(?1, 1)"
                    " ON CONFLICT(location) DO UPDATE SET units = units + 1");
    Statement insert(*this,
                     "INSERT OR IGNORE INTO units(location, finished, unit_time, unit_size, cpu, took, seen)"
                     " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    for (const FinishedUnit& unit : units) {
      insert.Bind(1, locationId(unit.location))
          .Bind(2, unit.finished)
          .BindKnown(3, unit.unitSeconds)
          .BindKnown(4, unit.unitSeconds < 0 ? -1 : unit.unitSize)
          .BindKnown(5, unit.cpuSeconds)
          .BindKnown(6, unit.tookSeconds)
          .Bind(7, static_cast<std::int64_t>(unit.seen));
      insert.Step();
      insert.Reset();
      if (sqlite3_changes(db_) == 1) {
        count.Bind(1, locationId(unit.location)).Step();
        count.Reset();
        added.push_back(unit);
      }
    }
    Execute("COMMIT");
  } catch (...) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
  return added;
}

std::vector<HistoryLocation> HistoryStore::Locations() {
  std::vector<HistoryLocation> locations;
  Statement select(*this, "SELECT id, path FROM locations ORDER BY path");
  while (select.Step()) {
    locations.push_back({sqlite3_column_int64(select.Get(), 0),
                         reinterpret_cast<const char*>(sqlite3_column_text(select.Get(), 1))});
  }
  return locations;
}

std::int64_t HistoryStore::CountUnits(std::int64_t location) {
  Statement count(*this, location == kAllLocations
                             ? "SELECT coalesce(sum(units), 0) FROM totals"
                             : "SELECT coalesce(sum(units), 0) FROM totals WHERE location = ?1");
  if (location != kAllLocations)
    count.Bind(1, location);
  count.Step();
  return sqlite3_column_int64(count.Get(), 0);
}

std::vector<std::int64_t> HistoryStore::CountBetween(const std::vector<std::int64_t>& bounds,
                                                     std::int64_t location) {
  std::vector<std::int64_t> counts;
  Statement count(
      *this, location == kAllLocations
                 ? "SELECT count(*) FROM units WHERE finished >= ?1 AND finished < ?2"
                 : "SELECT count(*) FROM units WHERE location = ?3 AND finished >= ?1 AND finished < ?2");
  for (std::size_t i = 0; i + 1 < bounds.size(); ++i) {
    count.Bind(1, bounds[i]).Bind(2, bounds[i + 1]);
    if (location != kAllLocations)
      count.Bind(3, location);
    count.Step();
    counts.push_back(sqlite3_column_int64(count.Get(), 0));
    count.Reset();
  }
  return counts;
}

std::vector<HistoryRow> HistoryStore::Newest(std::int64_t location, std::int64_t offset, std::int64_t count) {
  std::vector<HistoryRow> rows;
  EachNewestFrom(location, offset, count, [&rows](const HistoryRow& row) { rows.push_back(row); });
  return rows;
}

void HistoryStore::EachNewest(std::int64_t location, const std::function<void(const HistoryRow&)>& each) {
  EachNewestFrom(location, 0, -1, each);  // LIMIT -1: no limit
}

void HistoryStore::EachNewestFrom(std::int64_t location,
                                  std::int64_t offset,
                                  std::int64_t count,
                                  const std::function<void(const HistoryRow&)>& each) {
  // The units first, by the index on their finish, then their locations' paths.
  Statement select(*this, location == kAllLocations
                              ? "SELECT u.finished, l.path, u.cpu, u.took, u.seen FROM"
                                " (SELECT * FROM units ORDER BY finished DESC, id DESC LIMIT ?1 OFFSET ?2) u"
                                " JOIN locations l ON l.id = u.location ORDER BY u.finished DESC, u.id DESC"
                              : "SELECT u.finished, l.path, u.cpu, u.took, u.seen FROM"
                                " (SELECT * FROM units WHERE location = ?3 ORDER BY finished DESC, id DESC"
                                " LIMIT ?1 OFFSET ?2) u"
                                " JOIN locations l ON l.id = u.location ORDER BY u.finished DESC, u.id DESC");
  select.Bind(1, count).Bind(2, offset);
  if (location != kAllLocations)
    select.Bind(3, location);
  while (select.Step()) {
    sqlite3_stmt* row = select.Get();
    each({sqlite3_column_int64(row, 0), reinterpret_cast<const char*>(sqlite3_column_text(row, 1)),
          OrMinusOne(row, 2), OrMinusOne(row, 3), static_cast<FinishSeen>(sqlite3_column_int(row, 4))});
  }
}

std::vector<std::pair<std::string, std::int64_t>> HistoryStore::FinishedSince(std::int64_t since) {
  Statement select(*this,
                   "SELECT l.path, u.n FROM (SELECT location, count(*) AS n FROM units WHERE finished >= ?1"
                   " GROUP BY location) u JOIN locations l ON l.id = u.location");
  select.Bind(1, since);
  std::vector<std::pair<std::string, std::int64_t>> counts;
  while (select.Step())
    counts.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(select.Get(), 0)),
                        sqlite3_column_int64(select.Get(), 1));
  return counts;
}

std::string HistoryStore::IntegrityCheck() {
  Statement check(*this, "PRAGMA integrity_check");
  std::string result;
  while (check.Step()) {
    if (!result.empty())
      result += '\n';
    result += reinterpret_cast<const char*>(sqlite3_column_text(check.Get(), 0));
  }
  return result;
}

namespace {

// The first free name beside `fileName` for a damaged database.
std::string AsideName(const std::string& fileName) {
  for (int n = 1;; ++n) {
    std::string name = fileName + ".damaged-" + std::to_string(n);
    // std::filesystem would add about half a megabyte to the program for this one question.
    if (std::FILE* file = std::fopen(name.c_str(), "rb"))
      std::fclose(file);
    else if (errno == ENOENT)
      return name;
    if (n > 999)
      throw HistoryError(HistoryTrouble::kCannotWrite, "No free name to move the damaged history to");
  }
}

}  // namespace

std::string MoveDamagedAside(const std::string& fileName) {
  // Kept for whoever wants to look at it or rescue it; its journal goes with it.
  const std::string aside = AsideName(fileName);
  if (std::rename(fileName.c_str(), aside.c_str()) != 0)
    throw HistoryError(HistoryTrouble::kCannotWrite, "The damaged history could not be moved to " + aside);
  for (const char* suffix : {"-wal", "-shm"})
    std::rename((fileName + suffix).c_str(), (aside + suffix).c_str());
  return aside;
}

OpenedHistory OpenHistory(const std::string& fileName,
                          std::string (*sqliteName)(const std::string&),
                          int busyMilliseconds) {
  OpenedHistory opened;
  try {
    opened.store = std::make_unique<HistoryStore>(sqliteName(fileName), busyMilliseconds);
    return opened;
  } catch (const HistoryError& error) {
    if (error.Trouble() != HistoryTrouble::kDamaged)
      throw;
  }
  const std::string aside = MoveDamagedAside(fileName);
  opened.store = std::make_unique<HistoryStore>(sqliteName(fileName), busyMilliseconds);
  opened.movedAside = aside;
  return opened;
}

}  // namespace velmora

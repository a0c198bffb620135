// The store of finished units over a real SQLite file in a fresh folder.
#include "monitor/history_store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

using testing::TempFolder;

std::string SameName(const std::string& name) {
  return name;
}

FinishedUnit Done(const std::string& location,
                  std::int64_t finished,
                  std::int64_t workUnit,
                  FinishSeen seen = FinishSeen::kAtEnd) {
  return {location,
          finished,
          workUnit,
          workUnit < 0 ? -1 : 350000,
          36000 + finished % 7,
          workUnit < 0 ? -1 : 40000,
          seen};
}

HistoryRow Row(const FinishedUnit& unit) {
  return {unit.finished, unit.location, unit.cpuSeconds, unit.tookSeconds, unit.seen};
}

TEST(HistoryStoreTest, KeepsEachUnitOnceAndGivesItBack) {
  TempFolder folder;
  const std::string file = (folder.Path() / "history.db").string();
  const FinishedUnit a1 = Done("C:\\a", 1000, 10);
  const FinishedUnit a2 = Done("C:\\a", 2000, 20, FinishSeen::kApproximate);
  const FinishedUnit b1 = Done("D:\\b", 1500, -1, FinishSeen::kAfterEnd);
  {
    HistoryStore store(file);
    EXPECT_EQ(store.Record({a1, b1}), (std::vector<FinishedUnit>{a1, b1}));
    // Again, from another window or after a start: by finish time, and by work unit.
    FinishedUnit sameWorkUnit = a1;
    sameWorkUnit.finished = 1090;
    sameWorkUnit.seen = FinishSeen::kApproximate;
    EXPECT_EQ(store.Record({a1, sameWorkUnit, Done("D:\\b", 1500, -1), a2}), (std::vector<FinishedUnit>{a2}));
  }
  HistoryStore again(file);
  // A second Velmora of the session, its own connection to the same file, while the first is open.
  {
    HistoryStore other(file);
    EXPECT_TRUE(other.Record({a1, a2, b1}).empty());
  }
  EXPECT_EQ(again.CountUnits(kAllLocations), 3);
  const std::vector<HistoryLocation> locations = again.Locations();
  ASSERT_EQ(locations.size(), 2u);
  EXPECT_EQ(locations[0].path, "C:\\a");
  EXPECT_EQ(again.CountUnits(locations[0].id), 2);
  EXPECT_EQ(again.Newest(kAllLocations, 0, 10), (std::vector<HistoryRow>{Row(a2), Row(b1), Row(a1)}));
  EXPECT_EQ(again.Newest(kAllLocations, 1, 1), (std::vector<HistoryRow>{Row(b1)}));
  EXPECT_EQ(again.Newest(locations[0].id, 0, 10), (std::vector<HistoryRow>{Row(a2), Row(a1)}));
  EXPECT_EQ(again.CountBetween({0, 1000, 1501, 3000}, kAllLocations), (std::vector<std::int64_t>{0, 2, 1}));
  EXPECT_EQ(again.CountBetween({0, 1000, 1501, 3000}, locations[1].id), (std::vector<std::int64_t>{0, 1, 0}));
  EXPECT_EQ(again.FinishedSince(1200),
            (std::vector<std::pair<std::string, std::int64_t>>{{"C:\\a", 1}, {"D:\\b", 1}}));
  EXPECT_EQ(again.IntegrityCheck(), "ok");
}

int UserVersion(const std::string& file) {
  sqlite3* db = nullptr;
  sqlite3_open(file.c_str(), &db);
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &statement, nullptr);
  const int version = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return version;
}

// A file made before the schema (an empty database) is brought up to date; one a newer Velmora
// moved on keeps its version and what it holds.
TEST(HistoryStoreTest, TheSchemaIsUpgradedForwardOnly) {
  for (const int version : {0, 7}) {
    TempFolder folder;
    const std::string file = (folder.Path() / "history.db").string();
    std::int64_t kept = 0;
    if (version > HistoryStore::kSchemaVersion) {
      HistoryStore(file).Record({Done("C:\\a", 1000, 10)});
      kept = 1;
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, ("PRAGMA user_version=" + std::to_string(version)).c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    HistoryStore store(file);
    EXPECT_EQ(store.Record({Done("C:\\a", 2000, 20)}).size(), 1u) << version;
    EXPECT_EQ(store.CountUnits(kAllLocations), kept + 1) << version;
    EXPECT_EQ(UserVersion(file), std::max(version, HistoryStore::kSchemaVersion)) << version;
  }
}

TEST(HistoryStoreTest, ADamagedFileIsMovedAsideAndAFreshOneStarted) {
  const std::vector<std::pair<const char*, std::string>> files = {
      {"NotADatabase", std::string("history of my farm\r\n", 20)},
      {"HeaderOnly", std::string("SQLite format 3\0", 16) + std::string(84, '\x7f')},
      {"Zeros", std::string(8192, '\0') + "x"}};
  for (const auto& [name, contents] : files) {
    TempFolder folder;
    const std::string file = (folder.Path() / "history.db").string();
    { std::ofstream(file, std::ios::binary) << contents; }
    OpenedHistory opened = OpenHistory(file, SameName);
    EXPECT_EQ(opened.movedAside, file + ".damaged-1") << name;
    std::ifstream aside(opened.movedAside, std::ios::binary);
    const std::string kept((std::istreambuf_iterator<char>(aside)), std::istreambuf_iterator<char>());
    EXPECT_EQ(kept, contents) << name;
    EXPECT_EQ(opened.store->Record({Done("C:\\a", 1000, 10)}).size(), 1u) << name;
    EXPECT_EQ(opened.store->IntegrityCheck(), "ok") << name;
  }
}

TEST(HistoryStoreTest, ADatabaseThatCannotBeWrittenSaysSo) {
  TempFolder folder;
  // The history's folder is a file.
  folder.WriteFile("blocked", "");
  EXPECT_THROW(
      {
        try {
          OpenHistory((folder.Path() / "blocked" / "history.db").string(), SameName);
        } catch (const HistoryError& error) {
          EXPECT_EQ(error.Trouble(), HistoryTrouble::kCannotWrite);
          throw;
        }
      },
      HistoryError);

  // Held by another program for writing, then let go: the units wait and are recorded then.
  const std::string file = (folder.Path() / "history.db").string();
  HistoryStore store(file, 50);
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  try {
    store.Record({Done("C:\\a", 1000, 10)});
    ADD_FAILURE() << "recorded while the file was held";
  } catch (const HistoryError& error) {
    EXPECT_EQ(error.Trouble(), HistoryTrouble::kCannotWrite);
  }
  ASSERT_EQ(sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(holder);
  EXPECT_EQ(store.Record({Done("C:\\a", 1000, 10)}).size(), 1u);
  EXPECT_EQ(store.CountUnits(kAllLocations), 1);
}

#if !defined(_WIN32)
// A writer is killed while it records in a loop: the file stays whole, and holds what the
// writer had committed (or that and the transaction it was finishing).
TEST(HistoryStoreTest, AKilledWriterLeavesTheDatabaseWhole) {
  constexpr int kBatch = 25;
  for (const int killAfterMs : {150, 400, 900}) {
    TempFolder folder;
    const std::string file = (folder.Path() / "history.db").string();
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(pipeEnds[0]);
      HistoryStore store(file);
      for (std::int64_t done = 0;; done += kBatch) {
        std::vector<FinishedUnit> batch;
        for (int i = 0; i < kBatch; ++i)
          batch.push_back(Done("C:\\farm\\" + std::to_string(i % 7), done + i, done + i));
        store.Record(batch);
        const std::int64_t committed = done + kBatch;
        if (write(pipeEnds[1], &committed, sizeof committed) != sizeof committed)
          _exit(1);
      }
    }
    close(pipeEnds[1]);
    usleep(static_cast<useconds_t>(killAfterMs) * 1000);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    std::int64_t committed = 0;
    std::int64_t value = 0;
    while (read(pipeEnds[0], &value, sizeof value) == sizeof value)
      committed = value;
    close(pipeEnds[0]);
    EXPECT_TRUE(WIFSIGNALED(status)) << killAfterMs;
    EXPECT_GT(committed, 0) << killAfterMs;
    HistoryStore store(file);
    EXPECT_EQ(store.IntegrityCheck(), "ok") << killAfterMs;
    const std::int64_t count = store.CountUnits(kAllLocations);
    EXPECT_TRUE(count == committed || count == committed + kBatch)
        << killAfterMs << ": " << count << " of " << committed;
  }
}
#endif

}  // namespace
}  // namespace velmora

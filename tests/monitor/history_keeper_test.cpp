// The history's side of the passes: units kept, a paused history tried again, the user told once.
#include "monitor/history_keeper.h"

#include "monitor/history_thread.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;

std::string SameName(const std::string& name) {
  return name;
}

bool MakeFolders(const std::string& fileName) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(fileName).parent_path(), error);
  return !error;
}

// A unit of "C:\seti" that finishes at `finished`, seen in work the pass before.
std::vector<std::vector<UnitSighting>> OneUnit(std::int64_t workUnit, std::int64_t finished) {
  UnitSighting inWork;
  inWork.location = "C:\\seti";
  inWork.seenAt = finished - 10;
  inWork.folderExists = inWork.hasState = true;
  inWork.workUnitSeconds = workUnit;
  inWork.workUnitSize = 100;
  inWork.progress = 99;
  UnitSighting done = inWork;
  done.seenAt = finished + 5;
  done.workUnitSeconds = done.workUnitSize = -1;
  done.resultSeconds = finished;
  return {{inWork}, {done}};
}

TEST(HistoryKeeperTest, APausedHistoryKeepsItsUnitsUntilItCanWrite) {
  testing::TempFolder folder;
  folder.WriteFile("Tarnek", "a file where the folder should be");
  HistoryKeeper keeper(
      {(folder.Path() / "Tarnek" / "Velmora" / "history.db").string(), SameName, MakeFolders, 50});
  const auto t0 = HistoryKeeper::Clock::time_point{} + 1h;

  std::size_t kept = 0;
  for (const auto& pass : OneUnit(1000, 5000))
    kept += keeper.Pass(pass, t0).size();
  EXPECT_EQ(kept, 0u);
  EXPECT_TRUE(keeper.Paused());
  EXPECT_EQ(keeper.TakeNotices().size(), 1u);
  for (const auto& pass : OneUnit(2000, 6000))
    kept += keeper.Pass(pass, t0 + 10s).size();
  EXPECT_EQ(kept, 0u);
  EXPECT_TRUE(keeper.TakeNotices().empty()) << "told once";

  std::filesystem::remove(folder.Path() / "Tarnek");
  // Not before its time comes.
  EXPECT_TRUE(keeper.Pass({}, t0 + 30s).empty());
  EXPECT_EQ(keeper.Pass({}, t0 + HistoryKeeper::kRetryAfter).size(), 2u);
  EXPECT_FALSE(keeper.Paused());
  EXPECT_TRUE(keeper.TakeNotices().empty());
  ASSERT_NE(keeper.Store(t0 + 2min), nullptr);
  EXPECT_EQ(keeper.Store(t0 + 2min)->CountUnits(kAllLocations), 2);
}

TEST(HistoryKeeperTest, ADamagedFileIsToldOnceAndTheUnitsGoToTheNewOne) {
  testing::TempFolder folder;
  const std::string file = (folder.Path() / "history.db").string();
  { std::ofstream(file, std::ios::binary) << "not a database, not at all, never was one"; }
  HistoryKeeper keeper({file, SameName, MakeFolders, 50});
  const auto t0 = HistoryKeeper::Clock::time_point{} + 1h;
  std::size_t kept = 0;
  for (const auto& pass : OneUnit(1000, 5000))
    kept += keeper.Pass(pass, t0).size();
  EXPECT_EQ(kept, 1u);
  const std::vector<std::string> notices = keeper.TakeNotices();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].find(file + ".damaged-1"), std::string::npos) << notices[0];
  EXPECT_TRUE(std::filesystem::exists(file + ".damaged-1"));
}

// Jobs run in the order posted, one at a time, and those still queued when the thread ends run
// before it does: a pass handed over at exit is written.
TEST(HistoryThreadTest, RunsEveryJobInOrderBeforeItEnds) {
  testing::TempFolder folder;
  const std::string file = (folder.Path() / "history.db").string();
  auto mailbox = std::make_shared<HistoryMailbox<int>>(nullptr);
  {
    HistoryThread thread({file, SameName, MakeFolders, 50});
    const auto t0 = HistoryKeeper::Clock::now();
    for (int job = 0; job < 50; ++job) {
      thread.Post([job, mailbox, t0](HistoryKeeper& keeper) {
        const auto passes = OneUnit(1000 + job, 5000 + job * 100);
        std::size_t kept = 0;
        for (const auto& pass : passes)
          kept += keeper.Pass(pass, t0).size();
        mailbox->Put(job * 10 + static_cast<int>(kept));
      });
    }
  }
  std::vector<int> expected;
  for (int job = 0; job < 50; ++job)
    expected.push_back(job * 10 + 1);
  EXPECT_EQ(mailbox->Take(), expected);
  HistoryStore store(file);
  EXPECT_EQ(store.CountUnits(kAllLocations), 50);
}

}  // namespace
}  // namespace velmora

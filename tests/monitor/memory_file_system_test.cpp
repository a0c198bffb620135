// The in-memory file system stands in for real folders in the model tests and benchmarks, so it
// must answer like the platform layers: folders with or without a trailing "\", the root, a
// folder named like a client file, files held open by the client, two-second times.
#include "tests/support/memory_file_system.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace velmora::testing {
namespace {

constexpr LocalDateTime kTime{2023, 11, 30, 23, 59, 59};
constexpr ClientFileSet kAllFiles = kStateReaderFiles | kUserReaderFiles;

TEST(MemoryFileSystemTest, FolderNamesWithAndWithoutTrailingSeparator) {
  MemoryFileSystem fs;
  fs.AddFolder("C:\\data\\seti");
  fs.AddFile("C:\\data\\seti\\state.sah", "prog=0.5");
  for (const char* path : {"C:\\data\\seti", "C:\\data\\seti\\", "C:\\data", "C:", "C:\\", "", "\\"})
    EXPECT_TRUE(fs.FolderExists(path)) << '"' << path << '"';
  for (const char* path : {"C:\\data\\set", "C:\\data\\seti\\x", "D:", "C:\\data\\seti\\state.sah"})
    EXPECT_FALSE(fs.FolderExists(path)) << '"' << path << '"';
}

TEST(MemoryFileSystemTest, OnlyFilesAreFiles) {
  MemoryFileSystem fs;
  fs.AddFile("C:\\seti\\state.sah", "prog=0.5");
  fs.AddFolder("C:\\seti\\result.sah");
  fs.AddFile("\\user_info.sah", "name=root");
  for (const char* path : {"C:\\seti\\state.sah", "C:\\seti\\\\state.sah", "\\user_info.sah"})
    EXPECT_TRUE(fs.FileExists(path)) << '"' << path << '"';
  for (const char* path :
       {"C:\\seti\\state.sah\\", "C:\\seti\\result.sah", "C:\\seti", "C:\\seti\\wtemp.sah", "", "\\"})
    EXPECT_FALSE(fs.FileExists(path)) << '"' << path << '"';
  std::string contents = "stale";
  const ReadOutcome outcome = fs.ReadShared("C:\\seti\\result.sah", 1000, contents);
  EXPECT_EQ(std::tuple(outcome, contents, fs.LastWriteTime("C:\\seti\\result.sah").IsSet()),
            std::tuple(ReadOutcome::kMissing, "", false));
}

struct ReadCase {
  const char* name;
  std::size_t limit;
  bool held;
  ReadOutcome outcome;
  const char* contents;
};

TEST(MemoryFileSystemTest, ReadSharedOutcomes) {
  const std::vector<ReadCase> cases = {{"whole file", 100, false, ReadOutcome::kRead, "prog=0.5\r\n"},
                                       {"exactly the limit", 10, false, ReadOutcome::kRead, "prog=0.5\r\n"},
                                       {"over the limit", 9, false, ReadOutcome::kTooLarge, ""},
                                       {"held open for writing", 100, true, ReadOutcome::kUnreadable, ""}};
  for (const ReadCase& c : cases) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\seti\\state.sah", "prog=0.5\r\n");
    fs.SetHeldForWriting("C:\\seti\\state.sah", c.held);
    std::string contents = "stale";
    EXPECT_EQ(fs.ReadShared("C:\\seti\\state.sah", c.limit, contents), c.outcome) << c.name;
    EXPECT_EQ(contents, c.contents) << c.name;
    // A file held by the client is still there.
    EXPECT_TRUE(fs.FileExists("C:\\seti\\state.sah")) << c.name;
  }
}

TEST(MemoryFileSystemTest, TimesAreCutToTwoSeconds) {
  MemoryFileSystem fs;
  fs.AddFile("C:\\seti\\state.sah", "", kTime);
  const LocalDateTime expected{2023, 11, 30, 23, 59, 58};
  EXPECT_EQ(fs.LastWriteTime("C:\\seti\\state.sah"), expected);
  EXPECT_EQ(fs.Snapshot("C:\\seti\\", kAllFiles).TimeOf(ClientFile::kState), expected);
}

// Snapshot and the single queries must tell the same story, or a reader would show different
// things depending on which it uses.
TEST(MemoryFileSystemTest, SnapshotAgreesWithSingleQueries) {
  MemoryFileSystem fs;
  fs.AddFolder("C:\\empty");
  fs.AddFile("C:\\full\\work_unit.sah", "", {2020, 1, 2, 3, 4, 6});
  fs.AddFile("C:\\full\\state.sah", "prog=0.1", {2020, 1, 2, 3, 4, 7});
  fs.AddFile("C:\\full\\result.sah", "", {2020, 1, 2, 3, 4, 8});
  fs.AddFile("C:\\full\\wtemp.sah", "", {2020, 1, 2, 3, 4, 9});
  fs.AddFile("C:\\full\\user_info.sah", "name=a", {2020, 1, 2, 3, 4, 10});
  fs.AddFolder("C:\\decoys\\state.sah");
  fs.AddFile("C:\\decoys\\result.sah", "", {2021, 6, 7, 8, 9, 10});
  fs.AddFile("C:\\alone", "a file, not a folder");
  fs.AddFile("\\wtemp.sah", "", {2022, 1, 1, 0, 0, 0});
  const std::vector<std::string> folders = {"C:\\empty", "C:\\full", "C:\\decoys", "C:\\missing",
                                            "C:\\alone", "",         "\\"};
  for (const std::string& folder : folders) {
    const std::string withSeparator = folder.empty() || folder.back() != '\\' ? folder + '\\' : folder;
    const FolderSnapshot snapshot = fs.Snapshot(withSeparator, kAllFiles);
    EXPECT_EQ(snapshot.folderExists, fs.FolderExists(folder)) << folder;
    for (std::size_t i = 0; i < kClientFileCount; ++i) {
      const ClientFile file = static_cast<ClientFile>(i);
      const std::string path = withSeparator + ClientFileName(file);
      EXPECT_EQ(snapshot.Has(file), fs.FileExists(path)) << path;
      EXPECT_EQ(snapshot.TimeOf(file), fs.LastWriteTime(path)) << path;
    }
  }
  // The checks above compare two answers; make sure the fixture gives them something to agree on.
  EXPECT_EQ(std::tuple(fs.Snapshot("C:\\full\\", kAllFiles).Has(ClientFile::kUserInfo),
                       fs.Snapshot("C:\\decoys\\", kAllFiles).Has(ClientFile::kState),
                       fs.Snapshot("\\", kAllFiles).Has(ClientFile::kTempResult)),
            std::tuple(true, false, true));
}

TEST(MemoryFileSystemTest, SnapshotLooksOnlyForWantedFiles) {
  MemoryFileSystem fs;
  fs.AddFile("C:\\seti\\state.sah", "prog=0.5");
  fs.AddFile("C:\\seti\\user_info.sah", "name=a");
  const FolderSnapshot user = fs.Snapshot("C:\\seti\\", kUserReaderFiles);
  const FolderSnapshot state = fs.Snapshot("C:\\seti\\", kStateReaderFiles);
  EXPECT_EQ(std::tuple(user.Has(ClientFile::kUserInfo), user.Has(ClientFile::kState),
                       user.TimeOf(ClientFile::kState).IsSet(), state.Has(ClientFile::kState),
                       state.Has(ClientFile::kUserInfo)),
            std::tuple(true, false, false, true, false));
}

TEST(MemoryFileSystemTest, EachOperationCountsOneCall) {
  MemoryFileSystem fs;
  fs.AddFile("C:\\seti\\state.sah", "prog=0.5");
  std::string contents;
  EXPECT_EQ(fs.CallCount(), 0u);
  fs.FileExists("C:\\seti\\state.sah");
  fs.FolderExists("C:\\seti");
  fs.LastWriteTime("C:\\seti\\state.sah");
  fs.ReadShared("C:\\seti\\state.sah", 100, contents);
  fs.Snapshot("C:\\seti\\", kAllFiles);
  fs.Snapshot("C:\\missing\\", kStateReaderFiles);
  EXPECT_EQ(fs.CallCount(), 6u);
}

TEST(MemoryFileSystemTest, RemoveTakesTheFolderWithEverythingBelowOnly) {
  MemoryFileSystem fs;
  fs.AddFile("C:\\a\\b\\state.sah", "");
  fs.AddFile("C:\\a b\\state.sah", "");
  fs.AddFile("C:\\ab\\state.sah", "");
  fs.Remove("C:\\a\\");
  EXPECT_EQ(
      std::tuple(fs.FolderExists("C:\\a"), fs.FolderExists("C:\\a\\b"), fs.FileExists("C:\\a\\b\\state.sah"),
                 fs.FileExists("C:\\a b\\state.sah"), fs.FileExists("C:\\ab\\state.sah")),
      std::tuple(false, false, false, true, true));
}

TEST(MemoryFileSystemTest, RefusesFilesAndFoldersInEachOthersWay) {
  MemoryFileSystem fs;
  fs.AddFile("C:\\seti\\state.sah", "");
  fs.AddFolder("C:\\seti\\result.sah");
  EXPECT_THROW(fs.AddFolder("C:\\seti\\state.sah\\sub"), std::logic_error);
  EXPECT_THROW(fs.AddFile("C:\\seti\\state.sah\\x", ""), std::logic_error);
  EXPECT_THROW(fs.AddFile("C:\\seti\\result.sah", ""), std::logic_error);
  EXPECT_THROW(fs.AddFile("\\", ""), std::logic_error);
  EXPECT_THROW(fs.SetHeldForWriting("C:\\seti\\wtemp.sah", true), std::logic_error);
}

}  // namespace
}  // namespace velmora::testing

// The folder readers over real files in a temporary folder, on both platforms.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#endif

#include "core/client_readers.h"
#include "core/file_system.h"
#ifdef _WIN32
#include "core/fs_win32.h"
#include "windows/handles.h"
#endif
#include "core/text.h"
#include "tests/support/named_rows.h"
#include "tests/support/probe_file_system.h"
#include "tests/support/straight_readers.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

using testing::RowName;
using testing::TempFolder;

class ReadersTest : public ::testing::Test {
 protected:
  std::unique_ptr<FileSystem> fs_ = MakePlatformFileSystem();
  TempFolder temp_;

  TState LoadState(const std::string& folder, bool* result = nullptr) {
    TState state;
    const bool loaded = state.Load(*fs_, folder);
    if (result)
      *result = loaded;
    TState straight;
    const bool straightLoaded = testing::StraightLoadState(*fs_, folder, straight);
    EXPECT_TRUE(testing::SameRecord(state, straight))
        << "readers disagree for " << folder << "\n  program:  " << testing::Describe(state)
        << "\n  straight: " << testing::Describe(straight);
    EXPECT_EQ(loaded, straightLoaded);
    return state;
  }
};

struct StateTextCase {
  const char* name;
  std::string contents;
  bool result;
  double progress;
  double cpu;
};

class StateTextTest : public ReadersTest, public ::testing::WithParamInterface<StateTextCase> {};

TEST_P(StateTextTest, ReadsProgressAndCpu) {
  const StateTextCase& c = GetParam();
  temp_.WriteFile("state.sah", c.contents);
  bool result = false;
  const TState state = LoadState(temp_.ProgramPath(), &result);
  // The result, whether the folder and state.sah are there, and whether its time is set.
  EXPECT_EQ(std::tuple(result, state.FolderExists, state.HasState, state.StateTime.IsSet()),
            std::tuple(c.result, true, true, true));
  EXPECT_DOUBLE_EQ(state.Progress, c.progress);
  EXPECT_DOUBLE_EQ(state.CpuTime, c.cpu);
}

const StateTextCase kStateTexts[] = {
    {"Plain", "prog=0.5\ncpu=3600.5\n", true, 50, 3600.5},
    {"UpperCaseKeyCommaMark", "PROG=0,25\n", true, 25, -1},
    {"LeadingBlanksAndTabs", "   prog=0.3\n\t\tcpu=12\n", true, 30, 12},
    {"BlankBeforeEqualsMatchesNothing", "prog = 0.3\ncpu =5\n", true, -1, -1},
    {"LaterOccurrenceWins", "prog=0.1\ncpu=1\nprog=0.2\ncpu=2\n", true, 20, 2},
    {"UnparsableValueGivesZero", "prog=abc\ncpu=\n", true, 0, 0},
    {"NegativeProgressNotClamped", "prog=-0.01\n", true, -1, -1},
    {"ProgressAboveOneNotClamped", "prog=1.5\n", true, 150, -1},
    {"CrLfAndTrailingBlanks", "cpu=7.25  \r\nprog=0.75\t\r\n", true, 75, 7.25},
    {"CarriageReturnsOnly", "prog=0.5\rcpu=9\r", true, 50, 9},
    {"LastLineWithoutEnding", "cpu=1\nprog=0.5", true, 50, 1},
    {"ExponentForm", "cpu=1.5e3\nprog=2.5e-1\n", true, 25, 1500},
    {"NulEndsTheText", std::string("prog=0.5\n\0cpu=3\n", 16), true, 50, -1},
    {"KeyMustStartTheLine", "xprog=0.5\n#cpu=1\n", true, -1, -1},
    {"NoKeys", "ncfft=12\nwu_name=abc\n", true, -1, -1},
    {"OnlyALineEnding", "\n", true, -1, -1},
    {"EmptyFile", "", false, -1, -1},
};

INSTANTIATE_TEST_SUITE_P(Lines, StateTextTest, ::testing::ValuesIn(kStateTexts), RowName());

// Which of work_unit.sah, state.sah, result.sah and wtemp.sah a folder holds.
enum Present : unsigned { kNone = 0, kWorkUnit = 1, kState = 2, kResult = 4, kTempResult = 8 };

struct FlagsCase {
  const char* name;
  std::vector<const char*> files;
  std::vector<const char*> folders;
  unsigned present;
};

class FlagsTest : public ReadersTest, public ::testing::WithParamInterface<FlagsCase> {};

TEST_P(FlagsTest, ReportsWhichFilesArePresent) {
  const FlagsCase& c = GetParam();
  for (const char* file : c.files)
    temp_.WriteFile(file, "x=1\n");
  for (const char* folder : c.folders)
    temp_.MakeFolder(folder);
  const TState state = LoadState(temp_.ProgramPath());
  EXPECT_TRUE(state.FolderExists);
  const unsigned present = (state.HasWorkUnit ? kWorkUnit : kNone) | (state.HasState ? kState : kNone) |
                           (state.HasResult ? kResult : kNone) | (state.HasTempResult ? kTempResult : kNone);
  EXPECT_EQ(present, c.present);
  EXPECT_EQ(state.StateTime.IsSet(), (c.present & kState) != 0);
}

const FlagsCase kFolders[] = {
    {"Empty", {}, {}, kNone},
    {"All",
     {"work_unit.sah", "state.sah", "result.sah", "wtemp.sah"},
     {},
     kWorkUnit | kState | kResult | kTempResult},
    {"WorkInProgress", {"work_unit.sah", "state.sah", "user_info.sah"}, {}, kWorkUnit | kState},
    {"WaitingToSend", {"result.sah", "state.sah"}, {}, kState | kResult},
    {"WritingResult", {"wtemp.sah"}, {}, kTempResult},
    {"FoldersNamedLikeFilesDoNotCount", {}, {"state.sah", "work_unit.sah"}, kNone},
    {"OtherFilesIgnored", {"outfile.sah", "version.sah", "state.sah.bak"}, {}, kNone},
};

INSTANTIATE_TEST_SUITE_P(Folders, FlagsTest, ::testing::ValuesIn(kFolders), RowName());

TEST_F(ReadersTest, MissingFolderGivesSentinelsAndFalse) {
  bool result = true;
  const TState state = LoadState(temp_.ProgramPath("no-such-folder"), &result);
  // Every field at its sentinel.
  EXPECT_EQ(std::tuple(result, testing::Describe(state)), std::tuple(false, testing::Describe(TState{})));
  TUserInfo user;
  const bool loaded = user.Load(*fs_, temp_.ProgramPath("no-such-folder\\deeper"));
  EXPECT_EQ(std::tuple(loaded, user.FolderExists), std::tuple(false, false));
}

TEST_F(ReadersTest, LocationThatIsAFileIsNoFolder) {
  temp_.WriteFile("plain.txt", "prog=0.5\n");
  bool result = true;
  const TState state = LoadState(temp_.ProgramPath("plain.txt"), &result);
  EXPECT_EQ(std::tuple(result, testing::Describe(state)), std::tuple(false, testing::Describe(TState{})));
}

TEST_F(ReadersTest, TrailingBackslashGivesTheSameRecord) {
  temp_.WriteFile("seti\\state.sah", "prog=0.125\ncpu=10\n");
  temp_.WriteFile("seti\\work_unit.sah", "w\n");
  const TState plain = LoadState(temp_.ProgramPath("seti"));
  const TState slashed = LoadState(temp_.ProgramPath("seti\\"));
  EXPECT_TRUE(testing::SameRecord(plain, slashed)) << testing::Describe(plain) << "\n"
                                                   << testing::Describe(slashed);
  EXPECT_DOUBLE_EQ(plain.Progress, 12.5);
}

TEST_F(ReadersTest, EmptyPathMeansTheRootOfTheCurrentDrive) {
  EXPECT_TRUE(LoadState("").FolderExists);
}

TEST_F(ReadersTest, UnreadableLargeStateFileShowsPresentWithoutValues) {
  temp_.WriteFile("state.sah", "prog=0.5\n");
  std::filesystem::resize_file(temp_.Path() / "state.sah", kMaxTextFileBytes + 1);
  bool result = true;
  const TState state = LoadState(temp_.ProgramPath(), &result);
  EXPECT_EQ(std::tuple(result, state.HasState, state.Progress), std::tuple(false, true, -1.0));
}

struct UserCase {
  const char* name;
  std::string contents;
  bool result;
  std::string userName;
  int results;
  double totalCpu;
};

class UserTextTest : public ReadersTest, public ::testing::WithParamInterface<UserCase> {};

TEST_P(UserTextTest, ReadsTheUsersTotals) {
  const UserCase& c = GetParam();
  temp_.WriteFile("user_info.sah", c.contents);
  TUserInfo user;
  const bool result = user.Load(*fs_, temp_.ProgramPath());
  TUserInfo straight;
  EXPECT_EQ(testing::StraightLoadUserInfo(*fs_, temp_.ProgramPath(), straight), result);
  EXPECT_TRUE(testing::SameRecord(user, straight));
  EXPECT_EQ(std::tuple(result, user.HasUserInfo, user.UserName, user.ResultCount),
            std::tuple(c.result, true, c.userName, c.results));
  EXPECT_DOUBLE_EQ(user.TotalCpu, c.totalCpu);
}

const UserCase kUserTexts[] = {
    {"Plain", "name=Ann\nnresults=12\ntotal_cpu=3600\n", true, "Ann", 12, 3600},
    {"NameKeepsInnerLeadingBlanks", "name= Ann Lee   \n", true, " Ann Lee", -1, -1},
    {"NameAfterFirstEquals", "name=a=b\n", true, "a=b", -1, -1},
    {"FractionalCountIsZero", "nresults=12.5\n", true, "", 0, -1},
    {"EmptyCountIsZero", "nresults=\n", true, "", 0, -1},
    {"HexCount", "nresults=$10\n", true, "", 16, -1},
    {"ExponentTotal", "total_cpu=1.5e6\n", true, "", -1, 1500000},
    {"CaseIgnored", "NAME=Bo\nNResults=3\nTOTAL_CPU=2,5\n", true, "Bo", 3, 2.5},
    {"EmptyFile", "", false, "", -1, -1},
};

INSTANTIATE_TEST_SUITE_P(Lines, UserTextTest, ::testing::ValuesIn(kUserTexts), RowName());

TEST_F(ReadersTest, UserFileMissingInExistingFolder) {
  TUserInfo user;
  const bool loaded = user.Load(*fs_, temp_.ProgramPath());
  EXPECT_EQ(std::tuple(loaded, user.FolderExists, user.HasUserInfo, user.ResultCount),
            std::tuple(false, true, false, -1));
}

TEST_F(ReadersTest, StateFileOfARealClient) {
  const std::filesystem::path fixtures = testing::SharedFixturesDir();
  if (fixtures.empty())
    GTEST_SKIP() << "shared/fixtures is not beside the project; the real client's file is absent";
  std::ifstream in(fixtures / "client-3.03" / "state.sah", std::ios::binary);
  ASSERT_TRUE(in) << "cannot open the real client's state.sah";
  const std::string contents((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(contents.size(), 4083u);
  temp_.WriteFile("state.sah", contents);
  bool result = false;
  const TState state = LoadState(temp_.ProgramPath(), &result);
  EXPECT_EQ(std::tuple(result, state.CpuTime), std::tuple(true, 963.091196));
  EXPECT_NEAR(state.Progress, 22.203413, 1e-9);
}

// Random folders: the program's readers and the straight transcription always agree.
TEST_F(ReadersTest, AgreesWithStraightProbesOnRandomFolders) {
  std::mt19937 random(20261208);
  const char* names[] = {"work_unit.sah", "state.sah", "result.sah", "wtemp.sah", "user_info.sah"};
  const char* bodies[] = {
      "", "\n", "prog=0.42\ncpu=17\n", "prog=,5\r\n", "PROG=1e-2\ncpu=x\n", "nresults=4\n"};
  for (int round = 0; round < 40; ++round) {
    const std::string sub = "r" + std::to_string(round);
    if (random() % 6 != 0)
      temp_.MakeFolder(sub);
    for (const char* name : names) {
      const unsigned pick = random() % 4;
      if (pick == 1 && std::filesystem::exists(temp_.Path() / sub)) {
        temp_.WriteFile(sub + "\\" + name, bodies[random() % std::size(bodies)]);
      } else if (pick == 2 && std::filesystem::exists(temp_.Path() / sub)) {
        temp_.MakeFolder(sub + "\\" + name);
      }
    }
    LoadState(temp_.ProgramPath(sub) + (round % 2 ? "\\" : ""));
    TUserInfo user, straight;
    const bool loaded = user.Load(*fs_, temp_.ProgramPath(sub));
    EXPECT_EQ(loaded, testing::StraightLoadUserInfo(*fs_, temp_.ProgramPath(sub), straight));
    EXPECT_TRUE(testing::SameRecord(user, straight)) << sub;
  }
}

TEST_F(ReadersTest, NeedsFewerFileSystemCallsThanTheStraightProbes) {
  temp_.WriteFile("work_unit.sah", "w\n");
  temp_.WriteFile("state.sah", "prog=0.5\ncpu=2\n");
  testing::ProbeFileSystem counted(MakePlatformFileSystem());
  TState state;
  state.Load(counted, temp_.ProgramPath());
  const std::uint64_t programCalls = counted.CallCount();
  TState straight;
  testing::StraightLoadState(counted, temp_.ProgramPath(), straight);
  const std::uint64_t straightCalls = counted.CallCount() - programCalls;
  EXPECT_LT(programCalls, straightCalls);
}

TEST_F(ReadersTest, ReadersNeverChangeTheFolder) {
  temp_.WriteFile("state.sah", "prog=0.5\n");
  temp_.WriteFile("user_info.sah", "name=x\n");
  const auto before = std::filesystem::last_write_time(temp_.Path() / "state.sah");
  TState state;
  state.Load(*fs_, temp_.ProgramPath());
  TUserInfo user;
  user.Load(*fs_, temp_.ProgramPath());
  std::vector<std::string> entries;
  for (const auto& entry : std::filesystem::directory_iterator(temp_.Path()))
    entries.push_back(entry.path().filename().string());
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::string>{"state.sah", "user_info.sah"}));
  EXPECT_EQ(std::filesystem::last_write_time(temp_.Path() / "state.sah"), before);
}

// The zone the test runs in, named by TZ, and its offset from UTC in minutes. Neither zone has
// summer time, so the offset holds for every stamp below.
int ZoneOffsetMinutes() {
  const char* tz = std::getenv("TZ");
  const std::string zone = tz ? tz : "";
  if (zone == "UTC")
    return 0;
  if (zone == "Asia/Kolkata")
    return 5 * 60 + 30;
  ADD_FAILURE() << "no known offset for TZ=" << zone;
  return 0;
}

struct StampRow {
  const char* name;
  int year, month, day, hour, minute, second;  // UTC
};

class StateTimeTest : public ReadersTest, public ::testing::WithParamInterface<StampRow> {
 protected:
  std::chrono::sys_seconds Stamp() const {
    const StampRow& r = GetParam();
    using namespace std::chrono;
    return sys_days{year{r.year} / r.month / r.day} + hours{r.hour} + minutes{r.minute} + seconds{r.second};
  }

  void SetLastWriteTime(const std::string& path) const {
    const auto seconds = Stamp().time_since_epoch().count();
#ifdef _WIN32
    // FILETIME counts 100 ns steps from 1601, 11644473600 s before 1970.
    const auto ticks = static_cast<ULONGLONG>(seconds + 11644473600LL) * 10000000ULL;
    const FILETIME stamp{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    const win::FileHandle file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                           nullptr));
    ASSERT_TRUE(file);
    EXPECT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &stamp));
#else
    const struct timespec times[2] = {{static_cast<time_t>(seconds), 0}, {static_cast<time_t>(seconds), 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
#endif
  }
};

// The state file's time in the zone's local time, seconds cut to even; a local time that the
// two-second date form cannot hold (before 1980, after 2107) is taken as missing, on both
// platforms alike. Runs at TZ=UTC with the other tests and once more at TZ=Asia/Kolkata.
TEST_P(StateTimeTest, IsLocalAtTwoSecondResolution) {
  temp_.WriteFile("state.sah", "prog=0.5\n");
  SetLastWriteTime((temp_.Path() / "state.sah").string());
  const TState state = LoadState(temp_.ProgramPath());
  EXPECT_TRUE(state.HasState);

  using namespace std::chrono;
  const sys_seconds local = Stamp() + minutes{ZoneOffsetMinutes()};
  const sys_days day = floor<days>(local);
  const year_month_day date{day};
  const long long sinceMidnight = (local - day).count();
  const LocalDateTime expected{static_cast<int>(date.year()),
                               static_cast<int>(static_cast<unsigned>(date.month())),
                               static_cast<int>(static_cast<unsigned>(date.day())),
                               static_cast<int>(sinceMidnight / 3600),
                               static_cast<int>(sinceMidnight / 60 % 60),
                               static_cast<int>(sinceMidnight % 60 / 2 * 2)};
  if (expected.year >= 1980 && expected.year <= 2107) {
    EXPECT_EQ(state.StateTime, expected);
  } else {
    EXPECT_FALSE(state.StateTime.IsSet()) << "year " << state.StateTime.year;
  }
}

const StampRow kStamps[] = {
    {"LeapDayBeforeMidnight", 2024, 2, 29, 23, 59, 57},
    {"Year1970", 1970, 1, 1, 0, 0, 0},
    {"Year2110", 2110, 6, 15, 12, 0, 0},
    // 1979 in UTC, the first minutes of 1980 east of it.
    {"LastEveningOf1979", 1979, 12, 31, 18, 30, 1},
    {"Year2107", 2107, 12, 31, 12, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Stamps, StateTimeTest, ::testing::ValuesIn(kStamps), RowName());

TEST_F(ReadersTest, LoadLinesEmptiesTheListOnEveryFailure) {
  temp_.WriteFile("empty.sah", "");
  temp_.MakeFolder("folder.sah");
  temp_.WriteFile("big.sah", "a\n");
  std::filesystem::resize_file(temp_.Path() / "big.sah", kMaxTextFileBytes + 1);
  for (const char* name : {"missing.sah", "empty.sah", "folder.sah", "big.sah"}) {
    std::vector<std::string> lines{"left over"};
    EXPECT_FALSE(LoadLines(*fs_, temp_.ProgramPath(name), lines)) << name;
    EXPECT_TRUE(lines.empty()) << name;
  }
  temp_.WriteFile("two.sah", "one\r\n\r\nthree");
  std::vector<std::string> lines{"left over"};
  EXPECT_TRUE(LoadLines(*fs_, temp_.ProgramPath("two.sah"), lines));
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "", "three"}));
}

#ifdef _WIN32
// The client holds state.sah open for writing: the read is refused, the file still counts.
TEST_F(ReadersTest, StateFileHeldOpenForWritingShowsPresentWithoutValues) {
  temp_.WriteFile("state.sah", "prog=0.5\ncpu=3\n");
  const std::string path = (temp_.Path() / "state.sah").string();
  win::FileHandle writer(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(writer);
  bool result = true;
  const TState state = LoadState(temp_.ProgramPath(), &result);
  writer.Reset();
  EXPECT_EQ(std::tuple(result, state.FolderExists, state.HasState, state.StateTime.IsSet(), state.Progress,
                       state.CpuTime),
            std::tuple(false, true, true, true, -1.0, -1.0));
  const TState after = LoadState(temp_.ProgramPath(), &result);
  EXPECT_TRUE(result);
  EXPECT_DOUBLE_EQ(after.Progress, 50);
}

// While the program holds the file open for its read, a writer cannot open it (a client that
// writes the file then fails instead of changing it under the read) and another reader can.
TEST_F(ReadersTest, ReadSharesTheFileWithReadersOnly) {
  temp_.WriteFile("state.sah", "prog=0.5\n");
  const std::string path = (temp_.Path() / "state.sah").string();
  auto tryOpen = [&path](DWORD access, DWORD share) {
    const win::FileHandle file(CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr));
    return file ? static_cast<DWORD>(ERROR_SUCCESS) : GetLastError();
  };
  int looks = 0;
  DWORD writer = ERROR_SUCCESS;
  DWORD reader = ERROR_GEN_FAILURE;
  const auto fs = MakeWin32FileSystem([&](const std::string& readPath) {
    ++looks;
    EXPECT_EQ(readPath, temp_.ProgramPath("state.sah"));
    writer = tryOpen(GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    reader = tryOpen(GENERIC_READ, FILE_SHARE_READ);
  });
  std::string contents;
  const ReadOutcome outcome = fs->ReadShared(temp_.ProgramPath("state.sah"), 1024, contents);
  EXPECT_EQ(std::tuple(outcome, contents), std::tuple(ReadOutcome::kRead, "prog=0.5\n"));
  ASSERT_EQ(looks, 1);
  EXPECT_EQ(writer, static_cast<DWORD>(ERROR_SHARING_VIOLATION)) << "a writer got in during the read";
  EXPECT_EQ(reader, static_cast<DWORD>(ERROR_SUCCESS)) << "another reader was shut out during the read";
  // Once the read is over, the writer gets in.
  EXPECT_EQ(tryOpen(GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE), static_cast<DWORD>(ERROR_SUCCESS));
}
#endif

}  // namespace
}  // namespace velmora

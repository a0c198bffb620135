// The reads of a whole window, driven as the window drives them, over reading threads: folders
// that answer keep refreshing beside folders that hang, nothing is lost when a notice, a thread
// or the showing of a batch fails. Also run under ThreadSanitizer.
#include "monitor/read_router.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/client_folder_writer.h"
#include "tests/support/inline_pass.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/named_rows.h"
#include "tests/support/probe_file_system.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using testing::At;
using testing::ByteOrder;
using testing::MemoryFileSystem;
using testing::ProbeFileSystem;
using testing::RowName;

constexpr auto kPatience = 20s;  // a guard against a hang, never a measure

class ReadRouterTest : public ::testing::Test {
 protected:
  ~ReadRouterTest() override { probe_->ReleaseAll(); }

  void WriteFolder(const std::string& folder, int percent) {
    testing::ClientFolderWriter(*memory_).Write(folder, {.state = "prog=0." + std::to_string(percent) + "\n",
                                                         .userInfo = "name=" + folder + "\n",
                                                         .workUnit = ""});
  }
  void AddRow(const std::string& folder, int percent) {
    WriteFolder(folder, percent);
    table_.AddLocation(folder, true);
  }
  const LocationRow* RowOf(const std::string& folder) const {
    const auto found = std::ranges::find(table_.Rows(), folder, &LocationRow::caption);
    return found != table_.Rows().end() ? &*found : nullptr;
  }
  std::string Shown(const std::string& folder) const {
    const LocationRow* row = RowOf(folder);
    return row ? row->CellText(Cell::kProgress) : "no row";
  }
  // Takes answers and settles, as the window's notices and settle timer do, until `done`.
  template <typename Done>
  bool DriveUntil(ReadRouter& router, Done done, std::chrono::milliseconds patience = kPatience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline)
        return false;
      router.TakeAnswers();
      router.Settle(std::chrono::steady_clock::now(), 300ms);
      std::this_thread::sleep_for(1ms);
    }
    return true;
  }

  std::shared_ptr<MemoryFileSystem> memory_ = std::make_shared<MemoryFileSystem>();
  std::shared_ptr<ProbeFileSystem> probe_ = std::make_shared<ProbeFileSystem>(memory_);
  LocationTable table_{ByteOrder};
  std::vector<ShownFigures> figures_;
  ReadRouter::ShowFigures show_ = [this](const ShownFigures& shown) { figures_.push_back(shown); };
};

struct FarmLayout {
  const char* name;
  const char* deadPattern;  // printf pattern of a dead folder: its server's number, its own number
  int servers;
  int folders;
  const char* livePrefix;  // sorts after the dead folders, so that their reads go out first
};

// A layout, and how late a call on a dead server fails (0: it hangs).
class DeadFarmTest : public ReadRouterTest,
                     public ::testing::WithParamInterface<std::tuple<FarmLayout, std::chrono::milliseconds>> {};

// The network goes down under a farm: whatever its layout, and whether its servers hang or fail
// late, the folders that answer are shown at every pass, threads stay within their bound, and
// when the network is back every row is fresh within the back-off's cap and one interval.
TEST_P(DeadFarmTest, FoldersThatAnswerAreReadAtEveryPass) {
  const auto& [c, failAfter] = GetParam();
  std::vector<std::string> dead, live;
  for (int i = 0; i < c.folders; ++i) {
    char folder[96];
    std::snprintf(folder, sizeof folder, c.deadPattern, i % c.servers, i);
    dead.push_back(folder);
    AddRow(folder, 10);
  }
  for (int i = 0; i < 5; ++i) {
    live.push_back(c.livePrefix + std::to_string(i));
    AddRow(live.back(), 10);
  }
  ReaderLimits limits;
  limits.retryFirst = 100ms;
  limits.retryCap = 800ms;
  ReadRouter router(table_, probe_, [] {}, show_, limits);
  constexpr auto kInterval = 2s;
  const auto showsEverywhere = [&](const std::vector<std::string>& folders, const std::string& news) {
    return [&, news] { return std::ranges::all_of(folders, [&](const auto& folder) { return Shown(folder) == news; }); };
  };
  router.BeginPass(At(0s), kInterval);
  ASSERT_TRUE(DriveUntil(router, [&] { return router.Settled(); }));

  for (const std::string& folder : dead) {
    if (failAfter > 0ms)
      probe_->Unreachable(folder, failAfter);
    else
      probe_->Block(folder);
  }
  for (int pass = 1; pass <= 3; ++pass) {
    for (const std::string& folder : live)
      WriteFolder(folder, 10 + pass);
    router.BeginPass(At(pass * kInterval), kInterval);
    EXPECT_TRUE(DriveUntil(router, showsEverywhere(live, std::to_string(10 + pass) + ".00"), kInterval))
        << "pass " << pass;
    EXPECT_LE(static_cast<std::size_t>(probe_->Waiting()), limits.probes + limits.readers) << "pass " << pass;
    // The dead hold at most the probes' budget, beside the readers' places and the threads that
    // just left one.
    EXPECT_LE(router.ThreadCount(), limits.probes + 2 * limits.readers) << "pass " << pass;
  }
  // Clicking between a dead row and a live one, once the probes have stopped: the live row's
  // figures come, the dead folder takes no further thread.
  // A dead server holds one read, and the probes stop at their budget; but the reads already out
  // when the network went down, up to `readers` of them, may all hang on one server.
  const auto units = static_cast<std::size_t>(c.deadPattern[0] == '\\' ? c.servers : c.folders);
  const std::size_t outAtTheFall = std::min<std::size_t>(limits.readers, static_cast<std::size_t>(c.folders));
  const int hungBefore = failAfter > 0ms ? 0 : static_cast<int>(std::min(std::max(units, outAtTheFall), limits.probes));
  ASSERT_TRUE(DriveUntil(router, [&] { return probe_->Waiting() == hungBefore; }));
  for (int click = 0; click < 70; ++click) {
    const std::string& folder = click % 2 == 0 ? dead[0] : live[0];
    router.RequestFigures(FigureSlot::kStatsPanel, SelectedRow{RowOf(folder)->id, folder},
                          std::chrono::steady_clock::now());
    router.TakeAnswers();
  }
  ASSERT_TRUE(
      DriveUntil(router, [&] { return !figures_.empty() && figures_.back().figures.userName == live[0]; }));
  EXPECT_EQ(probe_->Waiting(), hungBefore);

  // The network is back: every row shows fresh values, none stays late.
  for (const std::string& folder : dead)
    WriteFolder(folder, 50);
  probe_->ReleaseAll();
  router.BeginPass(At(4 * kInterval), kInterval);
  EXPECT_TRUE(DriveUntil(router, showsEverywhere(dead, "50.00"), limits.retryCap + failAfter + kInterval));
  ASSERT_TRUE(DriveUntil(router, [&] { return router.Settled(); }));
  for (const LocationRow& row : table_.Rows())
    EXPECT_EQ(std::tuple(row.late, row.CellText(Cell::kProgress) != "?"), std::tuple(false, true)) << row.caption;
}

const FarmLayout kFarms[] = {
    {"OneServerManyFolders", "\\\\nas%.0d\\farm\\m%03d", 1, 100, "z:\\live\\"},
    {"SixtyFourServers", "\\\\farm%03d\\seti%.0d", 64, 64, "z:\\live\\"},
    {"HundredServers", "\\\\farm%03d\\seti%.0d", 100, 100, "z:\\live\\"},
    {"ThousandServers", "\\\\farm%03d\\seti%.0d", 1000, 1000, "z:\\live\\"},
    {"SixteenServersOfTen", "\\\\farm%02d\\seti\\m%03d", 16, 160, "z:\\live\\"},
    {"OneServerHundredShares", "\\\\nas%.0d\\share%03d", 1, 100, "z:\\live\\"},
    {"NasOnTheLiveOnesDrive", "Z:\\srv\\nas%.0d\\host%03d\\seti", 1, 100, "Z:\\tmp\\live\\"},
    {"LongUncForm", "\\\\?\\UNC\\farm%03d\\seti%.0d", 100, 100, "z:\\live\\"},
    {"LiveServersBesideDeadOnes", "\\\\farm%03d\\seti%.0d", 100, 100, "\\\\up\\seti\\m"},
};

std::string FarmCaseName(const ::testing::TestParamInfo<DeadFarmTest::ParamType>& row) {
  return std::string(std::get<0>(row.param).name) + (std::get<1>(row.param) > 0ms ? "FailingLate" : "Hanging");
}

INSTANTIATE_TEST_SUITE_P(Farms, DeadFarmTest, ::testing::Combine(::testing::ValuesIn(kFarms), ::testing::Values(0ms, 400ms)),
                         FarmCaseName);

struct LossCase {
  const char* name;
  int droppedNotices;      // the window never hears of this many notices
  int failedThreadStarts;  // starting a thread throws this many times
  bool showingThrows;      // showing figures throws
};

class NothingLostTest : public ReadRouterTest, public ::testing::WithParamInterface<LossCase> {};

TEST_P(NothingLostTest, TheNextPassShowsEveryFolder) {
  const LossCase& c = GetParam();
  AddRow("C:\\a", 20);
  AddRow("C:\\b", 30);
  std::atomic<int> notices{0};
  std::atomic<int> startsRefused{0};
  ReaderLimits limits;
  limits.retryStart = 5ms;
  // The one notice comes when every read handed out has answered, never part-way through on a
  // loaded machine: the next pass must find all of them waiting.
  limits.gatherFor = kPatience;
  limits.startThread = [&](std::function<void()> body) {
    if (startsRefused < c.failedThreadStarts) {
      ++startsRefused;
      throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    }
    std::thread(std::move(body)).detach();
  };
  ReadRouter router(
      table_, probe_, [&] { ++notices; },
      [&](const ShownFigures& shown) {
        if (c.showingThrows)
          throw std::runtime_error("cannot show");
        figures_.push_back(shown);
      },
      limits);

  // Nothing answers before every read is out, so that all of them come under one notice.
  probe_->Block("C:\\");
  router.RequestFigures(FigureSlot::kStatsPanel, SelectedRow{table_.Row(0).id, "C:\\a"}, {});
  router.BeginPass(At(0s), 15s);
  probe_->Release("C:\\");
  // The window hears nothing of the dropped notices; it only takes answers when told.
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  int thrown = 0;
  while (notices == 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(1ms);
  ASSERT_EQ(notices, 1);
  const auto countingThrows = [&thrown](const std::function<void()>& call) {
    try {
      call();
    } catch (const std::runtime_error&) {
      ++thrown;
    }
  };
  if (c.droppedNotices == 0)
    countingThrows([&] { router.TakeAnswers(); });
  // The next tick: whatever was lost before, the waiting answers are taken and the pass goes on.
  countingThrows([&] { router.BeginPass(At(15s), 15s); });
  router.Settle({}, 300ms);
  // Both reads are handed out again by the second pass.
  EXPECT_EQ(
      std::tuple(thrown > 0, Shown("C:\\a"), Shown("C:\\b"), startsRefused.load(), table_.ReadsOutstanding()),
      std::tuple(c.showingThrows, "20.00", "30.00", c.failedThreadStarts, 2u));
  if (!c.showingThrows) {
    ASSERT_EQ(figures_.size(), 1u);
    EXPECT_EQ(figures_[0].figures.userName, "C:\\a");
  }
}

const LossCase kLosses[] = {
    {"ANoticeThatIsNotPosted", 1, 0, false},
    {"AThreadThatCannotBeStarted", 0, 3, false},
    {"ShowingABatchThrows", 0, 0, true},
};

INSTANTIATE_TEST_SUITE_P(Failures, NothingLostTest, ::testing::ValuesIn(kLosses), RowName());

}  // namespace
}  // namespace velmora

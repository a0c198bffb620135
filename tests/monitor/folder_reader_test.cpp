// The reading threads: every request answered once, a folder that does not answer holds only the
// thread it blocks, the thread count stays within its limit, and nothing waits for a blocked read
// when the reader goes. Also run under ThreadSanitizer.
#include "monitor/folder_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "core/file_system.h"
#include "monitor/server_keys.h"
#include "tests/support/client_folder_writer.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/named_rows.h"
#include "tests/support/probe_file_system.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using testing::MemoryFileSystem;
using testing::ProbeFileSystem;
using testing::RowName;
using testing::TempFolder;

// A guard against a hang, never a measure: the tests wait for conditions, not for time.
constexpr auto kPatience = 20s;

using AnswersByTicket = std::map<std::uint64_t, ReadAnswer>;

std::function<bool(const AnswersByTicket&)> Has(std::set<std::uint64_t> tickets) {
  return [tickets](const AnswersByTicket& answers) {
    return std::ranges::all_of(tickets, [&](std::uint64_t ticket) { return answers.contains(ticket); });
  };
}

// Collects the answers as the window would: told that some wait, it takes them.
class AnswerSink {
 public:
  std::function<void()> Notifier() {
    return [this] {
      std::lock_guard lock(mutex_);
      ++notices_;
      changed_.notify_all();
    };
  }

  // Takes what waits until `done` holds for the answers so far. False on running out of patience.
  bool TakeUntil(FolderReader& reader, const std::function<bool(const AnswersByTicket&)>& done) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    for (;;) {
      for (ReadAnswer& answer : reader.TakeAnswers()) {
        ++answerCount_[answer.ticket];
        answers_[answer.ticket] = std::move(answer);
      }
      if (done(answers_))
        return true;
      std::unique_lock lock(mutex_);
      if (changed_.wait_until(lock, deadline, [&] { return notices_ > seenNotices_; }))
        seenNotices_ = notices_;
      else if (std::chrono::steady_clock::now() >= deadline)
        return false;
    }
  }

  // Submits `asked` and takes the answers until each has come.
  bool TakeAllOf(FolderReader& reader, const std::vector<ReadRequest>& asked) {
    std::set<std::uint64_t> tickets;
    for (const ReadRequest& request : asked)
      tickets.insert(request.ticket);
    reader.Submit(asked);
    return TakeUntil(reader, Has(tickets));
  }

  // Each read answered once, as the same read of `fs` on this thread answers it.
  void ExpectAnsweredAsRead(FileSystem& fs, const std::vector<ReadRequest>& asked) const {
    EXPECT_EQ(answers_.size(), asked.size());
    for (const ReadRequest& request : asked) {
      SCOPED_TRACE(request.folder + " #" + std::to_string(request.ticket));
      const ReadAnswer expected = AnswerRequest(fs, request);
      const ReadAnswer& answer = answers_.at(request.ticket);
      EXPECT_EQ(std::tie(answerCount_.at(request.ticket), answer.failed, answer.kind, answer.row,
                         answer.figures.userName, answer.figures.progress, answer.figures.totalUnits),
                std::tuple(1, false, request.kind, expected.row, expected.figures.userName,
                           expected.figures.progress, expected.figures.totalUnits));
    }
  }

  const AnswersByTicket& Answers() const { return answers_; }
  const std::map<std::uint64_t, int>& Counts() const { return answerCount_; }
  int Notices() {
    std::lock_guard lock(mutex_);
    return notices_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int notices_ = 0;
  int seenNotices_ = 0;
  AnswersByTicket answers_;
  std::map<std::uint64_t, int> answerCount_;
};

class FolderReaderTest : public ::testing::Test {
 protected:
  FolderReaderTest() {
    for (int i = 0; i < 8; ++i) {
      testing::ClientFolderWriter(*memory_).Write(
          Folder(i), {.state = "prog=0." + std::to_string(i + 1) + "\ncpu=60\n",
                      .userInfo = "name=crew " + std::to_string(i) + "\nnresults=3\ntotal_cpu=90\n",
                      .workUnit = ""});
    }
  }
  ~FolderReaderTest() override { probe_->ReleaseAll(); }

  static std::string Folder(int i) { return "C:\\seti" + std::to_string(i); }

  std::shared_ptr<MemoryFileSystem> memory_ = std::make_shared<MemoryFileSystem>();
  std::shared_ptr<ProbeFileSystem> probe_ = std::make_shared<ProbeFileSystem>(memory_);
  AnswerSink sink_;
};

TEST_F(FolderReaderTest, AnswersEveryRequestOnceWithWhatTheFolderHolds) {
  FolderReader reader(probe_, sink_.Notifier());
  std::vector<ReadRequest> asked;
  for (std::uint64_t ticket = 1; ticket <= 40; ++ticket) {
    const ReadKind kind = ticket % 3 == 0 ? ReadKind::kFigures : ReadKind::kRow;
    asked.push_back({ticket, kind, Folder(static_cast<int>(ticket % 8))});
  }
  ASSERT_TRUE(sink_.TakeAllOf(reader, asked));
  sink_.ExpectAnsweredAsRead(*memory_, asked);
  EXPECT_LE(reader.ThreadCount(), ReaderLimits{}.readers);
}

struct HangCase {
  const char* name;
  ReaderLimits limits;
  int blocked;        // folders 0.. that do not answer
  bool othersAnswer;  // the rest answer while those hang
  std::size_t threadsWhileHung;
};

class FolderReaderHangTest : public FolderReaderTest, public ::testing::WithParamInterface<HangCase> {};

TEST_P(FolderReaderHangTest, AFolderThatDoesNotAnswerHoldsOnlyItsThread) {
  const HangCase& c = GetParam();
  for (int i = 0; i < c.blocked; ++i)
    probe_->Block(Folder(i));
  FolderReader reader(probe_, sink_.Notifier(), c.limits);
  std::vector<ReadRequest> requests;
  std::set<std::uint64_t> hung, free;
  for (int i = 0; i < 8; ++i) {
    const auto ticket = static_cast<std::uint64_t>(i + 1);
    requests.push_back({ticket, ReadKind::kRow, Folder(i)});
    (i < c.blocked ? hung : free).insert(ticket);
  }
  reader.Submit(std::move(requests));

  const int stuck =
      static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(c.blocked), c.limits.maxThreads));
  ASSERT_TRUE(probe_->WaitUntilWaiting(stuck, kPatience));
  if (c.othersAnswer) {
    ASSERT_TRUE(sink_.TakeUntil(reader, Has(free)));
  }
  for (const std::uint64_t ticket : hung)
    EXPECT_FALSE(sink_.Answers().contains(ticket)) << ticket;
  EXPECT_EQ(probe_->Waiting(), stuck);
  EXPECT_LE(reader.ThreadCount(), c.limits.maxThreads);
  if (!c.othersAnswer) {
    // Every thread is blocked: the other reads wait their turn.
    EXPECT_EQ(std::tuple(reader.ThreadCount(), sink_.Answers().size()), std::tuple(c.threadsWhileHung, 0u));
  }

  probe_->ReleaseAll();
  ASSERT_TRUE(sink_.TakeUntil(reader, Has({1, 2, 3, 4, 5, 6, 7, 8})));
  for (const auto& [ticket, count] : sink_.Counts())
    EXPECT_EQ(count, 1) << ticket;
}

const HangCase kHangs[] = {{"OneHungBesideOneReader", {1, 8, 10ms, 10s}, 1, true, 0},
                           {"ThreeHungBesideTwoReaders", {2, 8, 10ms, 10s}, 3, true, 0},
                           {"AsManyHungAsThreadsAllowed", {2, 3, 10ms, 10s}, 5, false, 3}};

INSTANTIATE_TEST_SUITE_P(Limits, FolderReaderHangTest, ::testing::ValuesIn(kHangs), RowName());

// The platform's own file system, read from every thread at once (the in-memory and probe file
// systems order their calls under a lock, which would hide a race).
TEST_F(FolderReaderTest, ReadsRealFoldersOnDiskFromManyThreads) {
  TempFolder disk;
  std::vector<ReadRequest> requests;
  for (int i = 0; i < 40; ++i) {
    const std::string name = "farm" + std::to_string(i % 4) + "\\m" + std::to_string(i);
    testing::ClientFolderWriter(disk).Write(
        name, {.state = "prog=0." + std::to_string(i + 10) + "\ncpu=" + std::to_string(i) + "\n",
               .userInfo = "name=m" + std::to_string(i) + "\nnresults=4\n",
               .result = i % 3 == 0 ? "" : nullptr});
    for (const ReadKind kind : {ReadKind::kRow, ReadKind::kFigures})
      requests.push_back({requests.size() + 1, kind, disk.ProgramPath(name)});
  }
  const std::shared_ptr<FileSystem> fs = MakePlatformFileSystem();
  FolderReader reader(fs, sink_.Notifier(), {4, 8, 1ms, 10s});
  ASSERT_TRUE(sink_.TakeAllOf(reader, requests));
  sink_.ExpectAnsweredAsRead(*fs, requests);
}

// Code page 932: 0x95 0x5C is one character whose second byte is a backslash, 0x83 0x41 one whose
// second byte is "A".
const CharSizes kJapanese = CharSizes::DoubleByte([](unsigned char b) { return (b >= 0x81 && b <= 0x9F) || b >= 0xE0; });

struct ServerCase {
  const char* folder;
  const CharSizes* chars;
  const char* server;
  std::vector<std::string> ancestors;  // of the server
};

TEST(ServerOfTest, FoldersThatFallTogetherMeet) {
  const CharSizes western = CharSizes::SingleByte();
  for (const ServerCase& c : {
           ServerCase{"\\\\Nas\\Farm\\m01", &western, "\\\\nas", {"\\\\", "\\\\nas"}},
           ServerCase{"\\\\nas\\other\\deep\\m01\\", &western, "\\\\nas", {"\\\\", "\\\\nas"}},
           ServerCase{"//nas/farm/m01", &western, "\\\\nas", {"\\\\", "\\\\nas"}},
           ServerCase{"\\\\?\\UNC\\Nas\\farm\\m01", &western, "\\\\nas", {"\\\\", "\\\\nas"}},
           ServerCase{"\\\\?\\C:\\Seti\\", &western, "c:\\seti", {"c:", "c:\\seti"}},
           ServerCase{"Z:\\nas\\host001\\seti", &western, "z:\\nas\\host001", {"z:", "z:\\nas", "z:\\nas\\host001"}},
           ServerCase{"C:\\seti\\", &western, "c:\\seti", {"c:", "c:\\seti"}},
           ServerCase{"/srv/farm/m1", &western, "\\srv\\farm", {"\\srv", "\\srv\\farm"}},
           ServerCase{"\\m01", &western, "\\m01", {"\\m01"}},
           ServerCase{"seti", &western, "seti", {"seti"}},
           // Read by characters: the trail bytes are neither cut at nor folded.
           ServerCase{"C:\\SETI\\\x95\\\\m1", &kJapanese, "c:\\seti\\\x95\\", {"c:", "c:\\seti", "c:\\seti\\\x95\\"}},
           ServerCase{"\\\\Srv\x95\\\\seti\\m1", &kJapanese, "\\\\srv\x95\\", {"\\\\", "\\\\srv\x95\\"}},
           ServerCase{"\\\\Srv\x83\x41\\seti", &kJapanese, "\\\\srv\x83\x41", {"\\\\", "\\\\srv\x83\x41"}},
       }) {
    const std::string server = ServerOf(c.folder, *c.chars);
    EXPECT_EQ(std::tuple(server, AncestorsOf(server, *c.chars)), std::tuple(c.server, c.ancestors)) << c.folder;
  }
}

// A folder that cannot be reached is asked once, whichever read asks.
TEST_F(FolderReaderTest, OneCallThatCannotReachTheFolderEndsTheRead) {
  probe_->Unreachable(Folder(0), 0ms);
  for (const ReadKind kind : {ReadKind::kRow, ReadKind::kFigures}) {
    const std::uint64_t before = probe_->CallCount();
    bool unreachable = false;
    AnswerRequest(*probe_, {1, kind, Folder(0)}, &unreachable);
    EXPECT_EQ(std::tuple(probe_->CallCount() - before, unreachable), std::tuple(1u, true));
  }
}

TEST_F(FolderReaderTest, GoingAwayNeverWaitsForABlockedRead) {
  probe_->Block(Folder(0));
  int noticesBefore = 0;
  {
    FolderReader reader(probe_, sink_.Notifier());
    reader.Submit({{1, ReadKind::kRow, Folder(0)}});
    ASSERT_TRUE(probe_->WaitUntilWaiting(1, kPatience));
    noticesBefore = sink_.Notices();
  }  // a join here would wait for ever
  EXPECT_EQ(probe_->Waiting(), 1);
  probe_->ReleaseAll();
  // The thread comes back to a reader that is gone: its answer is dropped, nobody is told.
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (probe_->Waiting() != 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::yield();
  EXPECT_EQ(sink_.Notices(), noticesBefore);
}

TEST_F(FolderReaderTest, IdleThreadsEnd) {
  FolderReader reader(probe_, sink_.Notifier(), {4, 8, 250ms, 1ms});
  reader.Submit({{1, ReadKind::kRow, Folder(1)}, {2, ReadKind::kRow, Folder(2)}});
  ASSERT_TRUE(sink_.TakeUntil(reader, Has({1, 2})));
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (reader.ThreadCount() != 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(1ms);
  EXPECT_EQ(reader.ThreadCount(), 0u);
  // And new work starts new ones.
  reader.Submit({{3, ReadKind::kRow, Folder(3)}});
  ASSERT_TRUE(sink_.TakeUntil(reader, Has({3})));
}

}  // namespace
}  // namespace velmora

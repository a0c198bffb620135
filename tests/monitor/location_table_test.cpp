// The location table model: adding rows in caption order, and the refresh pass that fills cells,
// icons and counters from each enabled row's folder and reports what it changed.
#include "monitor/location_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/client_folder_writer.h"
#include "tests/support/inline_pass.h"
#include "tests/support/memory_file_system.h"

namespace velmora {
namespace {

using testing::At;
using testing::ByteOrder;
using testing::ClientFiles;
using testing::ClientFolderWriter;
using testing::MemoryFileSystem;
using testing::RefreshNow;
using Cells = std::array<std::string, kCellCount>;

// Case-blind, so that two different captions can compare equal.
int CaseBlindOrder(const char* a, const char* b) {
  for (;; ++a, ++b) {
    const int ca = std::tolower(static_cast<unsigned char>(*a));
    const int cb = std::tolower(static_cast<unsigned char>(*b));
    if (ca != cb || ca == 0)
      return ca - cb;
  }
}

int ReverseOrder(const char* a, const char* b) {
  return std::strcmp(b, a);
}

constexpr LocalDateTime kStateTime{2024, 3, 9, 7, 5, 41};
constexpr const char* kStateDate = "2024.03.09  07:05";

void MakeClientFolder(MemoryFileSystem& fs, const std::string& folder, const ClientFiles& files) {
  ClientFolderWriter(fs).Write(folder, files, {.state = kStateTime});
}

using Rows = std::vector<std::size_t>;

// What a pass reported: whether it ran, the rows it changed, and whether the counters changed.
std::tuple<bool, Rows, bool> Report(const RefreshOutcome& outcome) {
  return {outcome.ran, outcome.changedRows, outcome.countersChanged};
}

// What a row shows: its cells and its icon.
std::tuple<Cells, int> Look(const LocationRow& row) {
  return {row.reading.cells, row.reading.icon};
}

const Cells kUnread{"?", "?", "?", "?", "?"};

std::vector<std::string> Captions(const LocationTable& table) {
  std::vector<std::string> captions;
  for (const LocationRow& row : table.Rows())
    captions.push_back(row.caption);
  return captions;
}

class LocationTableTest : public ::testing::Test {
 protected:
  void AddEnabled(std::initializer_list<const char*> paths) {
    for (const char* path : paths)
      table_.AddLocation(path, true);
  }

  MemoryFileSystem fs_;
  LocationTable table_{ByteOrder};
};

TEST_F(LocationTableTest, AddLocationTrimsAndSkipsBlankPaths) {
  // A path and its caption; nullopt: nothing is added.
  const std::vector<std::tuple<const char*, std::optional<std::string>>> cases = {
      {"", std::nullopt},
      {"   ", std::nullopt},
      {" \t\r\n\x01", std::nullopt},
      {"C:\\seti", "C:\\seti"},
      {"  C:\\seti\\  ", "C:\\seti\\"},
      {"\tD:\\my seti\r\n", "D:\\my seti"}};
  for (const auto& [path, caption] : cases) {
    LocationTable table(ByteOrder);
    const std::optional<std::size_t> index = table.AddLocation(path, false);
    if (!caption) {
      EXPECT_FALSE(index.has_value()) << '"' << path << '"';
      EXPECT_EQ(table.Count(), 0u) << '"' << path << '"';
      continue;
    }
    ASSERT_EQ(index, std::optional<std::size_t>(0)) << '"' << path << '"';
    const LocationRow& row = table.Row(0);
    EXPECT_EQ(std::tuple(row.caption, row.enabled, Look(row)),
              std::tuple(*caption, false, std::tuple(kUnread, kIconNone)));
  }
}

struct OrderCase {
  const char* name;
  CaptionOrder order;
  std::vector<const char*> added;
  std::vector<std::size_t> placesReturned;
  std::vector<std::string> shown;
};

TEST_F(LocationTableTest, RowsTakeTheirSortedPlace) {
  const std::vector<OrderCase> cases = {
      {"added out of order", ByteOrder, {"D:\\b", "C:\\a"}, {0, 0}, {"C:\\a", "D:\\b"}},
      {"in the middle", ByteOrder, {"C:\\a", "E:\\c", "D:\\b"}, {0, 1, 1}, {"C:\\a", "D:\\b", "E:\\c"}},
      {"equal captions go after",
       CaseBlindOrder,
       {"c:\\x", "C:\\X", "b:\\"},
       {0, 1, 0},
       {"b:\\", "c:\\x", "C:\\X"}},
      {"duplicates are kept", ByteOrder, {"C:\\a", "C:\\a"}, {0, 1}, {"C:\\a", "C:\\a"}},
      {"the given order rules", ReverseOrder, {"C:\\a", "D:\\b"}, {0, 0}, {"D:\\b", "C:\\a"}}};
  for (const OrderCase& c : cases) {
    LocationTable table(c.order);
    std::vector<std::size_t> places;
    for (const char* path : c.added)
      places.push_back(table.AddLocation(path, true).value());
    EXPECT_EQ(places, c.placesReturned) << c.name;
    EXPECT_EQ(Captions(table), c.shown) << c.name;
  }
}

std::string LowerKey(const char* caption) {
  std::string key = caption;
  for (char& c : key)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

using ShownRows = std::vector<std::pair<std::string, bool>>;

ShownRows Shown(const LocationTable& table) {
  ShownRows shown;
  for (const LocationRow& row : table.Rows())
    shown.emplace_back(row.caption, row.enabled);
  return shown;
}

struct BatchCase {
  const char* name;
  CaptionOrder order;
  CaptionKey key;
  std::vector<StoredLocation> before;  // added one by one first
  std::vector<StoredLocation> batch;
};

// Whatever the sort key says, even when it disagrees with the order, a batch gives the rows that
// adding each location in turn gives.
TEST_F(LocationTableTest, ABatchGivesTheRowsOfAddingOneByOne) {
  const std::vector<StoredLocation> mixed = {{"D:\\b", true},  {" ", true},         {"c:\\x", false},
                                             {"C:\\X", true},  {"b:\\", false},     {"C:\\a", true},
                                             {"c:\\X", false}, {"\tC:\\a ", false}, {"A:\\z", true}};
  const std::vector<BatchCase> cases = {
      {"no key", ByteOrder, nullptr, {}, mixed},
      {"a key that agrees", ByteOrder, +[](const char* c) { return std::string(c); }, {}, mixed},
      {"equal captions keep their order", CaseBlindOrder, &LowerKey, {}, mixed},
      {"a key that disagrees", ReverseOrder, &LowerKey, {}, mixed},
      {"a key that ties everything", CaseBlindOrder, +[](const char*) { return std::string(); }, {}, mixed},
      {"already in order", ByteOrder, nullptr, {}, {{"A", true}, {"B", false}, {"B", true}, {"C", true}}},
      {"rows already there go first", CaseBlindOrder, &LowerKey, {{"C:\\x", false}, {"b", true}}, mixed},
      {"nothing but blanks", ByteOrder, &LowerKey, {{"C:\\a", true}}, {{"", true}, {"  ", false}}}};
  for (const BatchCase& c : cases) {
    LocationTable oneByOne(c.order);
    LocationTable batched(c.order, c.key);
    for (const StoredLocation& location : c.before) {
      oneByOne.AddLocation(location.path, location.enabled);
      batched.AddLocation(location.path, location.enabled);
    }
    for (const StoredLocation& location : c.batch)
      oneByOne.AddLocation(location.path, location.enabled);
    batched.AddLocations(c.batch);
    EXPECT_EQ(Shown(batched), Shown(oneByOne)) << c.name;
  }
}

TEST_F(LocationTableTest, RemoveAtAndClear) {
  AddEnabled({"C:\\a", "C:\\b", "C:\\c"});
  table_.RemoveAt(1);
  EXPECT_EQ(Captions(table_), (std::vector<std::string>{"C:\\a", "C:\\c"}));
  EXPECT_THROW(table_.RemoveAt(2), std::out_of_range);
  table_.Clear();
  EXPECT_EQ(table_.Count(), 0u);
}

struct FolderStateCase {
  const char* name;
  bool folderExists;
  ClientFiles files;
  int icon;
  Cells cells;
};

TEST_F(LocationTableTest, RefreshShowsFolderState) {
  const Cells unitOnly{"?", "+", "-", "-", "-"};
  const Cells resultOnly{"?", "-", "-", "+", "-"};
  const std::vector<FolderStateCase> cases = {
      {"missing folder", false, {}, kIconNoFolder, {"?", "-", "-", "-", "-"}},
      {"empty folder", true, {}, kIconNone, {"?", "-", "-", "-", "-"}},
      {"temporary result only", true, {.tempResult = ""}, kIconTempResult, {"?", "-", "-", "-", "-"}},
      {"work unit only", true, {.workUnit = ""}, kIconWorkUnit, unitOnly},
      {"work unit over temporary result", true, {.workUnit = "", .tempResult = ""}, kIconWorkUnit, unitOnly},
      {"result only", true, {.result = ""}, kIconResult, resultOnly},
      {"result over work unit", true, {.workUnit = "", .result = ""}, kIconResult, {"?", "+", "-", "+", "-"}},
      {"result over temporary result", true, {.result = "", .tempResult = ""}, kIconResult, resultOnly},
      {"everything",
       true,
       {.state = "prog=0.5", .workUnit = "", .result = "", .tempResult = ""},
       kIconResult,
       {"50.00", "+", "+", "+", kStateDate}},
      {"state only", true, {.state = "prog=0.5\ncpu=10"}, kIconNone, {"50.00", "-", "+", "-", kStateDate}},
      {"state without progress", true, {.state = "cpu=10"}, kIconNone, {"?", "-", "+", "-", kStateDate}}};
  for (const FolderStateCase& c : cases) {
    MemoryFileSystem fs;
    if (c.folderExists)
      MakeClientFolder(fs, "C:\\seti", c.files);
    LocationTable table(ByteOrder);
    table.AddLocation("C:\\seti", true);
    RefreshNow(table, fs);
    EXPECT_EQ(Look(table.Row(0)), std::tuple(c.cells, c.icon)) << c.name;
  }
}

TEST_F(LocationTableTest, FolderNamedLikeClientFileIsNotThatFile) {
  fs_.AddFolder("C:\\seti\\result.sah");
  fs_.AddFolder("C:\\seti\\work_unit.sah");
  table_.AddLocation("C:\\seti", true);
  RefreshNow(table_, fs_);
  EXPECT_EQ(std::tuple(Look(table_.Row(0)), table_.StatusTexts()[2]),
            std::tuple(std::tuple(Cells{"?", "-", "-", "-", "-"}, kIconNone), " Ready: 0"));
}

struct ProgressCase {
  const char* name;
  const char* state;  // nullptr: no state.sah
  bool held;          // the client holds state.sah open for writing
  const char* cell;
  int work;
};

TEST_F(LocationTableTest, ProgressCellAndWorkCount) {
  const std::vector<ProgressCase> cases = {{"half done", "prog=0.5", false, "50.00", 1},
                                           {"zero counts as work", "prog=0", false, "0.00", 1},
                                           {"unparsable reads as zero", "prog=abc", false, "0.00", 1},
                                           {"rounded to two decimals", "prog=0.453216", false, "45.32", 1},
                                           {"halves away from zero", "prog=0.00125", false, "0.13", 1},
                                           {"not clamped", "prog=1.5", false, "150.00", 1},
                                           {"comma as decimal mark", "PROG=0,25", false, "25.00", 1},
                                           {"negative is missing", "prog=-0.01", false, "?", 0},
                                           {"no progress line", "cpu=3600", false, "?", 0},
                                           {"empty state file", "", false, "?", 0},
                                           {"held open by the client", "prog=0.5", true, "?", 0},
                                           {"no state file", nullptr, false, "?", 0}};
  for (const ProgressCase& c : cases) {
    MemoryFileSystem fs;
    MakeClientFolder(fs, "C:\\seti", {.state = c.state});
    if (c.held)
      fs.SetHeldForWriting("C:\\seti\\state.sah", true);
    LocationTable table(ByteOrder);
    table.AddLocation("C:\\seti", true);
    RefreshNow(table, fs);
    // A state file that exists shows its date even when it gave no progress.
    EXPECT_EQ(
        std::tuple(table.Row(0).CellText(Cell::kProgress), table.Counters().work, table.StatusTexts()[1],
                   table.Row(0).CellText(Cell::kLastDate)),
        std::tuple(c.cell, c.work, " Work: " + std::to_string(c.work), c.state != nullptr ? kStateDate : "-"))
        << c.name;
  }
}

TEST_F(LocationTableTest, LastDateIsToTheMinute) {
  fs_.AddFile("C:\\seti\\state.sah", "prog=0.1", {1999, 12, 31, 23, 59, 59});
  fs_.AddFile("C:\\early\\state.sah", "prog=0.1", {2005, 1, 2, 3, 4, 0});
  // A time the two-second date form cannot hold is no time: the file is there, the date empty.
  fs_.AddFile("C:\\unix-epoch\\state.sah", "prog=0.1", {1970, 1, 1, 0, 0, 0});
  AddEnabled({"C:\\seti", "C:\\early", "C:\\unix-epoch"});
  RefreshNow(table_, fs_);
  EXPECT_EQ(std::tuple(table_.Row(0).CellText(Cell::kLastDate), table_.Row(1).CellText(Cell::kLastDate),
                       table_.Row(2).CellText(Cell::kState), table_.Row(2).CellText(Cell::kLastDate)),
            std::tuple("2005.01.02  03:04", "1999.12.31  23:59", "+", ""));
}

// Three rows: one at work, one finished, one unreadable; the counters and their texts.
TEST_F(LocationTableTest, CountersCoverEveryRow) {
  MakeClientFolder(fs_, "C:\\a", {.state = "prog=0.2", .workUnit = ""});
  MakeClientFolder(fs_, "C:\\b", {.state = "prog=1", .result = ""});
  AddEnabled({"C:\\a", "C:\\b", "C:\\missing"});
  RefreshNow(table_, fs_);
  EXPECT_EQ(table_.Counters(), (LocationCounters{3, 2, 1}));
  EXPECT_EQ(table_.StatusTexts(), (std::array<std::string, 3>{" Total: 3", " Work: 2", " Ready: 1"}));
}

TEST_F(LocationTableTest, DisabledRowKeepsProgressEmptiesTheRestAndStillCounts) {
  MakeClientFolder(fs_, "C:\\seti", {.state = "prog=0.5", .workUnit = "", .result = ""});
  table_.AddLocation("C:\\seti", true);
  table_.AddLocation("D:\\never", false);
  RefreshNow(table_, fs_);
  ASSERT_EQ(table_.Row(0).reading.cells, (Cells{"50.00", "+", "+", "+", kStateDate}));

  table_.SetEnabled(0, false);
  const std::uint64_t callsBefore = fs_.CallCount();
  RefreshNow(table_, fs_);
  // Disabled rows are not read at all.
  EXPECT_EQ(std::tuple(fs_.CallCount(), Look(table_.Row(0)), Look(table_.Row(1))),
            std::tuple(callsBefore, std::tuple(Cells{"50.00", "", "", "", ""}, kIconDisabled),
                       std::tuple(Cells{"?", "", "", "", ""}, kIconDisabled)));
  EXPECT_EQ(table_.StatusTexts(), (std::array<std::string, 3>{" Total: 2", " Work: 0", " Ready: 0"}));
}

TEST_F(LocationTableTest, SpyingOffChangesNothing) {
  MakeClientFolder(fs_, "C:\\seti", {.state = "prog=0.5"});
  table_.AddLocation("C:\\seti", true);
  RefreshNow(table_, fs_);
  const std::vector<LocationRow> rowsBefore = table_.Rows();
  const std::array<std::string, 3> textsBefore = table_.StatusTexts();

  table_.SetSpyingEnabled(false);
  MakeClientFolder(fs_, "C:\\seti", {.state = "prog=0.9", .workUnit = "", .result = ""});
  table_.AddLocation("D:\\new", true);
  table_.SetEnabled(0, false);
  const std::uint64_t callsBefore = fs_.CallCount();
  const RefreshOutcome outcome = RefreshNow(table_, fs_);

  EXPECT_EQ(
      std::tuple(Report(outcome), fs_.CallCount(), table_.Row(0).reading, table_.Row(1).reading.cells,
                 table_.StatusTexts()),
      std::tuple(std::tuple(false, Rows{}, false), callsBefore, rowsBefore[0].reading, kUnread, textsBefore));
}

TEST_F(LocationTableTest, StatusTextsStayEmptyUntilTheFirstPass) {
  table_.AddLocation("C:\\seti", true);
  table_.SetSpyingEnabled(false);
  RefreshNow(table_, fs_);
  EXPECT_EQ(table_.StatusTexts(), (std::array<std::string, 3>{}));
  table_.SetSpyingEnabled(true);
  EXPECT_TRUE(RefreshNow(table_, fs_).countersChanged);
  EXPECT_EQ(table_.StatusTexts()[0], " Total: 1");
}

TEST_F(LocationTableTest, NewRowShowsQuestionMarksUntilTheNextPass) {
  MakeClientFolder(fs_, "C:\\a", {.state = "prog=0.5"});
  MakeClientFolder(fs_, "C:\\b", {.state = "prog=0.7"});
  table_.AddLocation("C:\\b", true);
  RefreshNow(table_, fs_);
  ASSERT_EQ(table_.AddLocation("C:\\a", true), std::optional<std::size_t>(0));
  EXPECT_EQ(Look(table_.Row(0)), std::tuple(kUnread, kIconNone));
  EXPECT_EQ(table_.Row(1).CellText(Cell::kProgress), "70.00");
  const RefreshOutcome outcome = RefreshNow(table_, fs_);
  EXPECT_EQ(std::tuple(table_.Row(0).CellText(Cell::kProgress), outcome.changedRows),
            std::tuple("50.00", Rows{0}));
}

struct FileChange {
  const char* path;
  const char* contents;  // nullptr: removed
  LocalDateTime time = MemoryFileSystem::kDefaultFileTime;
};

// What one change between two passes reports; the window repaints exactly these rows.
struct ChangeCase {
  const char* name;
  Rows changedRows;
  bool countersChanged;
  std::vector<FileChange> files;
  std::optional<std::size_t> disabledRow = std::nullopt;
};

TEST_F(LocationTableTest, PassReportsExactlyWhatChanged) {
  const std::vector<ChangeCase> cases = {
      {"nothing", {}, false, {}},
      {"progress of one unit", {1}, false, {{"C:\\b\\state.sah", "prog=0.75", kStateTime}}},
      {"state file rewritten a minute later",
       {1},
       false,
       {{"C:\\b\\state.sah", "prog=0.5", {2024, 3, 9, 7, 6, 0}}}},
      {"state file rewritten within the same minute",
       {},
       false,
       {{"C:\\b\\state.sah", "prog=0.5", {2024, 3, 9, 7, 5, 58}}}},
      {"a result arrives", {2}, true, {{"C:\\c\\result.sah", ""}}},
      {"a temporary result only changes the icon", {0}, false, {{"C:\\a\\wtemp.sah", ""}}},
      {"a folder disappears", {0}, true, {{"C:\\a", nullptr}}},
      {"a row without progress is disabled", {2}, false, {}, 2},
      {"a row at work is disabled", {1}, true, {}, 1},
      {"two rows change",
       {0, 2},
       true,
       {{"C:\\a\\result.sah", ""}, {"C:\\c\\state.sah", "prog=0.3", kStateTime}}}};
  for (const ChangeCase& c : cases) {
    MemoryFileSystem fs;
    MakeClientFolder(fs, "C:\\a", {.state = "prog=0.1"});
    MakeClientFolder(fs, "C:\\b", {.state = "prog=0.5", .workUnit = ""});
    MakeClientFolder(fs, "C:\\c", {});
    LocationTable table(ByteOrder);
    for (const char* path : {"C:\\a", "C:\\b", "C:\\c"})
      table.AddLocation(path, true);
    const RefreshOutcome first = RefreshNow(table, fs);
    ASSERT_EQ(Report(first), std::tuple(true, Rows{0, 1, 2}, true)) << c.name;

    const std::vector<LocationRow> before = table.Rows();
    for (const FileChange& file : c.files) {
      if (file.contents != nullptr)
        fs.AddFile(file.path, file.contents, file.time);
      else
        fs.Remove(file.path);
    }
    if (c.disabledRow)
      table.SetEnabled(*c.disabledRow, false);
    const RefreshOutcome second = RefreshNow(table, fs);
    EXPECT_EQ(Report(second), std::tuple(true, c.changedRows, c.countersChanged)) << c.name;
    // The report must match the rows: reported rows differ, the others are untouched.
    for (std::size_t i = 0; i < table.Count(); ++i) {
      const bool reported = std::find(c.changedRows.begin(), c.changedRows.end(), i) != c.changedRows.end();
      EXPECT_EQ(Look(table.Row(i)) != Look(before[i]), reported) << c.name << ", row " << i;
    }
  }
}

TEST_F(LocationTableTest, DisabledRowIsNotReportedAgain) {
  MakeClientFolder(fs_, "C:\\seti", {.state = "prog=0.5"});
  table_.AddLocation("C:\\seti", false);
  EXPECT_EQ(RefreshNow(table_, fs_).changedRows, (Rows{0}));
  MakeClientFolder(fs_, "C:\\seti", {.state = "prog=0.9", .result = ""});
  EXPECT_EQ(Report(RefreshNow(table_, fs_)), std::tuple(true, Rows{}, false));
}

// --- Passes whose folders answer late, on a clock of the test's own ---------------------------

using namespace std::chrono_literals;

const ReadRequest* ReadOf(const PassStart& start, const std::string& folder) {
  const auto found = std::ranges::find(start.reads, folder, &ReadRequest::folder);
  return found != start.reads.end() ? &*found : nullptr;
}

class LateAnswerTest : public LocationTableTest {
 protected:
  LateAnswerTest() {
    MakeClientFolder(fs_, "C:\\a", {.state = "prog=0.2", .workUnit = ""});
    MakeClientFolder(fs_, "C:\\b", {.state = "prog=0.7", .workUnit = "", .result = ""});
    AddEnabled({"C:\\a", "C:\\b"});
  }
};

TEST_F(LateAnswerTest, APassShowsItsAnswersTogether) {
  const PassStart start = table_.BeginPass(At(0ms), 15s);
  ASSERT_EQ(start.reads.size(), 2u);
  table_.ApplyAnswer(AnswerRequest(fs_, start.reads[0]));
  EXPECT_EQ(Report(table_.TakeChanges()), std::tuple(false, Rows{}, false));
  EXPECT_EQ(table_.Row(0).CellText(Cell::kProgress), "?");  // held back until the pass is whole
  table_.ApplyAnswer(AnswerRequest(fs_, start.reads[1]));
  EXPECT_EQ(Report(table_.TakeChanges()), std::tuple(true, Rows{0, 1}, true));
  EXPECT_EQ(std::tuple(table_.StatusTexts()[1], table_.PassOpen(), table_.ReadsOutstanding()),
            std::tuple(" Work: 2", false, 0u));
}

TEST_F(LateAnswerTest, ARowHoldsTheReadingItsFolderGave) {
  const PassStart start = table_.BeginPass(At(0ms), 15s);
  ASSERT_EQ(start.reads.size(), 2u);
  const ReadAnswer forA = AnswerRequest(fs_, *ReadOf(start, "C:\\a"));
  const ReadAnswer forB = AnswerRequest(fs_, *ReadOf(start, "C:\\b"));
  table_.ApplyAnswer(forA);
  table_.ApplyAnswer(forB);
  EXPECT_EQ(std::tie(table_.Row(0).reading, table_.Row(1).reading), std::tie(forA.row, forB.row));
  // b's result is there.
  EXPECT_EQ(std::tuple(table_.Row(0).InWork(), table_.Row(1).InWork()), std::tuple(true, false));
}

TEST_F(LateAnswerTest, AFolderThatDoesNotAnswerHoldsUpOnlyItsRow) {
  // Pass 1: b does not answer; once the pass has waited long enough, a is shown.
  const PassStart first = table_.BeginPass(At(0ms), 15s);
  const ReadRequest outForB = *ReadOf(first, "C:\\b");
  table_.ApplyAnswer(AnswerRequest(fs_, *ReadOf(first, "C:\\a")));
  table_.Settle();
  Rows changed = table_.TakeChanges().changedRows;
  EXPECT_EQ(changed, (Rows{0}));
  EXPECT_EQ(table_.StatusTexts(), (std::array<std::string, 3>{" Total: 2", " Work: 1", " Ready: 0"}));

  // Pass 2, within one interval: b is skipped, not asked again, and not yet late.
  MakeClientFolder(fs_, "C:\\a", {.state = "prog=0.3", .workUnit = ""});
  const PassStart second = table_.BeginPass(At(10s), 15s);
  ASSERT_EQ(second.reads.size(), 1u);
  EXPECT_EQ(second.reads[0].folder, "C:\\a");
  table_.ApplyAnswer(AnswerRequest(fs_, second.reads[0]));
  changed = table_.TakeChanges().changedRows;
  EXPECT_EQ(std::tuple(changed, table_.Row(1).late, table_.RowTip(1)), std::tuple(Rows{0}, false, ""));

  // Pass 3, more than an interval after b was asked: b is late, with the "?" of a row that
  // never answered, and its tip says since when.
  const PassStart third = table_.BeginPass(At(15001ms), 15s);
  ASSERT_EQ(third.reads.size(), 1u);
  table_.ApplyAnswer(AnswerRequest(fs_, third.reads[0]));
  changed = table_.TakeChanges().changedRows;
  EXPECT_EQ(std::tuple(changed, table_.Row(1).late, table_.Row(1).reading.cells, table_.RowTip(1),
                       table_.RowTip(0)),
            std::tuple(Rows{1}, true, kUnread, "No answer since 09:41", ""));

  // b answers at last: shown at once, no longer late, and counted.
  table_.ApplyAnswer(AnswerRequest(fs_, outForB));
  changed = table_.TakeChanges().changedRows;
  EXPECT_EQ(std::tuple(changed, table_.Row(1).late, table_.Row(1).CellText(Cell::kProgress),
                       table_.ReadsOutstanding()),
            std::tuple(Rows{1}, false, "70.00", 0u));
  EXPECT_EQ(table_.StatusTexts(), (std::array<std::string, 3>{" Total: 2", " Work: 2", " Ready: 1"}));
}

TEST_F(LateAnswerTest, ALateRowKeepsItsLastValues) {
  RefreshNow(table_, fs_, At(0ms));
  const Cells shown = table_.Row(0).reading.cells;
  const PassStart hangs = table_.BeginPass(At(1s), 15s);
  table_.ApplyAnswer(AnswerRequest(fs_, *ReadOf(hangs, "C:\\b")));  // a's read never comes back
  MakeClientFolder(fs_, "C:\\a", {.state = "prog=0.9", .workUnit = ""});
  RefreshNow(table_, fs_, At(17s));
  // Counted by what it shows.
  EXPECT_EQ(std::tuple(table_.Row(0).late, table_.Row(0).reading.cells, table_.StatusTexts()[1]),
            std::tuple(true, shown, " Work: 2"));
}

TEST_F(LateAnswerTest, AnswersForRemovedOrDisabledRowsAreDropped) {
  for (const bool remove : {true, false}) {  // else untick the row
    SCOPED_TRACE(remove ? "removed" : "disabled");
    LocationTable table(ByteOrder);
    table.AddLocation("C:\\a", true);
    table.AddLocation("C:\\b", true);
    const PassStart start = table.BeginPass(At(0ms), 15s);
    const ReadRequest forA = *ReadOf(start, "C:\\a");
    if (remove)
      table.RemoveAt(0);
    else
      table.SetEnabled(0, false);
    table.ApplyAnswer(AnswerRequest(fs_, forA));
    table.ApplyAnswer(AnswerRequest(fs_, *ReadOf(start, "C:\\b")));
    const RefreshOutcome outcome = table.TakeChanges();
    EXPECT_EQ(std::tuple(table.ReadsOutstanding(), table.PassOpen()), std::tuple(0u, false));
    if (remove) {
      ASSERT_EQ(table.Count(), 1u);
      EXPECT_EQ(std::tuple(table.Row(0).caption, outcome.changedRows), std::tuple("C:\\b", Rows{0}));
    } else {
      EXPECT_EQ(std::tuple(table.Row(0).reading.cells, outcome.changedRows), std::tuple(kUnread, Rows{1}));
    }
    EXPECT_EQ(table.StatusTexts()[1], " Work: 1");
  }
}

TEST_F(LateAnswerTest, ARemovedRowsReadStaysOutUntilItReturns) {
  const PassStart start = table_.BeginPass(At(0ms), 15s);
  const ReadRequest forA = *ReadOf(start, "C:\\a");
  table_.RemoveAt(0);
  EXPECT_EQ(table_.ReadsOutstanding(), 2u);
  table_.ApplyAnswer(AnswerRequest(fs_, forA));
  EXPECT_EQ(table_.ReadsOutstanding(), 1u);
  table_.ApplyAnswer(AnswerRequest(fs_, forA));  // the same answer again is nothing new
  EXPECT_EQ(table_.ReadsOutstanding(), 1u);
  EXPECT_TRUE(table_.PassOpen());
  table_.Clear();
  EXPECT_EQ(table_.ReadsOutstanding(), 1u);
  table_.ApplyAnswer(AnswerRequest(fs_, *ReadOf(start, "C:\\b")));
  EXPECT_EQ(std::tuple(table_.ReadsOutstanding(), table_.PassOpen()), std::tuple(0u, false));
}

TEST_F(LateAnswerTest, SpyingOffHandsOutNothing) {
  table_.SetSpyingEnabled(false);
  const PassStart start = table_.BeginPass(At(0ms), 15s);
  EXPECT_EQ(std::tuple(start.ran, start.reads.size(), table_.PassOpen()), std::tuple(false, 0u, false));
  EXPECT_FALSE(table_.TakeChanges().ran);
}

TEST_F(LateAnswerTest, AnswersArrivingWhileSpyingIsOffChangeNothing) {
  const PassStart first = table_.BeginPass(At(0ms), 15s);
  const ReadRequest outForB = *ReadOf(first, "C:\\b");
  table_.ApplyAnswer(AnswerRequest(fs_, *ReadOf(first, "C:\\a")));
  table_.Settle();
  table_.TakeChanges();
  MakeClientFolder(fs_, "C:\\a", {.state = "prog=0.9", .workUnit = ""});
  const PassStart second = table_.BeginPass(At(1s), 15s);
  const Cells shownForA = table_.Row(0).reading.cells;

  table_.SetSpyingEnabled(false);
  table_.ApplyAnswer(AnswerRequest(fs_, *ReadOf(second, "C:\\a")));  // of the pass still open
  table_.ApplyAnswer(AnswerRequest(fs_, outForB));                   // late, of a pass shown
  table_.Settle();
  // Both read again once spying is back.
  EXPECT_FALSE(table_.TakeChanges().ran);
  EXPECT_EQ(std::tuple(table_.Row(0).reading.cells, table_.Row(1).reading.cells, table_.ReadsOutstanding()),
            std::tuple(shownForA, kUnread, 0u));

  table_.SetSpyingEnabled(true);
  EXPECT_EQ(table_.BeginPass(At(2s), 15s).reads.size(), 2u);
}

TEST_F(LateAnswerTest, ALateAnswerJudgesNoOtherRowOnOlderValues) {
  table_.SetStallTime(20min);
  table_.AddLocation("C:\\c", true);  // a third row keeps the later pass open
  RefreshNow(table_, fs_, At(0ms));
  const PassStart hangs = table_.BeginPass(At(10min), 15s);
  const ReadRequest outForB = *ReadOf(hangs, "C:\\b");
  table_.ApplyAnswer(AnswerRequest(fs_, *ReadOf(hangs, "C:\\a")));
  table_.ApplyAnswer(AnswerRequest(fs_, *ReadOf(hangs, "C:\\c")));
  table_.Settle();

  // The client moves on, and the pass past the stall time reads it; b's old read answers while
  // that pass still waits for c.
  fs_.AddFile("C:\\a\\state.sah", "prog=0.3", LocalDateTime{2024, 3, 9, 8, 0, 0});
  const PassStart crossing = table_.BeginPass(At(20min + 1s), 15s);
  table_.ApplyAnswer(AnswerRequest(fs_, *ReadOf(crossing, "C:\\a")));
  table_.ApplyAnswer(AnswerRequest(fs_, outForB));
  EXPECT_FALSE(table_.Stalled(0));
  table_.ApplyAnswer(AnswerRequest(fs_, *ReadOf(crossing, "C:\\c")));
  EXPECT_FALSE(table_.Stalled(0));
  EXPECT_EQ(table_.Row(0).CellText(Cell::kProgress), "30.00");
  EXPECT_TRUE(table_.TakeAlerts().stallAlerts.empty());
}

TEST_F(LateAnswerTest, ARowInWorkWhoseStateFileStandsStillIsStalled) {
  table_.SetStallTime(20min);
  RefreshNow(table_, fs_, At(0ms));  // a is in work; b holds a result, so it is not
  EXPECT_TRUE(table_.TakeAlerts().Empty());
  RefreshNow(table_, fs_, At(20min));
  EXPECT_FALSE(table_.Stalled(0));  // not longer than the stall time yet
  const RefreshOutcome outcome = RefreshNow(table_, fs_, At(20min + 1s));
  EXPECT_EQ(std::tuple(table_.Stalled(0), table_.Stalled(1), table_.StalledCount(), outcome.changedRows,
                       table_.RowTip(0)),
            std::tuple(true, false, 1u, Rows{0}, "No progress since 09:41"));
  const StallTransitions alerts = table_.TakeAlerts();
  EXPECT_EQ(alerts.stallAlerts, (std::vector<std::uint64_t>{table_.Row(0).id}));
  EXPECT_EQ(table_.CaptionOf(alerts.stallAlerts[0]), "C:\\a");
  RefreshNow(table_, fs_, At(30min));
  EXPECT_TRUE(table_.TakeAlerts().Empty());  // once, not at every pass

  // The client writes its state file again: the row is back to normal at that pass.
  fs_.AddFile("C:\\a\\state.sah", "prog=0.3", LocalDateTime{2024, 3, 9, 8, 0, 0});
  EXPECT_EQ(RefreshNow(table_, fs_, At(31min)).changedRows, (Rows{0}));
  EXPECT_EQ(std::tuple(table_.Stalled(0), table_.RowTip(0)), std::tuple(false, ""));
  table_.RemoveAt(0);
  EXPECT_EQ(table_.StalledCount(), 0u);
}

}  // namespace
}  // namespace velmora

// The State and Finishes cells, and the table as it is copied.
#include "monitor/table_text.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "tests/support/client_folder_writer.h"
#include "tests/support/inline_pass.h"
#include "tests/support/memory_file_system.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;
using testing::At;
using testing::ByteOrder;
using testing::MemoryFileSystem;

class TableTextTest : public ::testing::Test {
 protected:
  void Client(const std::string& folder, const testing::ClientFiles& files) {
    testing::ClientFolderWriter(fs_).Write(folder, files, {.state = stateTime_});
  }
  // A pass at `at` whose reads all answer, but those of `hung`.
  void Pass(std::chrono::seconds at, const std::string& hung = "") {
    for (const ReadRequest& request : table_.BeginPass(At(at), 15s).reads) {
      if (request.folder != hung)
        table_.ApplyAnswer(AnswerRequest(fs_, request));
    }
    table_.Settle();
  }
  std::string Cell(const std::string& caption, TableColumn column) const {
    for (std::size_t row = 0; row < table_.Count(); ++row) {
      if (table_.Row(row).caption == caption)
        return CellText(table_, row, column);
    }
    return "no row " + caption;
  }

  MemoryFileSystem fs_;
  LocalDateTime stateTime_{2024, 3, 9, 7, 5, 41};
  LocationTable table_{ByteOrder};
};

TEST_F(TableTextTest, EachRowSaysItsStateInWords) {
  table_.SetStallTime(20min);
  Client("C:\\off", {.state = "prog=0.5", .workUnit = ""});
  Client("C:\\late", {.state = "prog=0.5", .workUnit = ""});
  Client("C:\\temp", {.tempResult = ""});
  Client("C:\\done", {.state = "prog=1", .workUnit = "", .result = ""});
  Client("C:\\stuck", {.state = "prog=0.5", .workUnit = ""});
  Client("C:\\busy", {.state = "prog=0.1", .workUnit = ""});
  Client("C:\\empty", {});
  for (const char* caption :
       {"C:\\off", "C:\\late", "C:\\gone", "C:\\temp", "C:\\done", "C:\\stuck", "C:\\busy", "C:\\empty"})
    table_.AddLocation(caption, true);
  Pass(0s);
  // busy moves on at a percent a minute; the rest stand still past the stall time. late, in work
  // like stuck, stops answering: late goes before stalled, and off before both.
  for (int minute = 1; minute <= 21; ++minute) {
    fs_.AddFile("C:\\busy\\state.sah", "prog=0." + std::to_string(10 + minute), {2024, 3, 9, 8, minute, 0});
    Pass(std::chrono::minutes(minute), minute >= 20 ? "C:\\late" : "");
  }
  for (std::size_t row = 0; row < table_.Count(); ++row)
    table_.SetEnabled(row, table_.Row(row).caption != "C:\\off");
  Pass(22min, "C:\\late");
  table_.AddLocation("C:\\new", true);

  // A row's caption, state in words, and finish time.
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"C:\\off", "Off", ""},
      {"C:\\late", "No answer since 09:41", ""},
      {"C:\\new", "Not read yet", ""},
      {"C:\\gone", "No folder", ""},
      {"C:\\temp", "Writing result", ""},
      {"C:\\done", "Result waiting", ""},
      {"C:\\stuck", "Stalled since 09:41", ""},
      {"C:\\busy", "In work", "10:50"},  // 31 % at 09:41, one percent a minute
      {"C:\\empty", "", ""}};
  for (const auto& [caption, state, finishes] : cases) {
    EXPECT_EQ(Cell(caption, TableColumn::kStateWords), state) << caption;
    EXPECT_EQ(Cell(caption, TableColumn::kFinishes), finishes) << caption;
  }
}

TEST_F(TableTextTest, CopiedTableHoldsEveryRowAsShown) {
  Client("C:\\a\tb", {.state = "prog=0.25", .workUnit = ""});
  table_.AddLocation("C:\\a\tb", true);
  table_.AddLocation("C:\\line\r\nbreak", false);
  table_.AddLocation("C:\\unread", true);
  Pass(0s, "C:\\unread");
  const std::string six =
      "On\tLocation\t%\tWU\tStt\tRes\tLast date\r\n"
      "1\tC:\\a b\t25.00\t+\t+\t-\t2024.03.09  07:05\r\n"
      "0\tC:\\line  break\t?\t\t\t\t\r\n"
      "1\tC:\\unread\t?\t?\t?\t?\t?\r\n";
  EXPECT_EQ(TableText(table_, {}), six);
  const std::string eight =
      "On\tLocation\t%\tWU\tStt\tRes\tLast date\tState\tFinishes\r\n"
      "1\tC:\\a b\t25.00\t+\t+\t-\t2024.03.09  07:05\tIn work\t\r\n"
      "0\tC:\\line  break\t?\t\t\t\t\tOff\t\r\n"
      "1\tC:\\unread\t?\t?\t?\t?\t?\tNot read yet\t\r\n";
  EXPECT_EQ(TableText(table_, {.state = true, .finish = true}), eight);
  EXPECT_EQ(ShownColumns({.finish = true}).back(), TableColumn::kFinishes);

  // Done is empty until the history has counted; a location it does not name finished none.
  const std::string done = "On\tLocation\t%\tWU\tStt\tRes\tLast date\tDone (24 h)\r\n";
  const std::string first = "1\tC:\\a b\t25.00\t+\t+\t-\t2024.03.09  07:05\t\r\n";
  EXPECT_EQ(TableText(table_, {.done = true}).substr(done.size(), first.size()), first);
  table_.SetDoneCounts({{"C:\\unread", 3}, {"C:\\removed", 9}});
  EXPECT_EQ(TableText(table_, {.done = true}),
            done + "1\tC:\\a b\t25.00\t+\t+\t-\t2024.03.09  07:05\t0\r\n" +
                "0\tC:\\line  break\t?\t\t\t\t\t0\r\n1\tC:\\unread\t?\t?\t?\t?\t?\t3\r\n");
}

}  // namespace
}  // namespace velmora

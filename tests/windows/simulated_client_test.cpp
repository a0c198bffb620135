// The simulated client's folder read by the real readers and refresh pass at each stage of a
// unit's life.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <tuple>
#include <utility>

#include "core/file_system.h"
#include "monitor/figure_texts.h"
#include "monitor/location_table.h"
#include "tests/support/inline_pass.h"
#include "tests/support/temp_folder.h"
#include "tests/support/win32/caption_order.h"
#include "tools/client_sim/simulated_client.h"

namespace velmora {
namespace {

// Progress, work unit, state and result cells, the icon, and the work and ready counters.
using Expected = std::tuple<std::string, std::string, std::string, std::string, int, int, int>;

// The file's bytes and its last write time, to the 100 ns of the file system, where
// LastWriteTime keeps two seconds.
std::pair<std::string, ULONGLONG> Snapshot(const std::string& path) {
  std::string contents;
  EXPECT_EQ(MakePlatformFileSystem()->ReadShared(path, 1 << 20, contents), ReadOutcome::kRead) << path;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  EXPECT_TRUE(::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) << path;
  return {contents,
          ULONGLONG{data.ftLastWriteTime.dwHighDateTime} << 32 | data.ftLastWriteTime.dwLowDateTime};
}

class SimulatedClientTest : public ::testing::Test {
 protected:
  testing::TempFolder temp_;
  std::unique_ptr<FileSystem> fs_ = MakePlatformFileSystem();
  LocationTable table_{&testing::CompareCaptions, &testing::CaptionSortKey};
  sim::SimulatedClient client_{temp_.ProgramPath("seti"), 3, 1000};

  void SetUp() override { table_.AddLocation(client_.Folder(), true); }

  void ExpectRow(const Expected& e) {
    testing::RefreshNow(table_, *fs_);
    const LocationRow& row = table_.Row(0);
    EXPECT_EQ(Expected(row.CellText(Cell::kProgress), row.CellText(Cell::kWorkUnit),
                       row.CellText(Cell::kState), row.CellText(Cell::kResult), row.reading.icon,
                       table_.Counters().work, table_.Counters().ready),
              e);
    EXPECT_NE(row.CellText(Cell::kLastDate), "-");
  }
};

TEST_F(SimulatedClientTest, EveryStageOfAUnitReadsAsExpected) {
  client_.Begin(0.25);
  ExpectRow({"25.00", "+", "+", "-", kIconWorkUnit, 1, 0});

  client_.Advance(250, 0);
  ExpectRow({"50.00", "+", "+", "-", kIconWorkUnit, 1, 0});

  client_.Advance(600, 0);  // past the end of the unit: the result is being written
  EXPECT_EQ(client_.CurrentStage(), sim::Stage::kWritingResult);
  ExpectRow({"100.00", "-", "+", "-", kIconTempResult, 1, 0});

  client_.ResultWritten();
  ExpectRow({"100.00", "-", "+", "+", kIconResult, 1, 1});

  const int resultsBefore = client_.Results();
  client_.ResultSent();
  ExpectRow({"0.00", "+", "+", "-", kIconWorkUnit, 1, 0});
  EXPECT_EQ(client_.Results(), resultsBefore + 1);
  const SelectedFigures figures = ReadSelectedFigures(*fs_, client_.Folder());
  EXPECT_TRUE(figures.userRead);
  EXPECT_EQ(figures.totalUnits, std::to_string(resultsBefore + 1));
}

TEST_F(SimulatedClientTest, StateFileHeldOpenForWritingShowsPresentWithoutValues) {
  client_.Begin(0.4);
  client_.BeginHold();
  ExpectRow({"?", "+", "+", "-", kIconWorkUnit, 0, 0});
  const SelectedFigures figures = ReadSelectedFigures(*fs_, client_.Folder());
  EXPECT_FALSE(figures.stateRead);
  client_.EndHold();
  client_.Advance(100, 0);
  ExpectRow({"50.00", "+", "+", "-", kIconWorkUnit, 1, 0});
}

// A hung client leaves its unit in work and its state file exactly as it was, to the byte and
// to its time stamp, however long it runs; resumed, it goes on from where it stopped.
TEST_F(SimulatedClientTest, HungClientStopsWritingTheStateFileAndKeepsItsUnit) {
  client_.Begin(0.3);
  const std::string statePath = client_.Folder() + "\\state.sah";
  const auto before = Snapshot(statePath);
  client_.Hang();
  for (int step = 0; step < 5; ++step)
    client_.Advance(250, 0);
  EXPECT_EQ(client_.CurrentStage(), sim::Stage::kProcessing);
  ExpectRow({"30.00", "+", "+", "-", kIconWorkUnit, 1, 0});
  EXPECT_EQ(Snapshot(statePath), before);

  client_.Resume();
  client_.Advance(100, 0);
  ExpectRow({"40.00", "+", "+", "-", kIconWorkUnit, 1, 0});
}

// Hung while its result waits: the result is still sent, and the client hangs on the next unit.
TEST_F(SimulatedClientTest, ClientBetweenUnitsHangsOnItsNextUnit) {
  client_.Begin(1.0);
  client_.StartWritingResult();
  client_.ResultWritten();
  client_.Hang();
  client_.Advance(20, 0);
  ExpectRow({"0.00", "+", "+", "-", kIconWorkUnit, 1, 0});
  const std::string textBefore = Snapshot(client_.Folder() + "\\state.sah").first;
  client_.Advance(300, 0);
  ExpectRow({"0.00", "+", "+", "-", kIconWorkUnit, 1, 0});
  EXPECT_EQ(Snapshot(client_.Folder() + "\\state.sah").first, textBefore);
}

}  // namespace
}  // namespace velmora

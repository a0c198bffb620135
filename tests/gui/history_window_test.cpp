// End to end: a unit finishes in a client folder, the History window lists it, and it is still
// there, once, after Velmora starts again while the result waits.
#include <filesystem>

#include "monitor/history_texts.h"
#include "tests/gui/main_window_fixture.h"
#include "tests/support/win32/clipboard_text.h"

namespace velmora::testing {
namespace {

using win::WindowText;

class HistoryWindowTest : public MainWindowTest {
 protected:
  TfrmMain& OpenWithHistory() {
    MainWindowServices services{probe_, settings_, shell_, nullptr, appFolder_.ProgramPath() + "\\",
                                clock_, &tray_,    false};
    services.historyFile = historyFolder_.ProgramPath("Tarnek\\Velmora\\history.db");
    window_ = std::make_unique<TfrmMain>(std::move(services));
    EXPECT_TRUE(window_->Create());
    EXPECT_TRUE(WaitForReads(*window_));
    return *window_;
  }
  // Opens the History window and waits until it shows what it asked for.
  TfrmHistory& OpenHistory(TfrmMain& window) {
    window.WaitForHistory();
    window.acHistoryExecute();
    TfrmHistory* history = window.HistoryWindow();
    EXPECT_NE(history, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return history->ShownGeneration() == history->AskedGeneration(); }));
    return *history;
  }
  static std::vector<std::string> ListRow(const TfrmHistory& history, int row) {
    return RowTexts(::GetDlgItem(history.Hwnd(), kHistoryLvUnits), row, kHistoryColumnCount);
  }

  TempFolder historyFolder_;
};

TEST_F(HistoryWindowTest, AFinishedUnitIsListedAndSurvivesARestart) {
  const std::string client = MakeClient("c1", {.state = "prog=0.5\ncpu=100\n", .workUnit = "unit"});
  StoreLocations({{client, true}});
  settings_.SetText("Interface", "DoneColumn", "1");
  TfrmMain& window = OpenWithHistory();
  HWND table = window.Controls().lvMain;
  EXPECT_EQ(ColumnCaptions(table).back(), "Done (24 h)");

  std::filesystem::remove(clients_.Path() / "c1" / "work_unit.sah");
  WriteClientFile("c1\\state.sah", "prog=1.0\ncpu=200\n");
  WriteClientFile("c1\\result.sah", "result=1\n");
  ASSERT_TRUE(RunAndSettle(&TfrmMain::acRefreshExecute));
  ASSERT_TRUE(RunAndSettle(&TfrmMain::acRefreshExecute));

  for (int start = 0; start < 2; ++start) {
    TfrmMain& shown = start == 0 ? window : OpenWithHistory();
    shown.WaitForHistory();
    EXPECT_TRUE(PumpUntil([&] { return ItemText(shown.Controls().lvMain, 0, 6) == "1"; })) << start;
    TfrmHistory& history = OpenHistory(shown);
    EXPECT_TRUE(::IsWindowVisible(history.Hwnd())) << start;
    EXPECT_EQ(WindowText(history.Hwnd()), "Location history");
    EXPECT_EQ(WindowText(::GetDlgItem(history.Hwnd(), kHistoryCboLocation)), kAllLocationsText) << start;
    HWND list = ::GetDlgItem(history.Hwnd(), kHistoryLvUnits);
    EXPECT_EQ(ItemCount(list), 1) << start;
    const std::vector<std::string> row = ListRow(history, 0);
    EXPECT_EQ(row[1], client) << start;
    EXPECT_EQ(row[2], "0:03") << start;
    EXPECT_EQ(row[3], "") << start;  // not seen from its start
    EXPECT_EQ(WindowText(::GetDlgItem(history.Hwnd(), kHistoryLblSummary)),
              "Last 24 hours: 1 units, last 7 days: 1 units (0.1 a day)")
        << start;
    const THistoryChart& chart = history.Chart();
    ASSERT_EQ(chart.DayCount(), static_cast<std::size_t>(kHistoryDays)) << start;
    EXPECT_EQ(chart.TipOf(kHistoryDays - 1), row[0].substr(0, 10) + ": 1 units") << start;
    EXPECT_EQ(chart.TipOf(0).substr(10), ": 0 units") << start;

    // Copy puts the units on the clipboard as the table's copy does: a header line, then tabs.
    if (start == 0) {
      history.btnCopyClick();
      const std::string copied =
          "Finished\tLocation\tCPU time\tTook\r\n" + row[0] + "\t" + client + "\t0:03\t\r\n";
      EXPECT_TRUE(PumpUntil([&] { return ClipboardText() == copied; })) << ClipboardText();
    }

    // It comes back where it was left, after a restart too.
    const HistoryBounds placed{40, 50, 640, 480};
    if (start == 0)
      ::SetWindowPos(history.Hwnd(), nullptr, 40, 50, 640, 480, SWP_NOZORDER | SWP_NOACTIVATE);
    const HistoryBounds bounds = history.Bounds();
    EXPECT_EQ(std::vector<int>({bounds.left, bounds.top, bounds.width, bounds.height}),
              std::vector<int>({placed.left, placed.top, placed.width, placed.height}))
        << start;

    // While it is open it follows the units that finish: the client sends the waiting result,
    // works a new unit and finishes it a minute later.
    if (start == 1) {
      const std::filesystem::path folder = clients_.Path() / "c1";
      std::filesystem::remove(folder / "result.sah");
      WriteClientFile("c1\\work_unit.sah", "the next unit");
      WriteClientFile("c1\\state.sah", "prog=0.2\ncpu=50\n");
      ASSERT_TRUE(RunAndSettle(&TfrmMain::acRefreshExecute));
      std::filesystem::remove(folder / "work_unit.sah");
      WriteClientFile("c1\\result.sah", "result=2\n");
      std::filesystem::last_write_time(
          folder / "result.sah",
          std::filesystem::last_write_time(folder / "result.sah") + std::chrono::minutes(1));
      ASSERT_TRUE(RunAndSettle(&TfrmMain::acRefreshExecute));
      shown.WaitForHistory();
      EXPECT_TRUE(PumpUntil([&] { return ItemCount(list) == 2; }));
      EXPECT_EQ(ListRow(history, 1), row);
    }

    // Esc closes it, from the list as from anywhere in it.
    ::PostMessageA(list, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpMessagesThrough([&](MSG& message) { return shown.PreTranslateMessage(message); });
    EXPECT_FALSE(::IsWindowVisible(history.Hwnd())) << start;
    Close();
    ExpectSaved(
        "Layout",
        {{"HistoryWidth", "640"}, {"HistoryHeight", "480"}, {"HistoryTop", "50"}, {"HistoryLeft", "40"}});
  }
}

}  // namespace
}  // namespace velmora::testing

// Where every folder read of the monitor window goes out and every answer comes back: the
// refresh pass's row reads for the location table, and the figures reads of the statistics panel
// and the details window. The window only posts the reader's notice to itself and calls these;
// it shows what the table and `showFigures` give it.
//
// Nothing is lost for good: each pass first takes the answers that wait, so a notice that could
// not be posted costs at most one interval, and a batch is applied to the models in whole before
// any figures are shown, so a failure while showing them leaves no read counted as out for ever.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "monitor/figure_requests.h"
#include "monitor/folder_reader.h"
#include "monitor/location_table.h"

namespace velmora {

class ReadRouter {
 public:
  using Clock = std::chrono::steady_clock;
  using ShowFigures = std::function<void(const ShownFigures&)>;

  ReadRouter(LocationTable& table,
             std::shared_ptr<FileSystem> fs,
             std::function<void()> answersWaiting,
             ShowFigures showFigures,
             ReaderLimits limits = {});

  // Takes the waiting answers, then hands out the pass's reads. The refresh interval also keeps
  // idle reading threads alive from one pass to the next.
  void BeginPass(const PassClock& clock, std::chrono::milliseconds interval);
  // True when a read was handed out (its answer, or Settle, shows the figures).
  bool RequestFigures(FigureSlot slot, const std::optional<SelectedRow>& selected, Clock::time_point now);
  void TakeAnswers();
  // The settle time is over: the open pass is shown, and windows still showing another row's
  // figures show the selected row's empty ones.
  void Settle(Clock::time_point now, std::chrono::milliseconds settle);
  bool AwaitingOtherRow() const { return figures_.AwaitingOtherRow(); }

  // While held, reads handed out wait here, unsent: a program that is starting shows its
  // window before thousands of reads compete with it for the processor.
  void Hold() { held_ = true; }
  void Release();
  bool Held() const { return held_; }

  // Every read handed out has answered and no pass waits to be shown.
  bool Settled() const;
  std::size_t ThreadCount() const { return reader_.ThreadCount(); }

 private:
  void Show(const std::vector<ShownFigures>& shown) const;
  void Send(std::vector<ReadRequest> reads);

  LocationTable& table_;
  FigureRequests figures_;
  ShowFigures showFigures_;
  bool held_ = false;
  std::vector<ReadRequest> heldReads_;
  // Last: destroyed first, so that no answer arrives for half-destroyed models.
  FolderReader reader_;
};

}  // namespace velmora

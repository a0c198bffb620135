// The statistics panel and the details window ask for the figures of the row selected now; the
// folder is read on a reading thread. Each of them shows only the answer to its latest request:
// an answer for a row selected earlier is dropped. While a figures read of the same row is still
// out, for either window or for a row selected earlier, asking again hands out nothing new: the
// request waits for that read, so clicking back and forth onto a folder that hangs never piles
// up reads of it. A request that has waited past the settle time while its window
// still shows another row's figures gives way to that row's empty figures, so a folder that does
// not answer never leaves another row's figures on screen.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "monitor/figure_texts.h"
#include "monitor/folder_reader.h"

namespace velmora {

enum class FigureSlot { kStatsPanel, kDetails };
inline constexpr std::size_t kFigureSlotCount = 2;

struct SelectedRow {
  std::uint64_t rowId = 0;
  std::string folder;
};

struct FigureStep {
  std::optional<ReadRequest> read;         // hand this out
  std::optional<SelectedFigures> showNow;  // no row is selected: show this at once
};

struct ShownFigures {
  FigureSlot slot;
  SelectedFigures figures;
};

class FigureRequests {
 public:
  using Clock = std::chrono::steady_clock;

  FigureStep Request(FigureSlot slot, const std::optional<SelectedRow>& selected, Clock::time_point now);
  // The figures to show for an answer: one for each slot whose latest request it answers.
  std::vector<ShownFigures> Accept(const ReadAnswer& answer);
  // Requests that have waited longer than `settle` while their slot shows another row.
  std::vector<ShownFigures> Overdue(Clock::time_point now, std::chrono::milliseconds settle);
  // A request is waiting for its answer while its slot shows another row's figures: Overdue
  // has something to give once the settle time has passed.
  bool AwaitingOtherRow() const;
  // Figure reads handed out and not yet answered, superseded ones included.
  std::size_t ReadsOutstanding() const { return tickets_.size(); }

 private:
  struct Slot {
    std::uint64_t ticket = 0;  // 0: nothing waited for
    SelectedRow wanted;
    Clock::time_point askedAt{};
    std::optional<std::uint64_t> shownRow;  // the row whose figures the slot shows
  };
  Slot& SlotOf(FigureSlot slot) { return slots_[static_cast<std::size_t>(slot)]; }

  std::array<Slot, kFigureSlotCount> slots_{};
  std::map<std::uint64_t, SelectedRow> tickets_;  // reads out, by ticket: which row they read
  std::uint64_t nextTicket_ = 1;
};

// The figures a selected row shows when nothing could be read from its folder.
SelectedFigures UnreadFigures(const std::string& folder);

}  // namespace velmora

#include "monitor/figure_requests.h"

namespace velmora {

SelectedFigures UnreadFigures(const std::string& folder) {
  SelectedFigures figures;
  figures.rowSelected = true;
  figures.path = folder;
  return figures;
}

FigureStep FigureRequests::Request(FigureSlot slot,
                                   const std::optional<SelectedRow>& selected,
                                   Clock::time_point now) {
  Slot& state = SlotOf(slot);
  FigureStep step;
  if (!selected) {
    state.ticket = 0;
    state.shownRow.reset();
    step.showNow = SelectedFigures{};
    return step;
  }
  if (state.ticket != 0 && state.wanted.rowId == selected->rowId && state.wanted.folder == selected->folder)
    return step;  // that read is still out
  state.wanted = *selected;
  state.askedAt = now;
  for (const auto& [ticket, row] : tickets_) {
    if (row.rowId == selected->rowId && row.folder == selected->folder) {
      state.ticket = ticket;  // the other window's read, or one asked for earlier, serves
      return step;
    }
  }
  const std::uint64_t ticket = nextTicket_++;
  state.ticket = ticket;
  tickets_[ticket] = *selected;
  step.read = ReadRequest{ticket, ReadKind::kFigures, selected->folder};
  return step;
}

std::vector<ShownFigures> FigureRequests::Accept(const ReadAnswer& answer) {
  std::vector<ShownFigures> shown;
  if (tickets_.erase(answer.ticket) == 0)
    return shown;
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    Slot& state = slots_[i];
    if (state.ticket != answer.ticket)
      continue;
    state.ticket = 0;
    state.shownRow = state.wanted.rowId;
    shown.push_back(ShownFigures{static_cast<FigureSlot>(i),
                                 answer.failed ? UnreadFigures(state.wanted.folder) : answer.figures});
  }
  return shown;
}

std::vector<ShownFigures> FigureRequests::Overdue(Clock::time_point now, std::chrono::milliseconds settle) {
  std::vector<ShownFigures> overdue;
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    Slot& state = slots_[i];
    if (state.ticket == 0 || now - state.askedAt < settle || state.shownRow == state.wanted.rowId)
      continue;
    state.shownRow = state.wanted.rowId;
    overdue.push_back(ShownFigures{static_cast<FigureSlot>(i), UnreadFigures(state.wanted.folder)});
  }
  return overdue;
}

bool FigureRequests::AwaitingOtherRow() const {
  for (const Slot& state : slots_) {
    if (state.ticket != 0 && state.shownRow != state.wanted.rowId)
      return true;
  }
  return false;
}

}  // namespace velmora

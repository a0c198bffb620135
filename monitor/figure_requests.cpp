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
  const std::uint64_t ticket = nextTicket_++;
  state.ticket = ticket;
  state.wanted = *selected;
  state.askedAt = now;
  tickets_[ticket] = slot;
  step.read = ReadRequest{ticket, ReadKind::kFigures, selected->folder};
  return step;
}

std::optional<ShownFigures> FigureRequests::Accept(const ReadAnswer& answer) {
  const auto found = tickets_.find(answer.ticket);
  if (found == tickets_.end())
    return std::nullopt;
  const FigureSlot slot = found->second;
  tickets_.erase(found);
  Slot& state = SlotOf(slot);
  if (state.ticket != answer.ticket)
    return std::nullopt;
  state.ticket = 0;
  state.shownRow = state.wanted.rowId;
  return ShownFigures{slot, answer.failed ? UnreadFigures(state.wanted.folder) : answer.figures};
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

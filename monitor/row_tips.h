// The info tips of a row in the location table: one for a row whose folder does not answer, one
// for a row whose client has stalled. The list view asks for them as the mouse rests on a row.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/local_time.h"

namespace velmora {

// "hh:nn" (24-hour local time).
std::string FormatClockTime(const LocalDateTime& time);

// "No answer since hh:nn": the row's read has been out since then.
std::string NoAnswerTip(const LocalDateTime& since);
// "No progress since hh:nn": the row's state file last changed then.
std::string NoProgressTip(const LocalDateTime& since);

// The tip of a row late since `lateSince` or stalled since `stalledSince`; empty when it is
// neither. A late row says nothing of progress, so its lateness is told first.
std::string RowTip(const std::optional<LocalDateTime>& lateSince,
                   const std::optional<LocalDateTime>& stalledSince);

// What the list view shows for `tip`: when the row's cell is cut off on screen, the cell's whole
// text first and the tip on a line of its own below it, so that the path stays readable.
std::string InfoTipText(const std::string& tip, std::optional<std::string_view> cutOffCell);

}  // namespace velmora

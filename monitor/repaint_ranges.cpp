#include "monitor/repaint_ranges.h"

#include <algorithm>

namespace velmora {

std::vector<RowRange> RowsToRepaint(const std::vector<std::size_t>& changedRows,
                                    std::size_t firstShown,
                                    std::size_t lastShown) {
  std::vector<RowRange> ranges;
  for (std::size_t i = 0; i < changedRows.size();) {
    std::size_t last = i;
    while (last + 1 < changedRows.size() && changedRows[last + 1] == changedRows[last] + 1)
      ++last;
    const std::size_t first = std::max(changedRows[i], firstShown);
    const std::size_t end = std::min(changedRows[last], lastShown);
    if (first <= end)
      ranges.push_back({first, end});
    i = last + 1;
  }
  return ranges;
}

}  // namespace velmora

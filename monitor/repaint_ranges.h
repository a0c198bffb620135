// Which rows of the table a refresh pass has to repaint. The table takes its texts and icons
// from the model when it paints, so a row out of sight needs nothing: it is drawn fresh when it
// scrolls in. Asking the list view to repaint rows it does not show is not free either; it
// works out every such row's rectangle.
#pragma once

#include <cstddef>
#include <vector>

namespace velmora {

struct RowRange {
  std::size_t first;
  std::size_t last;  // inclusive
  bool operator==(const RowRange&) const = default;
};

// The runs of consecutive rows among `changedRows` (ascending, no repeats), each cut to the
// rows shown, `firstShown` to `lastShown` inclusive; runs wholly out of sight are left out.
std::vector<RowRange> RowsToRepaint(const std::vector<std::size_t>& changedRows,
                                    std::size_t firstShown,
                                    std::size_t lastShown);

}  // namespace velmora

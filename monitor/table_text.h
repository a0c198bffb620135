// The table's columns and the text of every cell, as the list view shows them and as the table is
// copied: one home, so that a copied cell reads exactly as it is shown.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "monitor/location_table.h"
#include "monitor/settings.h"

namespace velmora {

enum class TableColumn {
  kLocation,
  kProgress,
  kWorkUnit,
  kState,
  kResult,
  kLastDate,
  kStateWords,
  kFinishes,
  kDone
};

// The width slots of the optional columns, in their order, and the column of each.
inline constexpr int kOptionalSlots[] = {kStateColumnSlot, kFinishColumnSlot, kDoneColumnSlot};
TableColumn ColumnOfSlot(int slot);

// The list view's columns from left to right: the six, then "State", "Finishes" and "Done (24 h)"
// when shown.
std::vector<TableColumn> ShownColumns(const OptionalColumns& optional);
const char* ColumnCaption(TableColumn column);
std::string CellText(const LocationTable& table, std::size_t row, TableColumn column);

// Every row in display order as tab-separated lines ending in CR LF, after a line of captions:
// a check-box column "On" ("1" or "0") first, then the shown columns. A tab, CR or LF inside a
// cell becomes a blank, so that each cell stays in its place.
std::string TableText(const LocationTable& table, const OptionalColumns& optional);

}  // namespace velmora

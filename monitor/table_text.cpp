#include "monitor/table_text.h"

#include <algorithm>

namespace velmora {

namespace {

void AppendCell(std::string& text, const std::string& cell) {
  const std::size_t start = text.size();
  text += cell;
  std::replace_if(
      text.begin() + static_cast<std::ptrdiff_t>(start), text.end(),
      [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
}

}  // namespace

std::vector<TableColumn> ShownColumns(const OptionalColumns& optional) {
  std::vector<TableColumn> columns{TableColumn::kLocation, TableColumn::kProgress, TableColumn::kWorkUnit,
                                   TableColumn::kState,    TableColumn::kResult,   TableColumn::kLastDate};
  if (optional.state)
    columns.push_back(TableColumn::kStateWords);
  if (optional.finish)
    columns.push_back(TableColumn::kFinishes);
  if (optional.done)
    columns.push_back(TableColumn::kDone);
  return columns;
}

TableColumn ColumnOfSlot(int slot) {
  return slot == kStateColumnSlot    ? TableColumn::kStateWords
         : slot == kFinishColumnSlot ? TableColumn::kFinishes
                                     : TableColumn::kDone;
}

const char* ColumnCaption(TableColumn column) {
  switch (column) {
    case TableColumn::kLocation:
      return "Location";
    case TableColumn::kProgress:
      return "%";
    case TableColumn::kWorkUnit:
      return "WU";
    case TableColumn::kState:
      return "Stt";
    case TableColumn::kResult:
      return "Res";
    case TableColumn::kLastDate:
      return "Last date";
    case TableColumn::kStateWords:
      return "State";
    case TableColumn::kFinishes:
      return "Finishes";
    case TableColumn::kDone:
      return "Done (24 h)";
  }
  return "";
}

std::string CellText(const LocationTable& table, std::size_t row, TableColumn column) {
  switch (column) {
    case TableColumn::kLocation:
      return table.Row(row).caption;
    case TableColumn::kStateWords:
      return table.StateText(row);
    case TableColumn::kFinishes:
      return table.FinishText(row);
    case TableColumn::kDone:
      return table.DoneText(row);
    default:
      return table.Row(row).reading.cells.at(static_cast<std::size_t>(column) - 1);
  }
}

std::string TableText(const LocationTable& table, const OptionalColumns& optional) {
  const std::vector<TableColumn> columns = ShownColumns(optional);
  std::string text = "On";
  for (const TableColumn column : columns) {
    text += '\t';
    text += ColumnCaption(column);
  }
  text += "\r\n";
  for (std::size_t row = 0; row < table.Count(); ++row) {
    text += table.Row(row).enabled ? "1" : "0";
    for (const TableColumn column : columns) {
      text += '\t';
      AppendCell(text, CellText(table, row, column));
    }
    text += "\r\n";
  }
  return text;
}

}  // namespace velmora

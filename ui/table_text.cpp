#include "ui/table_text.h"

namespace halvic::ui {

namespace {

std::string tabCell(const std::string& cell) {
  std::string text = cell;
  for (char& character : text) {
    if (character == '\t' || character == '\r' || character == '\n') {
      character = ' ';
    }
  }
  return text;
}

template <typename CellText>
std::string joinedTable(const TableRequest& table, char separator, const char* lineEnd,
                        CellText cellText) {
  std::string text;
  const auto addLine = [&](const std::vector<std::string>& cells) {
    for (size_t i = 0; i < cells.size(); ++i) {
      if (i > 0) {
        text += separator;
      }
      text += cellText(cells[i]);
    }
    text += lineEnd;
  };
  addLine(table.columns);
  for (const std::vector<std::string>& row : fullRowsOf(table)) {
    addLine(row);
  }
  return text;
}

}  // namespace

std::string csvCell(const std::string& cell) {
  if (cell.find_first_of(",\"\r\n") == std::string::npos) {
    return cell;
  }
  std::string quoted = "\"";
  for (const char character : cell) {
    quoted += character == '"' ? std::string("\"\"") : std::string(1, character);
  }
  return quoted + "\"";
}

const std::vector<std::vector<std::string>>& fullRowsOf(const TableRequest& table) {
  return table.fullRows.empty() ? table.rows : table.fullRows;
}

std::string tabSeparatedText(const TableRequest& table) {
  return joinedTable(table, '\t', "\n", tabCell);
}

std::string csvText(const TableRequest& table) { return joinedTable(table, ',', "\r\n", csvCell); }

}  // namespace halvic::ui

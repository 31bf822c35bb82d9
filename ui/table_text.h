#pragma once

#include <string>
#include <vector>

#include "ui/dialogs.h"

namespace halvic::ui {

/** The rows in full: fullRows, or rows when the table gives no others. */
const std::vector<std::vector<std::string>>& fullRowsOf(const TableRequest& table);

/**
 * The table as tab-separated text for the clipboard: the headings, then one line a full row, cells
 * separated by a tab, lines ended by LF. Tabs and line breaks inside a cell become blanks.
 */
std::string tabSeparatedText(const TableRequest& table);

/**
 * The table as CSV (RFC 4180): the headings, then one record a full row, ended by CR LF; a cell
 * that holds a comma, a double quote or a line break is quoted, its double quotes doubled.
 */
std::string csvText(const TableRequest& table);

/** One CSV cell (RFC 4180): quoted, its double quotes doubled, when it holds a comma, a double
 * quote or a line break; as it is otherwise. */
std::string csvCell(const std::string& cell);

}  // namespace halvic::ui

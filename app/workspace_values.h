#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/workspace.h"

namespace halvic {

/**
 * Workspace values by name, as text: whole numbers in decimal, booleans "true" or "false", floats
 * in the shortest text that reads back to the same value of their own type, texts as they stand.
 * Used by the scripted sessions and their tests.
 */
std::optional<std::string> workspaceValueText(const Workspace& ws, std::string_view name);

/** The names workspaceValueText knows, in the workspace's order. */
std::vector<std::string_view> workspaceValueNames();

/** The names of the arrays workspaceArrayEntryText knows. */
std::vector<std::string_view> workspaceArrayNames();

/** How an array value is indexed. */
enum class ArrayIndexing {
  FromOne,       // profiles: entries 1..768
  FromZero,      // header bytes: file offsets 0..2047
  ColumnAndRow,  // images: (column 1..768, row 1..20)
};

/** The indexing of the array of that name, or nullopt when there is no such array. */
std::optional<ArrayIndexing> workspaceArrayIndexing(std::string_view name);

/**
 * One entry of a workspace array as text (row is used by the images only), or nullopt when the
 * name is not an array or the index lies outside it.
 */
std::optional<std::string> workspaceArrayEntryText(const Workspace& ws, std::string_view name,
                                                   int index, int row);

}  // namespace halvic

#pragma once

#include <optional>
#include <string>
#include <vector>

namespace halvic::realarcs {

/**
 * An archived arc spectrum with its published solution: one entry a detector pixel, in the
 * archive's order. The wavelengths are in vacuum.
 */
struct ArcTable {
  std::vector<double> vacuumA;
  std::vector<double> flux;
};

/** An arc table, or why it could not be read. */
struct ArcTableRead {
  std::optional<ArcTable> table;
  std::string failure;  // empty when table holds the arc
};

/**
 * Reads the arc at path: the first binary table extension, its columns "wave" and "flux" (any
 * case), every row. The path is taken as a file name, never as cfitsio's extended syntax. Fails
 * with cfitsio's reason, or when a column is missing or the table has no rows.
 */
ArcTableRead readArcTable(const std::string& path);

}  // namespace halvic::realarcs

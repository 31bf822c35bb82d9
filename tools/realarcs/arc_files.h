#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "imagefile/image_array.h"
#include "tools/realarcs/arc_table.h"

namespace halvic::realarcs {

/** The columns of a camera-file window: a whole camera image. */
inline constexpr int kWindowColumns = kImageColumns;
/** The rows of a camera-file window, each the same spectrum. */
inline constexpr int kWindowRows = kImageRows;

/** Where the files come from, for the truth file's comment lines. */
struct ArcSource {
  std::string arcName;  // the arc file's name, as the comment shows it
  float pixelSizeUm = 0.0f;
  std::string note;  // one more comment line (provenance), none when empty
};

/** The image file made from an arc and its truth file, or why they could not be made. */
struct ArcFiles {
  std::vector<char> image;
  std::string truth;
  std::string failure;  // empty when both are made
};

/**
 * A plain camera image file of the arc's pixels firstPixel .. firstPixel + 767 (counted from 1)
 * as columns 1..768 of 20 equal rows, the flux scaled by scaledCounts over the window, the
 * display levels by displayLevels, the pixel size in the header; with its truth file. Fails when
 * the window does not lie inside the arc.
 */
ArcFiles buildWindowFiles(const ArcTable& arc, int firstPixel, const ArcSource& source);

/**
 * A FITS image of the whole arc, height equal rows of one column a pixel (16-bit unsigned, the
 * flux scaled by scaledCounts over the arc), the pixel size as XPIXSZ in micrometres; with its
 * truth file. Fails for a height below 1 or cfitsio's failure.
 */
ArcFiles buildWideFiles(const ArcTable& arc, int height, const ArcSource& source);

/**
 * The truth file of columns 1.. of an image made from the arc's pixels from firstPixel on: a
 * few "#" lines of provenance, then one line a column, "COLUMN AIR_WAVELENGTH", the published
 * vacuum wavelength converted by airFromVacuum, in the shortest text that reads back exactly.
 */
std::string truthText(std::span<const double> vacuumA, int firstPixel, const ArcSource& source);

}  // namespace halvic::realarcs

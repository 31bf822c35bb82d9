#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "imagefile/fits_image.h"
#include "imagefile/image_array.h"

namespace halvic {

/** Which way the spectrum runs in the image: along its rows (x) or along its columns (y). */
enum class DispersionAxis { Rows, Columns };

/**
 * How a FITS image becomes a strip, in the image's own rows and columns, counted from 1. With
 * axis Rows the band of rows firstRow.. holds the spectrum and the columns firstColumn.. are the
 * window along it; with axis Columns the band is of columns and the window of rows. The window is
 * binned by bin (bin pixels along the spectrum make one strip column) and flip reverses the
 * strip's columns.
 */
struct Reduction {
  DispersionAxis axis = DispersionAxis::Rows;
  int firstRow = 1;
  int rows = 1;
  int firstColumn = 1;
  int columns = 1;
  int bin = 1;
  bool flip = false;

  friend bool operator==(const Reduction&, const Reduction&) = default;
};

/** The names of a reduction's fields, as the reduction form and scripts call them. */
namespace reduction_field {
inline constexpr std::string_view kAxis = "axis";
inline constexpr std::string_view kFirstRow = "first_row";
inline constexpr std::string_view kRows = "rows";
inline constexpr std::string_view kFirstColumn = "first_column";
inline constexpr std::string_view kColumns = "columns";
inline constexpr std::string_view kBin = "bin";
inline constexpr std::string_view kFlip = "flip";
}  // namespace reduction_field

/** The largest value of a strip pixel that is not saturated. */
inline constexpr int16_t kLargestUnsaturatedStripValue = 30000;
/** The value of a strip pixel that averages a saturated pixel. */
inline constexpr int16_t kSaturatedStripValue = 32767;

/** A field of a reduction that cannot be used, and why, in words for the user. */
struct ReductionProblem {
  std::string_view field;  // one of reduction_field
  std::string reason;

  friend bool operator==(const ReductionProblem&, const ReductionProblem&) = default;
};

/**
 * Every field of reduction that cannot be used on image, in field order: a first row or column
 * outside the image, a band or window of no rows or columns or running past the image's edge, a
 * bin below 1, or a bin that leaves no column or more than 768 columns. Empty when it can be
 * used.
 */
std::vector<ReductionProblem> checkReduction(const FitsImage& image, const Reduction& reduction);

/**
 * The reduction the program proposes for image. When objectReduction is given and can be used on
 * image, it is taken whole, so that a lamp is reduced as its object was. Otherwise: the spectrum
 * runs along the axis in which the image's light spreads the furthest; the band is centred on the
 * brightest trace across it and holds the trace (as far as it stays above a tenth of its height)
 * with as much sky again on either side, cut at the image's edges; the window is the whole
 * length, binned by the smallest whole factor that brings it into 768 columns; no flip. The
 * profiles it is found from are means of the pixels that are not blank.
 */
Reduction proposeReduction(const FitsImage& image, const std::optional<Reduction>& objectReduction);

/**
 * The original image's pixel along the spectrum (its column with axis Rows, its row with axis
 * Columns, counted from 1) at the centre of strip column stripColumn (from 1) of a strip
 * stripWidth columns wide made by reduction: a binned column's centre lies half-way between its
 * first and last pixel, and with flip the strip's first column is the window's last bin.
 */
double originalPixelOf(const Reduction& reduction, int stripWidth, int stripColumn);

/**
 * Whether two reductions put every strip column on the same original pixels: the same axis,
 * window start, bin, flip and number of strip columns. The band across the spectrum may differ.
 */
bool mapsColumnsAlike(const Reduction& first, const Reduction& second);

/** A strip made from a FITS image, ready to be shown as a camera image. */
struct ReducedStrip {
  ImageArray image;  // columns 1..width of rows 1..height; every other cell 0
  int16_t width = 0;
  int16_t height = 0;
  std::optional<float> pixelSizeUm;  // the original pixel size times the bin
  int16_t background = 0;            // the strip's median: shown black
  int32_t range = 1;                 // from the background to 30000: shown white
  int64_t blankPixelsReplaced = 0;
  int64_t saturatedStripPixels = 0;
};

/** A strip, or why the reduction could not make one. */
struct StripReduction {
  std::optional<ReducedStrip> strip;
  std::string reason;  // the first problem of checkReduction when strip is nullopt
};

/**
 * Reduces image to a strip by reduction; pixelSizeUm is the size of the image's own pixels along
 * the spectrum, when known. The band's H rows (or columns) become min(H, 20) strip rows, each the
 * mean of a run of consecutive band rows: strip row k (from 0) takes band rows
 * floor(k H / S) to floor((k + 1) H / S) - 1, so the runs differ by at most one row and use every
 * band row once. The window's columns are binned in groups of bin from its first column, each
 * strip column the mean of its group; a last group shorter than bin is dropped, so that every
 * strip column spans the same width. Blank pixels of the band and window are first set to their
 * median (0 when all are blank). A strip pixel any of whose pixels is saturated (at the image's
 * stored maximum, or at or above SATURATE) is 32767; the others are scaled so that the largest of
 * them is 30000, negative values held at 0, rounded half to even. flip reverses the columns.
 */
StripReduction reduceToStrip(const FitsImage& image, const Reduction& reduction,
                             std::optional<float> pixelSizeUm);

}  // namespace halvic

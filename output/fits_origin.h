#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "imagefile/fits_reduction.h"

namespace halvic {

/** Where a strip reduced from a FITS image came from: the file and the reduction that made it. */
struct FitsOrigin {
  std::string path;
  Reduction reduction;
};

/** The reduction form's and the scripts' words for the dispersion axis. */
inline constexpr std::string_view kAlongRows = "rows";
inline constexpr std::string_view kAlongColumns = "columns";

/** "rows" or "columns". */
std::string_view axisText(DispersionAxis axis);

/** The reduction in the form's own words: "axis=rows first_row=12 rows=9 ... bin=4 flip=0". */
std::string reductionWords(const Reduction& reduction);

/**
 * The HISTORY lines a FITS export of the strip gets: the original file, and the reduction in the
 * form's own words ("axis=rows first_row=12 ... flip=0"), so that it can be made again.
 */
std::vector<std::string> fitsOriginHistory(const FitsOrigin& origin);

}  // namespace halvic

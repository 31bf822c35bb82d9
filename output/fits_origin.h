#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "imagefile/fits_image.h"
#include "imagefile/fits_reduction.h"
#include "ui/dialogs.h"

namespace halvic {

/** Where a strip reduced from a FITS image came from: the file and the reduction that made it. */
struct FitsOrigin {
  std::string path;
  Reduction reduction;
  /** What its header says of the observation (object, exposure, where it points). */
  FitsHeaderValues header;
};

/**
 * The observing form with what the image's own header gives taking the place of its values:
 * OBJECT as the object, EXPTIME as the exposure, RA and DEC (or OBJCTRA and OBJCTDEC, written
 * "hh mm ss.s" and "+dd mm ss") as the coordinates.
 */
std::vector<ui::FormField> withFitsHeaderValues(std::vector<ui::FormField> fields,
                                                const FitsHeaderValues& header);

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

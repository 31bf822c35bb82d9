#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "imagefile/fits_image.h"
#include "imagefile/fits_reduction.h"
#include "imagefile/image_array.h"

namespace halvic {

/** A capture's date and time as a camera writes them; each missing when it cannot be told. */
struct CameraDateTime {
  std::optional<std::string> date;  // month/day/year: "03/14/2024"
  std::optional<std::string> time;  // hours:minutes:seconds: "21:12:40"
};

/**
 * The camera's date and time of a FITS DATE-OBS: "2024-03-14T21:12:40.25" gives "03/14/2024" and
 * "21:12:40" (a fraction of a second is dropped, so the time never moves to the next day); a
 * date alone gives the date alone. Both are missing unless the value is YYYY-MM-DD of a real day,
 * alone or followed by 'T' and hh:mm:ss of a real time of day (a fraction after it allowed).
 */
CameraDateTime cameraDateTimeOf(std::string_view dateObs);

/**
 * The camera header block of a strip reduced from a FITS image, which the camera file reader
 * reads as it reads a camera file's: the strip's height, width, background and range, its pixel
 * size in millimetres (0 when not known), the date and time of DATE-OBS and the exposure of
 * EXPTIME when the FITS header has them.
 */
HeaderBytes reducedImageHeader(const ReducedStrip& strip, const FitsHeaderValues& header);

}  // namespace halvic

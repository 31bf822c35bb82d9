#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace halvic {

/** The most pixels a FITS image may have; a larger one is refused before anything is allocated. */
inline constexpr int64_t kMaxFitsPixels = 100'000'000;

/** The values of a FITS header the program uses, each missing when the header lacks it. */
struct FitsHeaderValues {
  std::optional<double> xPixelSizeUm;               // XPIXSZ: micrometres, as written after binning
  std::optional<double> pixelSize1Um;               // PIXSIZE1: micrometres of an unbinned pixel
  std::optional<double> xBinning;                   // XBINNING
  std::optional<double> saturationLevel;            // SATURATE, in the image's values
  std::optional<double> exposureSeconds;            // EXPTIME
  std::optional<std::string> dateObs;               // DATE-OBS, as written
  std::optional<std::string> object;                // OBJECT
  std::optional<std::string> rightAscension;        // RA, as written (a number or a text)
  std::optional<std::string> declination;           // DEC
  std::optional<std::string> objectRightAscension;  // OBJCTRA
  std::optional<std::string> objectDeclination;     // OBJCTDEC
};

/**
 * A FITS image as 32-bit floats: width columns (NAXIS1) by height rows (NAXIS2), row by row from
 * the file's first row, BZERO and BSCALE applied. A blank pixel (BLANK, NaN or an infinity) is
 * NaN in pixels and counted in blankPixels.
 */
struct FitsImage {
  int width = 0;
  int height = 0;
  std::vector<float> pixels;
  int64_t blankPixels = 0;
  /**
   * The value a pixel has when its stored integer is the largest its type holds (65535 for 16-bit
   * data with BZERO 32768): a saturated pixel. nullopt for floating-point data, which has none.
   */
  std::optional<float> storedMaximum;
  FitsHeaderValues header;

  /** The pixel at column, row, counted from 1 as FITS counts them; no bounds check. */
  float at(int column, int row) const {
    return pixels[static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(column - 1)];
  }
};

/** A FITS image read, or why it was refused. */
struct FitsImageRead {
  std::optional<FitsImage> image;
  std::string reason;  // set when image is nullopt: "it holds tables only", "not a FITS file", ...
};

/**
 * Reads the first image of the FITS file at path that holds pixels: two axes, or three with the
 * third of length 1; any BITPIX, tile-compressed images included. Refused, with a short reason,
 * when path is not a regular file (a FIFO, device or socket is never opened; a folder or a
 * missing file cannot be opened), the file does not start as FITS does, holds tables only or no
 * pixels, its image is a cube or has another number of axes, has more than kMaxFitsPixels pixels
 * (refused before the pixels are allocated), or ends before its last pixel (checked before the
 * pixels are allocated when the image is not compressed); a compressed image also when its tiles
 * are not of a code whose decoder is safe on a damaged file or fail the checks of
 * fits::compressedTilesRefusal. cfitsio reads the file through
 * the descriptor opened here, so its extended file name syntax never applies to path, and numbers
 * are read under the C numeric rules whatever the process's LC_NUMERIC.
 */
FitsImageRead readFitsImage(const std::string& path);

/**
 * Whether path is a regular file that starts as a FITS file does ("SIMPLE  ="), whatever its
 * name; false when it cannot be opened or is a FIFO, device or socket, which is never read.
 */
bool isFitsFile(const std::string& path);

/**
 * The size of the image's pixels from its header, in micrometres: XPIXSZ, else PIXSIZE1 times
 * XBINNING (1 when missing); nullopt when neither gives a finite positive size.
 */
std::optional<float> headerPixelSize(const FitsHeaderValues& header);

}  // namespace halvic

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calibration/grating_model.h"
#include "output/model_point.h"
#include "spectrum/profile_array.h"

namespace halvic {

/**
 * The name of the text file written beside an image: the image's file name without its last three
 * characters, followed by "txt" ("night1.abc" gives "night1.txt", "a/b/img.fits" gives
 * "a/b/img.ftxt"). The three characters go whatever they are; a character is one UTF-8 sequence,
 * so a non-ASCII character at the end is removed whole, never cut into bytes. A name of three
 * characters or fewer loses all of them and gives "txt", in the working folder. Only when the
 * three characters hold a '/' ("sub/ab", "/a"), which would move the export into another folder,
 * is the export the whole name followed by ".txt" ("sub/ab.txt"). The empty name also gives
 * "txt"; the caller refuses it first, since it means that no image is loaded.
 */
std::string textExportName(std::string_view imageFileName);

/** What the text of a profile is made from. */
struct TextExportInputs {
  const ProfileArray& profile;
  /** Columns 1..length are written; 0 or less writes no column lines. */
  int16_t length = 0;
  /** The grating model when the system is calibrated; nullopt writes no wavelength field. */
  std::optional<GratingModel> calibration;
};

/** A text file in memory, and the model's output at the last column it evaluated. */
struct TextExport {
  std::string bytes;
  /** nullopt when nothing was evaluated: not calibrated, or no columns. */
  std::optional<ModelPoint> lastEvaluated;
};

/**
 * The whole text file of a profile. The text is one quoted item: a double quote, CR LF, one line
 * a column, an empty line, a double quote, CR LF. Each column line ends in CR LF and holds, split
 * by one TAB, the column number ("##0"), the wavelength of the whole column by the model as a
 * 64-bit value ("###0.00", present only with a calibration) and the profile value as a 32-bit float
 * ("######0"). There is no header and no units; the decimal separator is always '.'.
 */
TextExport buildTextExport(const TextExportInputs& inputs);

}  // namespace halvic

#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "calibration/calibration.h"
#include "calibration/lamp_lines.h"
#include "imagefile/fits_reduction.h"
#include "output/fits_file.h"
#include "spectrum/profile_extraction.h"

namespace halvic {

/**
 * A calibration file: FITS with an empty primary array whose header holds the model's 'AWAV-GRA'
 * coordinates (WCSAXES = 1, so that a reader of FITS coordinates finds the model's wavelengths in
 * it) and what a solve reads or writes under the program's own keys, at full precision: 64-bit
 * values with 17 significant digits, 32-bit ones with 9, so that each reads back to itself; each
 * line wavelength with its type (Double, Int16 or Single); the general model's deviation and
 * distortion terms, and what the user set of the spectrograph. The overload below adds what the
 * calibration was made from.
 */
FileBytes buildCalibrationFile(const Calibration& calibration);

/**
 * What a calibration was made from, so that another object is extracted as the window extracted
 * this one and the lamp is found again on a new lamp: the crop bands of both images, the
 * filters, the FITS reduction when the images came from FITS, the lamp's profile (columns 1..n),
 * the lamps whose lines were chosen (none: the built-in list) and the RMS of the applied refine (0
 * when there was none).
 */
struct CalibrationSource {
  int16_t dataCropRow1 = 1;
  int16_t dataCropRow2 = kImageRows;
  int16_t lampCropRow1 = 1;
  int16_t lampCropRow2 = kImageRows;
  ExtractionOptions filters;
  std::optional<Reduction> reduction;
  std::vector<int32_t> lampProfile;
  /** The chosen lamps (empty: the built-in list); nullopt for a file that does not say. */
  std::optional<std::vector<LampElement>> lampElements;
  int32_t refinedLines = 0;
  double refinedRmsA = 0.0;

  friend bool operator==(const CalibrationSource&, const CalibrationSource&) = default;
};

/**
 * The same file with what the calibration was made from: the lamp's profile is the primary array
 * (its wavelength axis the model's coordinates), the rest the program's keys.
 */
FileBytes buildCalibrationFile(const Calibration& calibration, const CalibrationSource& source);

/** The calibration of a file, or why the file is not one. */
struct CalibrationRead {
  std::optional<Calibration> calibration;
  std::string reason;  // set when calibration is nullopt
  /** Whether the file holds the spectrograph's settings: files written before them do not. */
  bool holdsSpectrograph = false;
  /** What it was made from; nullopt for a file written before that was kept. */
  std::optional<CalibrationSource> source;
};

/**
 * The calibration a file's bytes hold, calibrated, with no refine; a file without the general
 * model's keys holds the Littrow model, one without the spectrograph's settings sets none.
 * Refused, with a reason, unless it is FITS, holds the 'AWAV-GRA' keys and every key of the
 * program with a valid value: finite numbers, a positive pixel size and groove spacing, a focal
 * length other than 0 (negative when the wavelength rises with the column), a known wavelength
 * type whose value fits it; and unless what it holds is a spectrograph's: a groove density of 10
 * to 10000 lines/mm, a pixel size of 0.5 to 1000 um, a model whose wavelengths stay within 900
 * to 30000 A over columns 1 to 768 and rise (or fall) steadily there, and coordinate keys that
 * give the model's wavelength at every one of those columns to 1e-6 of a pixel. A file that
 * keeps its source is refused too when a crop row is outside 1..20, a reduction's axis is not
 * 'rows' or 'columns' or one of its sizes is below 1, or the lamp's profile is longer than 768
 * columns, not whole numbers or below 0.
 */
CalibrationRead readCalibrationFile(std::span<const char> bytes);

/**
 * The same for the file at path, which must be a regular file (a FIFO or a device is never read)
 * of at most 64 KiB, far more than any calibration file.
 */
CalibrationRead readCalibrationFile(const std::string& path);

}  // namespace halvic

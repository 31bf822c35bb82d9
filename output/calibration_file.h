#pragma once

#include <optional>
#include <span>
#include <string>

#include "calibration/grating_model.h"
#include "calibration/line_wavelength.h"
#include "output/fits_file.h"

namespace halvic {

/** Everything a solve reads or writes, as a calibration file keeps it. */
struct CalibrationValues {
  LineWavelength line1Wavelength;
  LineWavelength line2Wavelength;
  float line1Pixel = 0.0f;
  float line2Pixel = 0.0f;
  float dispersionAPerMm = 0.0f;
  double grooveSpacingUm = 0.0;
  double alphaDeg = 0.0;
  double gammaDeg = 0.0;
  double focalLengthMm = 0.0;
  bool focalLengthSolved = false;
  float xPixelSize = 0.0f;

  friend bool operator==(const CalibrationValues&, const CalibrationValues&) = default;
};

/**
 * A calibration file: FITS with an empty primary array whose header holds the model's 'AWAV-GRA'
 * coordinates (WCSAXES = 1, so that a reader of FITS coordinates finds the model's wavelengths in
 * it) and the values themselves under the program's own keys, at full precision: 64-bit values
 * with 17 significant digits, 32-bit ones with 9, so that each reads back to itself; each line
 * wavelength with its type (Double, Int16 or Single). degreesPerRadian is the model's, which the
 * coordinates need.
 */
FileBytes buildCalibrationFile(const CalibrationValues& values, float degreesPerRadian);

/** The values of a calibration file, or why the file is not one. */
struct CalibrationRead {
  std::optional<CalibrationValues> values;
  std::string reason;  // set when values is nullopt
};

/**
 * The values of a calibration file's bytes. Refused, with a reason, unless it is FITS, holds the
 * 'AWAV-GRA' keys and every key of the program with a valid value: finite numbers, a positive
 * pixel size and groove spacing, a focal length other than 0 (negative when the wavelength rises
 * with the column), a known wavelength type whose value fits it.
 */
CalibrationRead readCalibrationFile(std::span<const char> bytes);

/**
 * The same for the file at path, which must be a regular file (a FIFO or a device is never read)
 * of at most 64 KiB, far more than any calibration file.
 */
CalibrationRead readCalibrationFile(const std::string& path);

}  // namespace halvic

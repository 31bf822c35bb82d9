#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "calibration/grating_model.h"
#include "calibration/line_wavelength.h"
#include "imagefile/image_array.h"
#include "spectrum/profile_array.h"

namespace halvic {

/** What the check made of one lamp line. Only Used lines count in the RMS and the refine. */
enum class LineStatus {
  Used,       // measured cleanly
  Blended,    // another lamp line falls inside its window at this dispersion
  NoLine,     // no centroid, or a peak lost in the noise
  Saturated,  // a pixel of the crop rows under its window reads full scale
  Edge,       // too near either end of the profile for a fair window
};

/** The status as one word: "used", "blended", "no-line", "saturated", "edge". */
std::string_view lineStatusWord(LineStatus status);

/** A peak above the background must reach this many times the noise to count as a line. */
inline constexpr double kLineNoiseMultiple = 3.0;
/** Columns either side of the window (outside it) whose spread measures the noise. */
inline constexpr int kNoiseFlankColumns = 10;
/** The count a camera pixel reads at full scale. */
inline constexpr int16_t kSaturatedCount = 32767;
/** Residuals in km/s: c times the residual over the wavelength. */
inline constexpr double kSpeedOfLightKmPerS = 299792.458;

/** Where and how the check measures: the cal profile, the cal image's crop rows, the model. */
struct LineCheckInputs {
  const ProfileArray& profile;
  int16_t length = 0;
  const ImageArray& image;  // the cal image, for full-scale pixels
  int16_t cropRow1 = 1;
  int16_t cropRow2 = kImageRows;
  const GratingModel& model;
  int16_t width = 0;  // the centroid window, as "Mark Line" uses it
};

/** One examined lamp line. The residuals are set whenever measuredPixel is. */
struct CheckedLine {
  LineWavelength wavelength;
  LineStatus status = LineStatus::NoLine;
  double predictedPixel = 0.0;
  std::optional<float> measuredPixel;  // unset for NoLine and where no centroid was found
  std::optional<double> residualA;     // measured minus listed wavelength
  std::optional<double> residualPx;    // measured minus predicted pixel
  std::optional<double> residualKms;
};

/** The examined lines in wavelength order, and the RMS of the Used ones (unset when none). */
struct LineCheck {
  std::vector<CheckedLine> lines;
  int used = 0;
  std::optional<double> rmsA;
  std::optional<double> rmsKms;
};

/** The mercury, neon and argon wavelengths of the line list, in wavelength order. */
std::vector<LineWavelength> lampLineWavelengths();

/**
 * The fractional column in [1, length] where the model puts the wavelength, found by bisection
 * (the model is monotonic over the profile); nullopt when it lies outside, or length < 2.
 */
std::optional<double> modelPixelOf(const GratingModel& model, double wavelength, int16_t length);

/**
 * Measures every line of `lamps` (in wavelength order) whose model pixel lies inside the profile.
 * The centroid is centroidLine's, in a window of inputs.width centred on the predicted pixel's
 * nearest column, then once more on the nearest column of that centroid. The status is the first
 * that applies of: Edge (the predicted pixel within one width of column 1 or of column length),
 * Saturated (a crop-row pixel at kSaturatedCount in the columns of either window), Blended
 * (another of `lamps` predicted less than one width away, so that the two windows overlap),
 * NoLine (no centroid, a window centroidLine weighs as an absorption line, a centroid more than
 * half a width from the predicted pixel, or the
 * window's highest value above the background, the median of the kNoiseFlankColumns columns
 * either side outside the final window, below kLineNoiseMultiple times their median absolute
 * deviation), Used.
 */
LineCheck checkCalibration(const LineCheckInputs& inputs, std::span<const LineWavelength> lamps);

}  // namespace halvic

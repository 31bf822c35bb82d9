#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "calibration/grating_model.h"
#include "calibration/lamp_lines.h"
#include "calibration/line_measurement.h"
#include "calibration/line_wavelength.h"
#include "imagefile/image_array.h"
#include "spectrum/profile_array.h"

namespace halvic {

/** What the check made of one lamp line. Only Used lines count in the RMS and the refine. */
enum class LineStatus {
  Used,       // measured cleanly
  Blended,    // another lamp line falls within two line widths at this dispersion
  NoLine,     // no line within a line width of the prediction
  Saturated,  // a pixel of the crop rows under its window reads full scale
  Edge,       // too near either end of the profile for its window and background
};

/** The status as one word: "used", "blended", "no-line", "saturated", "edge". */
std::string_view lineStatusWord(LineStatus status);

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
  double lineWidth = kDefaultLineWidthPx;  // the lamp's line width in columns (lampLineWidth)
};

/** One examined lamp line. The residuals are set whenever measuredPixel is. */
struct CheckedLine {
  LineWavelength wavelength;
  LineStatus status = LineStatus::NoLine;
  double predictedPixel = 0.0;
  std::optional<float> measuredPixel;  // unset for NoLine and where no line was measured
  std::optional<double> residualA;     // measured minus listed wavelength
  std::optional<double> residualPx;    // measured minus predicted pixel
  std::optional<double> residualKms;
};

/**
 * The examined lines in wavelength order, and the RMS of the Used ones (unset when none). Every
 * listed line the model puts on the strip is examined: `lines.size()` of them, of which `used`
 * were found, spanning fromA to toA (0 when none).
 */
struct LineCheck {
  std::vector<CheckedLine> lines;
  int used = 0;
  std::optional<double> rmsA;
  std::optional<double> rmsKms;
  double fromA = 0.0;
  double toA = 0.0;
};

/** The mercury, neon and argon wavelengths of the line list, in wavelength order. */
std::vector<LineWavelength> lampLineWavelengths();

/**
 * The lines a check, a refine or a re-identification looks for: the air wavelengths of the
 * chosen lamps' listed lines, or lampLineWavelengths when no lamp is chosen.
 */
std::vector<LineWavelength> listedLampWavelengths(std::span<const LampElement> elements);

/**
 * The fractional column in [1, length] where the model puts the wavelength, found by bisection
 * (the model is monotonic over the profile); nullopt when it lies outside, or length < 2.
 */
std::optional<double> modelPixelOf(const GratingModel& model, double wavelength, int16_t length);

/**
 * Measures every line of `lamps` (in wavelength order) whose model pixel lies inside the profile,
 * at the lamp's line width (measureLineNear, the peak within one width of the prediction). The
 * status is the first that applies of: Edge (the prediction nearer either end than
 * measurementReach), Saturated (a crop-row pixel at full scale within one width of the
 * prediction or of the measured line), Blended (another of `lamps` predicted less than two
 * widths away), NoLine (no line measured), Used.
 */
LineCheck checkCalibration(const LineCheckInputs& inputs, std::span<const LineWavelength> lamps);

}  // namespace halvic

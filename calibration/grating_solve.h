#pragma once

#include <optional>

#include "calibration/dispersion.h"
#include "calibration/grating_model.h"
#include "calibration/line_wavelength.h"

namespace halvic {

/** The two marked lamp lines: known wavelengths and measured centroids (pixel columns from 1). */
struct LineMarks {
  LineWavelength line1Wavelength, line2Wavelength;
  float line1Pixel = 0, line2Pixel = 0;

  friend bool operator==(const LineMarks&, const LineMarks&) = default;
};

struct SolveResult {
  bool solved = false;
  GratingModel model;    // the fitted model on success, the start model unchanged on failure
  double betaDeg = 0.0;  // diffraction angle of the solve's last model evaluation; 0 on failure
};

/**
 * Fits the model to the marked lines. A full solve (focalLengthSolved false) chooses the groove
 * spacing from |dispersionAPerMm|, scans alpha coarsely and rescales the focal length twice, then
 * scans alpha finely; it starts from start.focalLengthMm. A re-fit (focalLengthSolved true)
 * chooses the groove spacing and scans alpha finely so that line 1 falls on its wavelength,
 * keeping the focal length; line 2 takes no part.
 *
 * solved is false, and no value of the result is NaN or infinite, when the model cannot be
 * fitted: no pixel size, a focal length of 0, a non-finite input, both lines at one pixel or of
 * one wavelength (full solve), a line 1 wavelength that no angle from 0 to 40 degrees reaches,
 * any non-finite angle, focal length or wavelength on the way, or a result that misses a line it
 * was given (line 1, and line 2 after a full solve) by more than the model's wavelength step over
 * one column at its centroid. The caller then keeps its previous calibration.
 *
 * chosenGrooveSpacingUm, when given, is the groove spacing of a grating the user named; the solve
 * uses it in place of the one the dispersion picks, and runs the same passes.
 */
SolveResult solveGratingModel(const GratingModel& start, const LineMarks& marks,
                              float dispersionAPerMm, bool focalLengthSolved,
                              std::optional<double> chosenGrooveSpacingUm = std::nullopt);

}  // namespace halvic

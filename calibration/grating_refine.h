#pragma once

#include <span>

#include "calibration/grating_model.h"
#include "calibration/term_fit.h"

namespace halvic {

enum class RefineStatus {
  Refined,
  TooFewLines,   // fewer than kFewestRefineLines lines given
  NotConverged,  // the fit stopped short of a least-squares minimum, or gave no usable model
};

/** A least-squares fit of two parameters needs at least one line more to measure its spread. */
inline constexpr int kFewestRefineLines = 3;
/** The second pass leaves out lines whose residual exceeds this many times the first pass's RMS. */
inline constexpr double kRefineRejectionMultiple = 3.0;

struct RefineResult {
  RefineStatus status = RefineStatus::NotConverged;
  GratingModel model;               // the refined model when Refined, else the start model
  double alphaErrorDeg = 0.0;       // standard errors from the Jacobian at the solution and the
  double focalLengthErrorMm = 0.0;  // residual variance; 0 unless Refined
  double rmsBeforeA = 0.0;          // the start model over all the lines given
  double rmsAfterA = 0.0;           // the refined model over the lines kept; 0 unless Refined
  int linesGiven = 0;
  int linesKept = 0;  // lines of the final pass; 0 unless Refined
};

/**
 * Fits the grating angle and the focal length of `start` to the lines by Levenberg-Marquardt on
 * the model itself (evaluateGratingModel), starting from start's values; the pixel size, groove
 * spacing and gamma stay. A second pass, from the first pass's solution, leaves out the lines more
 * than kRefineRejectionMultiple times the first pass's RMS off. TooFewLines with fewer than
 * kFewestRefineLines lines; NotConverged when either pass stops anywhere but at a minimum (the
 * residuals at right angles to every column of the Jacobian, to a cosine of 1e-6, or an RMS below
 * 1e-6 A), whatever the fit's own reason for stopping, or when the result is not
 * finite. The residual of a line is the model's wavelength at its pixel minus its wavelength.
 */
RefineResult refineGratingModel(const GratingModel& start, std::span<const RefineLine> lines);

/** isLeastSquaresMinimum for the angle and the focal length. */
bool isLeastSquaresMinimum(const GratingModel& model, std::span<const RefineLine> lines);

}  // namespace halvic

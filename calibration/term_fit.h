#pragma once

#include <optional>
#include <span>
#include <vector>

#include "calibration/grating_model.h"
#include "calibration/model_terms.h"

namespace halvic {

/** One measured lamp line given to a fit: its centroid column and its listed wavelength. */
struct RefineLine {
  double pixel = 0.0;
  double wavelength = 0.0;

  friend bool operator==(const RefineLine&, const RefineLine&) = default;
};

/** A least-squares fit of some of the model's terms to lines. */
struct TermFit {
  GratingModel model;
  /** One a term, in the term's unit: s^2 (J^T J)^-1, s^2 the residual variance (lines - terms). */
  std::vector<double> standardErrors;
  double rmsA = 0.0;
  /**
   * The leave-one-out RMS in pixels: each line's residual as a fit without it would leave it
   * (the residual over 1 - its leverage, the diagonal of the hat matrix), over the model's
   * wavelength step at it.
   */
  double leaveOneOutRmsPx = 0.0;
  /**
   * The lines could not tell some terms apart (the fit lies on a valley of equally good models,
   * such as alpha at 90 degrees): the leave-one-out RMS is that of the pseudo-inverse and there
   * are no standard errors.
   */
  bool degenerate = false;
  /** s^2 (J^T J)^-1, row by row, a row a term; empty when degenerate. */
  std::vector<double> covariance;
};

/** Whether a fit whose lines cannot tell its terms apart is kept (marked degenerate). */
enum class Degeneracy { Refuse, Keep };

/**
 * Fits the terms of `start` to the lines by Levenberg-Marquardt on the model itself, every other
 * term staying as start has it; the residual of a line is the model's wavelength at its pixel
 * minus its wavelength. nullopt when there are no more lines than terms, when the fit stops
 * anywhere but at a least-squares minimum (isLeastSquaresMinimum), whatever its own reason for
 * stopping, or, unless kept, when the lines cannot tell the terms apart.
 */
std::optional<TermFit> fitTerms(const GratingModel& start, std::span<const RefineLine> lines,
                                std::span<const ModelTerm> terms,
                                Degeneracy degeneracy = Degeneracy::Refuse);

/**
 * The terms of `start` that make the model pass through as many lines as there are terms, by
 * Levenberg-Marquardt; nullopt when the lines are not as many as the terms or no such model was
 * found (residuals above 1e-6 A).
 */
std::optional<GratingModel> solveTerms(const GratingModel& start,
                                       std::span<const RefineLine> lines,
                                       std::span<const ModelTerm> terms);

/**
 * Whether model is a least-squares minimum of the lines for the terms: every column of the
 * Jacobian at right angles to the residual vector (|cos| at most 1e-6), or an RMS below 1e-6 A,
 * which is the arithmetic's own. Whatever a fit said when it stopped, a model that fails this is
 * no result of it.
 */
bool isLeastSquaresMinimum(const GratingModel& model, std::span<const RefineLine> lines,
                           std::span<const ModelTerm> terms);

/**
 * The standard error of the fit's wavelength at pixel, from its covariance, in columns: small
 * among the lines it was fitted to, growing beyond them. 0 for a degenerate fit.
 */
double predictionErrorPx(const TermFit& fit, std::span<const ModelTerm> terms, double pixel);

/** The residual of a line under the model, in Angstroms. */
double residualOf(const GratingModel& model, const RefineLine& line);

/** The root mean square of the model's residuals over the lines; 0 for none. */
double modelRms(const GratingModel& model, std::span<const RefineLine> lines);

/** The model's wavelength step over one column at pixel, in Angstroms (its size). */
double wavelengthStep(const GratingModel& model, double pixel);

}  // namespace halvic

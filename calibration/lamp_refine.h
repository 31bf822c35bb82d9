#pragma once

#include <span>
#include <vector>

#include "calibration/grating_model.h"
#include "calibration/grating_refine.h"
#include "calibration/grating_solve.h"
#include "calibration/line_measurement.h"
#include "calibration/line_wavelength.h"
#include "calibration/model_terms.h"

namespace halvic {

/** What a refine on the lamp's own lines starts from. */
struct LampRefineInputs {
  LampProfile lamp;
  /** The model in force: the two-line solve, with what is set of the spectrograph. */
  GratingModel start;
  /** The two marked lines, where identification starts. */
  LineMarks marks;
  /** The listed lines of the chosen lamps, in wavelength order. */
  std::span<const LineWavelength> listed;
  /**
   * Whether every listed line shows on the lamp, as the built-in list's do; a line with another
   * listed one within kBlendWidths line widths is then not identified, as the check calls it
   * blended. The element lists are dense with lines too faint to pull a strong one.
   */
  bool everyListedLineShows = false;
};

/** A lamp line the refine identified: where the profile shows it and its wavelength. */
struct IdentifiedLine {
  double pixel = 0.0;
  LineWavelength listed;  // the listed line, or the marked wavelength of a marked line
  /** Left out of the fit: more than three standard deviations (from the MAD) off. */
  bool rejected = false;
};

/** The refine's account. */
struct LampRefine {
  RefineStatus status = RefineStatus::NotConverged;
  GratingModel model;  // the refined model when Refined, else the start
  std::vector<ModelTerm> terms;
  std::vector<double> standardErrors;  // one a term
  std::vector<IdentifiedLine> lines;   // in wavelength order
  int used = 0;
  int rejected = 0;
  double rmsA = 0.0;           // the refined model over the lines used
  double leaveOneOutPx = 0.0;  // the refined model's, over the lines used
  double startRmsA = 0.0;      // the start model over the same lines
  double startRmsPx = 0.0;     // the same in pixels: it was fitted to none of them
  double lineWidthPx = 0.0;    // the lamp's line width the lines were measured at
  /** The largest standard error of the refined model's wavelength over the strip, in columns. */
  double worstPredictionPx = 0.0;
  /** The least and the most of the refined model's step per column over the start model's. */
  double leastStepRatio = 0.0;
  double mostStepRatio = 0.0;

  /**
   * Whether the refined model is to be taken: it predicts a line it was not fitted to better than
   * the start predicts the lines, and its own standard error stays within
   * kMostTrustedPredictionPx over the whole strip (a model that only its lines hold in place
   * can wander far beyond them), and its step per column stays within kMostStepChange times
   * the start model's at every column (a fit that takes the camera to a grazing angle meets the
   * lines and runs away between the last line and the end of the strip).
   */
  bool improved() const;
};

/** A term is kept only when the leave-one-out RMS falls by at least this share. */
inline constexpr double kLeastTermGain = 0.10;
/** A term is tried only with at least this many lines for every term fitted. */
inline constexpr int kLinesPerTerm = 3;
/** The largest standard error over the strip of a refined model that is taken, in columns. */
inline constexpr double kMostTrustedPredictionPx = 0.5;
/** The most the refine may change the wavelength step of any column, as a factor. */
inline constexpr double kMostStepChange = 1.25;
/** Lines further off than this many standard deviations (from the MAD) are left out. */
inline constexpr double kClipSigmas = 3.0;

/**
 * Refines the model on the lamp's own lines. Every line of the profile is measured at the lamp's
 * line width; lines are then identified outwards from the two marked ones: those nearest them
 * first, then, with the model fitted to them, those further out, until no new line is found. A
 * line is identified when exactly one listed line lies within the match tolerance of it under the
 * model of the moment. The terms fitted are chosen by leave-one-out cross-validation among the
 * nested models {alpha, focal length}, + deviation, + distortion3, + distortion2: a term is added
 * only when the leave-one-out RMS in pixels falls by kLeastTermGain and there are kLinesPerTerm
 * lines for each term; the groove density is never changed. Lines more than kClipSigmas
 * standard deviations off are left out, again and again until none is. TooFewLines when fewer
 * than kFewestRefineLines lines are left; NotConverged when no fit ends at a minimum.
 */
LampRefine refineOnLampLines(const LampRefineInputs& inputs);

}  // namespace halvic

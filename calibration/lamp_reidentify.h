#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "calibration/calibration.h"
#include "calibration/lamp_refine.h"

namespace halvic {

/** How far a new lamp may lie from the saved one, in columns, either way. */
inline constexpr int kLargestLampShiftPx = 60;
/** The step the shift is found to, in columns. */
inline constexpr double kLampShiftStepPx = 0.1;
/** The least correlation coefficient of a new lamp with the saved one at its shift. */
inline constexpr double kLeastLampLikeness = 0.3;
/** A re-identified model is refused when its RMS exceeds this many times the saved refine's. */
inline constexpr double kMostRmsGrowth = 3.0;
/** The RMS a calibration that was never refined stands for, in columns. */
inline constexpr double kUnrefinedRmsPx = 0.1;

/**
 * The shift, in columns to kLampShiftStepPx, that best lays the saved lamp's profile (columns
 * 1..n) onto the new one: the new lamp shows at column p + shift what the saved one shows at p.
 * Found by the cross-correlation of both profiles less their means at whole columns within
 * kLargestLampShiftPx, its peak then placed between columns by a parabola through the logarithms
 * of its three highest values, rounded to the step. nullopt when either profile is flat, the best
 * whole shift is at the edge of the search, or the correlation coefficient there is below
 * kLeastLampLikeness (another lamp altogether).
 */
std::optional<double> lampShift(std::span<const int32_t> saved, std::span<const int32_t> lamp);

/** The model whose wavelength at column p + shift is the given model's at p. */
GratingModel shiftedModel(const GratingModel& model, double shiftPx);

/** What a re-identification starts from. */
struct ReidentifyInputs {
  /** The calibration in force and the lamp's profile it was made from. */
  const Calibration& calibration;
  std::span<const int32_t> savedLamp;
  /** The new lamp, its listed lines and whether every listed line shows, as for a refine. */
  LampProfile lamp;
  std::span<const LineWavelength> listed;
  bool everyListedLineShows = false;
};

/** A re-identification: the calibration on the new lamp, or why the lamp is refused. */
struct Reidentification {
  std::optional<Calibration> calibration;
  std::string reason;  // set when calibration is nullopt
  double shiftPx = 0.0;
  LampRefine refine;
};

/**
 * The calibration moved onto a new lamp: the lamp's shift against the saved lamp, the model and
 * the marked lines moved by it, then refined on the lamp's lines as "Refine with All Lines"
 * refines. The result keeps the refine's lines and RMS. Refused, with a reason, when there is no
 * saved lamp, no shift is found, the refine finds too few lines or does not converge, or its RMS
 * exceeds kMostRmsGrowth times the saved refine's RMS (kUnrefinedRmsPx when there was none).
 */
Reidentification reidentifyOnLamp(const ReidentifyInputs& inputs);

}  // namespace halvic

#pragma once

#include "calibration/grating_model.h"
#include "calibration/grating_solve.h"

namespace halvic {

/**
 * Fits the general model's alpha and focal length (alpha alone when alphaOnly) to the marked
 * lines, by Newton's method on the model itself, keeping its deviation, distortion, groove spacing
 * and pixel size. littrowAnswer is the Littrow model's solution of the same lines (the two-line
 * solve with no deviation), from which the start is worked out: the alpha that puts the same
 * wavelength at pixel 381 with the deviation, and the focal length that keeps the dispersion
 * there. false, with model unchanged, when it does not settle on the lines within 50 steps.
 */
bool solveGeneralModel(GratingModel& model, const GratingModel& littrowAnswer,
                       const LineMarks& marks, bool alphaOnly);

}  // namespace halvic

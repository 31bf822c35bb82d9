#pragma once

#include "calibration/grating_model.h"
#include "calibration/grating_solve.h"

namespace halvic {

/**
 * The model with the given deviation that keeps its wavelength at pixel 381 and its dispersion
 * there: alpha so that sin(alpha) + sin(alpha - delta) is what the model's angles give now, the
 * focal length scaled by the cosine of the new diffraction angle over the old. Where no angle
 * keeps the wavelength, the model as it is.
 */
GratingModel withDeviationAt381(const GratingModel& model, double deviationDeg);

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

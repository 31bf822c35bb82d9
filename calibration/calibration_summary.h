#pragma once

#include <string>

#include "calibration/grating_model.h"

namespace halvic {

/**
 * The four-line summary of a calibration joined by CR LF, without a line break after the last:
 * focal length, alpha, the wavelength at pixel 381 (as a 32-bit float, so it matches
 * pixelToWavelength(381)) and the two-line dispersion estimate. betaDeg receives the angle of
 * the evaluation at pixel 381.
 */
std::string calibrationSummary(const GratingModel& model, float dispersionAPerMm, double& betaDeg);

}  // namespace halvic

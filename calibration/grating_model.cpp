#include "calibration/grating_model.h"

#include <cmath>

#include "ui/units.h"

namespace halvic {

namespace {}  // namespace

double evaluateGratingModel(const GratingModel& model, double pixel, double& betaDeg) {
  const float offset = static_cast<float>(pixel - kReferencePixel);
  const double degreesPerRadian = model.degreesPerRadian;
  const double pixelSizeMm = static_cast<double>(model.xPixelSize) / kMicrometresPerMillimetre;
  const double thetaDeg =
      degreesPerRadian * std::atan(pixelSizeMm * static_cast<double>(offset) / model.focalLengthMm);
  betaDeg = model.alphaDeg - thetaDeg;
  return (model.grooveSpacingUm * kAngstromsPerMicrometre) *
         std::cos(model.gammaDeg / degreesPerRadian) *
         (std::sin(model.alphaDeg / degreesPerRadian) + std::sin(betaDeg / degreesPerRadian));
}

float pixelToWavelength(const GratingModel& model, int16_t column, double& betaDeg) {
  return static_cast<float>(evaluateGratingModel(model, static_cast<double>(column), betaDeg));
}

}  // namespace halvic

#include "calibration/grating_model.h"

#include <cmath>

#include "ui/units.h"

namespace halvic {

namespace {}  // namespace

namespace {

/** u + k2 u^2 + k3 u^3, each term added only when its coefficient is not 0. */
double distorted(const GratingModel& model, double u) {
  double tangent = u;
  if (model.distortion2 != 0.0) {
    tangent += model.distortion2 * u * u;
  }
  if (model.distortion3 != 0.0) {
    tangent += model.distortion3 * u * u * u;
  }
  return tangent;
}

}  // namespace

bool isLittrow(const GratingModel& model) {
  return model.deviationDeg == 0.0 && model.distortion2 == 0.0 && model.distortion3 == 0.0;
}

GratingModel gratingPartOf(GratingModel model) {
  model.distortion2 = 0.0;
  model.distortion3 = 0.0;
  return model;
}

double evaluateGratingModel(const GratingModel& model, double pixel, double& betaDeg) {
  const float offset = static_cast<float>(pixel - kReferencePixel);
  const double degreesPerRadian = model.degreesPerRadian;
  const double pixelSizeMm = static_cast<double>(model.xPixelSize) / kMicrometresPerMillimetre;
  const double u = pixelSizeMm * static_cast<double>(offset) / model.focalLengthMm;
  const double thetaDeg = degreesPerRadian * std::atan(distorted(model, u));
  betaDeg = model.deviationDeg == 0.0 ? model.alphaDeg - thetaDeg
                                      : model.alphaDeg - model.deviationDeg - thetaDeg;
  return (model.grooveSpacingUm * kAngstromsPerMicrometre) *
         std::cos(model.gammaDeg / degreesPerRadian) *
         (std::sin(model.alphaDeg / degreesPerRadian) + std::sin(betaDeg / degreesPerRadian));
}

float pixelToWavelength(const GratingModel& model, int16_t column, double& betaDeg) {
  return static_cast<float>(evaluateGratingModel(model, static_cast<double>(column), betaDeg));
}

}  // namespace halvic

#include "output/grating_wcs.h"

#include <cmath>
#include <numbers>

namespace halvic {

namespace {

constexpr double kMetresPerMicrometre = 1e-6;
constexpr double kMetresPerMillimetre = 1e-3;
constexpr double kMetresPerAngstrom = 1e-10;
constexpr double kTrueDegreesPerRadian = 180.0 / std::numbers::pi;

}  // namespace

GratingWcs gratingWcsOf(const GratingModel& model) {
  const double modelDegreesPerRadian = model.degreesPerRadian;
  const double alpha = model.alphaDeg / modelDegreesPerRadian;  // radians
  const double beta = (model.alphaDeg - model.deviationDeg) / modelDegreesPerRadian;
  const double gamma = model.gammaDeg / modelDegreesPerRadian;
  const double grooveSpacingM = model.grooveSpacingUm * kMetresPerMicrometre;
  const double pixelSizeM = static_cast<double>(model.xPixelSize) * kMetresPerMicrometre;
  const double focalLengthM = model.focalLengthMm * kMetresPerMillimetre;
  double betaDeg = 0.0;
  GratingWcs wcs;
  wcs.referencePixel = kReferencePixel;
  wcs.referenceWavelengthM =
      evaluateGratingModel(gratingPartOf(model), kReferencePixel, betaDeg) * kMetresPerAngstrom;
  // At the reference pixel the diffracted ray is alpha less the deviation, the camera's axis,
  // and a pixel turns it by -p / f; the reference ray's angle follows from CRVAL1 and alpha.
  wcs.dispersionMPerPixel =
      grooveSpacingM * std::cos(gamma) * std::cos(beta) * (-pixelSizeM / focalLengthM);
  wcs.groovesPerMetre = 1.0 / grooveSpacingM;
  wcs.alphaDeg = alpha * kTrueDegreesPerRadian;
  wcs.gammaDeg = gamma * kTrueDegreesPerRadian;
  return wcs;
}

double largestWcsDifferencePx(const GratingWcs& wcs, const GratingModel& model, int columns) {
  double largest = 0.0;
  for (int column = 1; column <= columns; ++column) {
    double betaDeg = 0.0;
    const double lambda = evaluateGratingModel(model, column, betaDeg);
    const double step = std::fabs(evaluateGratingModel(model, column + 0.5, betaDeg) -
                                  evaluateGratingModel(model, column - 0.5, betaDeg));
    const double apart =
        std::fabs(wavelengthOfWcs(wcs, column) / kMetresPerAngstrom - lambda) / step;
    if (!(apart <= largest)) {
      largest = apart;  // NaN stays NaN
    }
  }
  return largest;
}

double wavelengthOfWcs(const GratingWcs& wcs, double pixel) {
  const double toRadians = 1.0 / kTrueDegreesPerRadian;
  const double alpha = wcs.alphaDeg * toRadians;
  const double epsilon = wcs.gammaDeg * toRadians;
  const double theta = wcs.cameraAngleDeg * toRadians;
  const double perGrooveAndOrder = std::cos(epsilon) / (wcs.groovesPerMetre * wcs.order);
  const double sinReference =
      wcs.referenceWavelengthM / perGrooveAndOrder - wcs.refractiveIndex * std::sin(alpha);
  const double betaReference = std::asin(sinReference);
  // The wavelength a unit of offset on the detector spans at the reference ray.
  const double step =
      perGrooveAndOrder * std::cos(betaReference) * std::cos(theta) * std::cos(theta);
  const double offset =
      std::tan(theta) + wcs.dispersionMPerPixel * (pixel - wcs.referencePixel) / step;
  const double beta = betaReference - theta + std::atan(offset);
  return perGrooveAndOrder * (wcs.refractiveIndex * std::sin(alpha) + std::sin(beta));
}

void writeGratingWcs(FitsWriter& file, const GratingWcs& wcs) {
  file.writeText("CTYPE1", "AWAV-GRA", "air wavelength, grating dispersion");
  file.writeText("CUNIT1", "m", "wavelength unit");
  file.writeDouble("CRPIX1", wcs.referencePixel, "column of the camera axis");
  file.writeDouble("CRVAL1", wcs.referenceWavelengthM, "wavelength at CRPIX1");
  file.writeDouble("CDELT1", wcs.dispersionMPerPixel, "dispersion at CRPIX1 per pixel");
  file.writeDouble("PV1_0", wcs.groovesPerMetre, "[1/m] grooves per metre");
  file.writeDouble("PV1_1", wcs.order, "diffraction order");
  file.writeDouble("PV1_2", wcs.alphaDeg, "[deg] angle of incidence");
  file.writeDouble("PV1_3", wcs.refractiveIndex, "refractive index");
  file.writeDouble("PV1_4", wcs.refractiveIndexSlope, "[1/m] refractive index slope");
  file.writeDouble("PV1_5", wcs.gammaDeg, "[deg] angle out of the dispersion plane");
  file.writeDouble("PV1_6", wcs.cameraAngleDeg, "[deg] camera angle");
}

}  // namespace halvic

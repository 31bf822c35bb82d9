#include "calibration/general_solve.h"

#include <cmath>

#include "calibration/model_terms.h"

namespace halvic {

namespace {

constexpr int kMostSteps = 50;
/** Settled: both lines met to far below any figure the program shows. */
constexpr double kSettledA = 1e-9;

double wavelengthAt(const GratingModel& model, double pixel) {
  double betaDeg = 0.0;
  return evaluateGratingModel(model, pixel, betaDeg);
}

/**
 * The general model that puts the Littrow answer's wavelength and dispersion at pixel 381: with
 * beta = alpha - delta there, sin(alpha) + sin(alpha - delta) = 2 sin(alpha - delta / 2)
 * cos(delta / 2) must equal the Littrow 2 sin(alpha0), and cos(beta) / f the Littrow
 * cos(alpha0) / f0.
 */
GratingModel generalStart(GratingModel model, const GratingModel& littrow) {
  const double toRadians = 1.0 / static_cast<double>(model.degreesPerRadian);
  const double halfDeviation = 0.5 * model.deviationDeg * toRadians;
  const double alpha0 = littrow.alphaDeg * toRadians;
  const double alpha = halfDeviation + std::asin(std::sin(alpha0) / std::cos(halfDeviation));
  const double beta = alpha - model.deviationDeg * toRadians;
  model.alphaDeg = alpha / toRadians;
  model.focalLengthMm = littrow.focalLengthMm * std::cos(beta) / std::cos(alpha0);
  return model;
}

struct LineTarget {
  double pixel;
  double wavelength;
};

/** One Newton step on alpha (and the focal length) towards the lines; false when it cannot. */
bool newtonStep(GratingModel& model, const LineTarget& line1, const LineTarget& line2,
                bool alphaOnly) {
  const double r1 = wavelengthAt(model, line1.pixel) - line1.wavelength;
  const double a1 = wavelengthSlope(model, ModelTerm::Alpha, line1.pixel);
  if (alphaOnly) {
    model.alphaDeg -= r1 / a1;
    return std::isfinite(model.alphaDeg);
  }
  const double r2 = wavelengthAt(model, line2.pixel) - line2.wavelength;
  const double f1 = wavelengthSlope(model, ModelTerm::FocalLength, line1.pixel);
  const double a2 = wavelengthSlope(model, ModelTerm::Alpha, line2.pixel);
  const double f2 = wavelengthSlope(model, ModelTerm::FocalLength, line2.pixel);
  const double determinant = a1 * f2 - a2 * f1;
  if (!(std::fabs(determinant) > 0.0)) {
    return false;
  }
  model.alphaDeg -= (f2 * r1 - f1 * r2) / determinant;
  model.focalLengthMm -= (a1 * r2 - a2 * r1) / determinant;
  return std::isfinite(model.alphaDeg) && std::isfinite(model.focalLengthMm) &&
         model.focalLengthMm != 0.0;
}

bool settled(const GratingModel& model, const LineTarget& line1, const LineTarget& line2,
             bool alphaOnly) {
  const double miss1 = std::fabs(wavelengthAt(model, line1.pixel) - line1.wavelength);
  const double miss2 =
      alphaOnly ? 0.0 : std::fabs(wavelengthAt(model, line2.pixel) - line2.wavelength);
  return miss1 < kSettledA && miss2 < kSettledA;
}

}  // namespace

bool solveGeneralModel(GratingModel& model, const GratingModel& littrowAnswer,
                       const LineMarks& marks, bool alphaOnly) {
  GratingModel trial = alphaOnly ? model : generalStart(model, littrowAnswer);
  const LineTarget line1{static_cast<double>(marks.line1Pixel), marks.line1Wavelength.value};
  const LineTarget line2{static_cast<double>(marks.line2Pixel), marks.line2Wavelength.value};
  for (int step = 0; step < kMostSteps; ++step) {
    if (settled(trial, line1, line2, alphaOnly)) {
      model = trial;
      return true;
    }
    if (!newtonStep(trial, line1, line2, alphaOnly)) {
      return false;
    }
  }
  return false;
}

}  // namespace halvic

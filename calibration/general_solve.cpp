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

/** The general model with model's own deviation and the Littrow answer's scale at pixel 381. */
GratingModel generalStart(GratingModel model, const GratingModel& littrow) {
  GratingModel start = withDeviationAt381(littrow, model.deviationDeg);
  start.distortion2 = model.distortion2;
  start.distortion3 = model.distortion3;
  return start;
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

// At pixel 381, beta = alpha - delta: sin(alpha) + sin(alpha - delta) = 2 sin(alpha - delta / 2)
// cos(delta / 2) must keep its value, and cos(beta) / f the dispersion's.
GratingModel withDeviationAt381(const GratingModel& model, double deviationDeg) {
  const double toRadians = 1.0 / static_cast<double>(model.degreesPerRadian);
  const double alpha0 = model.alphaDeg * toRadians;
  const double beta0 = (model.alphaDeg - model.deviationDeg) * toRadians;
  const double halfDeviation = 0.5 * deviationDeg * toRadians;
  const double sum = std::sin(alpha0) + std::sin(beta0);
  const double alpha = halfDeviation + std::asin(sum / (2.0 * std::cos(halfDeviation)));
  const double beta = alpha - deviationDeg * toRadians;
  GratingModel moved = model;
  moved.alphaDeg = alpha / toRadians;
  moved.deviationDeg = deviationDeg;
  moved.focalLengthMm = model.focalLengthMm * std::cos(beta) / std::cos(beta0);
  if (!std::isfinite(moved.alphaDeg) || !std::isfinite(moved.focalLengthMm)) {
    return model;
  }
  return moved;
}

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

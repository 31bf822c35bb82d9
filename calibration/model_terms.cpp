#include "calibration/model_terms.h"

#include <algorithm>
#include <cmath>

namespace halvic {

namespace {

constexpr double kRelativeStep = 1e-4;

double wavelengthAt(const GratingModel& model, double pixel) {
  double betaDeg = 0.0;
  return evaluateGratingModel(model, pixel, betaDeg);
}

}  // namespace

std::string_view termName(ModelTerm term) {
  switch (term) {
    case ModelTerm::Alpha:
      return "alpha";
    case ModelTerm::FocalLength:
      return "focal";
    case ModelTerm::Deviation:
      return "deviation";
    case ModelTerm::Distortion2:
      return "distortion2";
    case ModelTerm::Distortion3:
      return "distortion3";
  }
  return {};
}

double termValue(const GratingModel& model, ModelTerm term) {
  switch (term) {
    case ModelTerm::Alpha:
      return model.alphaDeg;
    case ModelTerm::FocalLength:
      return model.focalLengthMm;
    case ModelTerm::Deviation:
      return model.deviationDeg;
    case ModelTerm::Distortion2:
      return model.distortion2;
    case ModelTerm::Distortion3:
      return model.distortion3;
  }
  return 0.0;
}

GratingModel withTerm(GratingModel model, ModelTerm term, double value) {
  switch (term) {
    case ModelTerm::Alpha:
      model.alphaDeg = value;
      break;
    case ModelTerm::FocalLength:
      model.focalLengthMm = value;
      break;
    case ModelTerm::Deviation:
      model.deviationDeg = value;
      break;
    case ModelTerm::Distortion2:
      model.distortion2 = value;
      break;
    case ModelTerm::Distortion3:
      model.distortion3 = value;
      break;
  }
  return model;
}

double wavelengthSlope(const GratingModel& model, ModelTerm term, double pixel) {
  const double value = termValue(model, term);
  const double step = kRelativeStep * std::max(1.0, std::fabs(value));
  const double above = wavelengthAt(withTerm(model, term, value + step), pixel);
  const double below = wavelengthAt(withTerm(model, term, value - step), pixel);
  return (above - below) / (2.0 * step);
}

}  // namespace halvic

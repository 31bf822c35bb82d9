#include "calibration/lamp_reidentify.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <vector>

#include "calibration/term_fit.h"
#include "ui/number_format.h"

namespace halvic {

namespace {

std::vector<double> lessMean(std::span<const int32_t> values) {
  std::vector<double> result(values.begin(), values.end());
  if (result.empty()) {
    return result;
  }
  const double mean =
      std::accumulate(result.begin(), result.end(), 0.0) / static_cast<double>(result.size());
  for (double& value : result) {
    value -= mean;
  }
  return result;
}

/** The new profile at a fractional index, linearly interpolated; 0 outside it. */
double valueAt(const std::vector<double>& profile, double index) {
  const double below = std::floor(index);
  if (below < 0.0 || below + 1.0 >= static_cast<double>(profile.size())) {
    return 0.0;
  }
  const auto at = static_cast<size_t>(below);
  const double fraction = index - below;
  return profile[at] * (1.0 - fraction) + profile[at + 1] * fraction;
}

double sumOfSquares(const std::vector<double>& values) {
  return std::inner_product(values.begin(), values.end(), values.begin(), 0.0);
}

/** The correlation of the saved profile with the new one moved back by shift, per overlap. */
double correlation(const std::vector<double>& saved, const std::vector<double>& lamp,
                   double shift) {
  double sum = 0.0;
  for (size_t i = 0; i < saved.size(); ++i) {
    sum += saved[i] * valueAt(lamp, static_cast<double>(i) + shift);
  }
  return sum;
}

double stepAt(const GratingModel& model, double column) {
  double betaDeg = 0.0;
  return std::fabs(evaluateGratingModel(model, column + 0.5, betaDeg) -
                   evaluateGratingModel(model, column - 0.5, betaDeg));
}

Reidentification refused(std::string reason, double shift = 0.0) {
  return Reidentification{std::nullopt, std::move(reason), shift, {}};
}

}  // namespace

std::optional<double> lampShift(std::span<const int32_t> saved, std::span<const int32_t> lamp) {
  const std::vector<double> savedLessMean = lessMean(saved);
  const std::vector<double> lampLessMean = lessMean(lamp);
  const auto flat = [](const std::vector<double>& values) {
    return std::all_of(values.begin(), values.end(), [](double value) { return value == 0.0; });
  };
  if (flat(savedLessMean) || flat(lampLessMean)) {
    return std::nullopt;
  }
  std::vector<double> byShift;
  for (int shift = -kLargestLampShiftPx; shift <= kLargestLampShiftPx; ++shift) {
    byShift.push_back(correlation(savedLessMean, lampLessMean, shift));
  }
  const auto peak = std::max_element(byShift.begin(), byShift.end());
  if (peak == byShift.begin() || peak + 1 == byShift.end() ||
      !(*peak >=
        kLeastLampLikeness * std::sqrt(sumOfSquares(savedLessMean) * sumOfSquares(lampLessMean)))) {
    return std::nullopt;
  }
  const double best = static_cast<double>(peak - byShift.begin() - kLargestLampShiftPx);
  // The peak of a correlation of lines is a Gaussian's: a parabola through the logarithms of
  // its three highest values finds its top, which a parabola through the values pulls towards
  // the whole column.
  const double before = *(peak - 1), at = *peak, after = *(peak + 1);
  double offset = 0.0;
  if (before > 0.0 && after > 0.0) {
    const double logBefore = std::log(before), logAt = std::log(at), logAfter = std::log(after);
    const double curvature = logBefore - 2.0 * logAt + logAfter;
    offset = curvature < 0.0 ? 0.5 * (logBefore - logAfter) / curvature : 0.0;
  }
  // Adding 0 turns a shift rounded to -0 into 0, which the summary writes as "0".
  return std::round((best + std::clamp(offset, -0.5, 0.5)) / kLampShiftStepPx) * kLampShiftStepPx +
         0.0;
}

GratingModel shiftedModel(const GratingModel& model, double shiftPx) {
  // The model's own terms laid through its wavelengths moved along the strip: a shift is no
  // term of the grating equation, but alpha, the focal length and the distortion follow it to
  // far below a line's centring over the strip.
  constexpr int kColumnStep = 8;
  std::vector<RefineLine> points;
  for (int column = 1; column <= kImageColumns; column += kColumnStep) {
    double betaDeg = 0.0;
    points.push_back(RefineLine{static_cast<double>(column) + shiftPx,
                                evaluateGratingModel(model, column, betaDeg)});
  }
  constexpr std::array kTerms{ModelTerm::Alpha, ModelTerm::FocalLength, ModelTerm::Distortion2,
                              ModelTerm::Distortion3};
  const std::optional<TermFit> fit = fitTerms(model, points, kTerms, Degeneracy::Keep);
  return fit ? fit->model : model;
}

Reidentification reidentifyOnLamp(const ReidentifyInputs& inputs) {
  const Calibration& saved = inputs.calibration;
  if (inputs.savedLamp.empty()) {
    return refused("the calibration file keeps no lamp profile");
  }
  std::vector<int32_t> lamp;
  for (int column = 1; column <= inputs.lamp.length; ++column) {
    lamp.push_back(inputs.lamp.profile.at(column));
  }
  const std::optional<double> shift = lampShift(inputs.savedLamp, lamp);
  if (!shift) {
    return refused("the lamp does not match the saved lamp within " +
                   std::to_string(kLargestLampShiftPx) + " columns");
  }
  Calibration next = saved;
  next.model = shiftedModel(saved.model, *shift);
  next.marks.line1Pixel = static_cast<float>(saved.marks.line1Pixel + *shift);
  next.marks.line2Pixel = static_cast<float>(saved.marks.line2Pixel + *shift);
  const LampRefine refine = refineOnLampLines(LampRefineInputs{
      inputs.lamp, next.model, next.marks, inputs.listed, inputs.everyListedLineShows});
  if (refine.status == RefineStatus::TooFewLines) {
    return refused("too few lamp lines found", *shift);
  }
  if (refine.status != RefineStatus::Refined) {
    return refused("the refine on the lamp did not converge", *shift);
  }
  const double mostRmsA = saved.refinedLines > 0 ? kMostRmsGrowth * saved.refinedRmsA
                                                 : kMostRmsGrowth * kUnrefinedRmsPx *
                                                       stepAt(refine.model, kImageColumns / 2.0);
  if (!(refine.rmsA <= mostRmsA)) {
    return Reidentification{std::nullopt,
                            "RMS " + ui::formatNumber(refine.rmsA, "0.000") + " A exceeds " +
                                ui::formatNumber(mostRmsA, "0.000") + " A",
                            *shift, refine};
  }
  next.model = refine.model;
  next.refinedLines = refine.used;
  next.refinedRmsA = refine.rmsA;
  return Reidentification{next, {}, *shift, refine};
}

}  // namespace halvic

#include "calibration/grating_refine.h"

#include <array>
#include <cmath>
#include <vector>

#include "calibration/term_fit.h"

namespace halvic {

namespace {

/** The parameters the refine fits: the grating angle (degrees) and the focal length (mm). */
constexpr std::array kRefineTerms{ModelTerm::Alpha, ModelTerm::FocalLength};

std::vector<RefineLine> linesWithin(const GratingModel& model, std::span<const RefineLine> lines,
                                    double limit) {
  std::vector<RefineLine> kept;
  for (const RefineLine& line : lines) {
    if (std::fabs(residualOf(model, line)) <= limit) {
      kept.push_back(line);
    }
  }
  return kept;
}

}  // namespace

bool isLeastSquaresMinimum(const GratingModel& model, std::span<const RefineLine> lines) {
  return isLeastSquaresMinimum(model, lines, kRefineTerms);
}

RefineResult refineGratingModel(const GratingModel& start, std::span<const RefineLine> lines) {
  RefineResult result;
  result.model = start;
  result.linesGiven = static_cast<int>(lines.size());
  result.rmsBeforeA = modelRms(start, lines);
  if (result.linesGiven < kFewestRefineLines) {
    result.status = RefineStatus::TooFewLines;
    return result;
  }
  const std::optional<TermFit> first = fitTerms(start, lines, kRefineTerms);
  if (!first) {
    return result;
  }
  const std::vector<RefineLine> kept =
      linesWithin(first->model, lines, kRefineRejectionMultiple * first->rmsA);
  if (static_cast<int>(kept.size()) < kFewestRefineLines) {
    return result;
  }
  const std::optional<TermFit> second =
      kept.size() == lines.size() ? first : fitTerms(first->model, kept, kRefineTerms);
  if (!second) {
    return result;
  }
  result.status = RefineStatus::Refined;
  result.model = second->model;
  result.alphaErrorDeg = second->standardErrors[0];
  result.focalLengthErrorMm = second->standardErrors[1];
  result.rmsAfterA = second->rmsA;
  result.linesKept = static_cast<int>(kept.size());
  return result;
}

}  // namespace halvic

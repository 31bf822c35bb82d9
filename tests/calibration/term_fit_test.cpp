// Fits of chosen model terms: the leave-one-out error from the hat matrix is what refitting
// without each line gives, and the model found is a least-squares minimum.

#include "calibration/term_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/support/grating_examples.h"

namespace halvic {
namespace {

GratingModel spectrograph() {
  GratingModel model;
  model.xPixelSize = 15.0f;
  model.focalLengthMm = 250.0;
  model.alphaDeg = 30.0;
  model.deviationDeg = 40.0;
  model.distortion3 = 0.3;
  model.grooveSpacingUm = 1000.0 / 830.0;
  return model;
}

using test::wavelengthAt;

/** Fifteen lines over the strip, each listed off the model by up to a few hundredths of an A. */
std::vector<RefineLine> noisyLines() {
  const std::vector<double> errors{0.02,  -0.01, 0.03,  -0.02, 0.0,   0.01,   -0.03, 0.02,
                                   -0.01, 0.015, -0.02, 0.01,  0.025, -0.015, 0.0};
  std::vector<RefineLine> lines;
  for (size_t i = 0; i < errors.size(); ++i) {
    const double pixel = 20.0 + 50.0 * static_cast<double>(i);
    lines.push_back({pixel, wavelengthAt(spectrograph(), pixel) + errors[i]});
  }
  return lines;
}

/** The leave-one-out RMS in pixels by refitting without each line in turn. */
double refittedLeaveOneOutPx(const GratingModel& start, const std::vector<RefineLine>& lines,
                             std::span<const ModelTerm> terms) {
  double sum = 0.0;
  for (size_t left = 0; left < lines.size(); ++left) {
    std::vector<RefineLine> others = lines;
    others.erase(others.begin() + static_cast<std::ptrdiff_t>(left));
    const std::optional<TermFit> fit = fitTerms(start, others, terms);
    EXPECT_TRUE(fit.has_value());
    if (!fit) {
      return NAN;
    }
    const double residual =
        residualOf(fit->model, lines[left]) / wavelengthStep(fit->model, lines[left].pixel);
    sum += residual * residual;
  }
  return std::sqrt(sum / static_cast<double>(lines.size()));
}

TEST(FitTerms, LeaveOneOutFromTheHatMatrixIsWhatRefittingGives) {
  struct Row {
    std::string name;
    std::vector<ModelTerm> terms;
  };
  const std::vector<Row> rows{
      {"alpha and focal length", {ModelTerm::Alpha, ModelTerm::FocalLength}},
      {"and the deviation", {ModelTerm::Alpha, ModelTerm::FocalLength, ModelTerm::Deviation}},
      {"and the distortion",
       {ModelTerm::Alpha, ModelTerm::FocalLength, ModelTerm::Deviation, ModelTerm::Distortion3}}};
  const std::vector<RefineLine> lines = noisyLines();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::optional<TermFit> fit = fitTerms(spectrograph(), lines, row.terms);
    ASSERT_TRUE(fit.has_value());
    EXPECT_TRUE(isLeastSquaresMinimum(fit->model, lines, row.terms));
    EXPECT_FALSE(fit->degenerate);
    ASSERT_EQ(fit->standardErrors.size(), row.terms.size());
    // The hat matrix is the linearised fit: a few percent from refitting is its whole error.
    const double refitted = refittedLeaveOneOutPx(fit->model, lines, row.terms);
    EXPECT_NEAR(fit->leaveOneOutRmsPx, refitted, 0.03 * refitted);
    EXPECT_GT(fit->leaveOneOutRmsPx,
              modelRms(fit->model, lines) / wavelengthStep(fit->model, 381.0));
  }
}

}  // namespace
}  // namespace halvic

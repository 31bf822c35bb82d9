#include "calibration/grating_refine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/support/grating_examples.h"

namespace halvic {
namespace {

GratingModel trueModel() {
  GratingModel model;
  model.xPixelSize = 9.0f;
  model.focalLengthMm = -84.2;
  model.alphaDeg = 10.7;
  model.grooveSpacingUm = 1000.0 / 600.0;
  return model;
}

using test::wavelengthAt;

/** Lines on the given columns, listed at the true model's wavelength plus an error each. */
std::vector<RefineLine> linesOf(const std::vector<double>& pixels,
                                const std::vector<double>& errors = {}) {
  std::vector<RefineLine> lines;
  for (size_t i = 0; i < pixels.size(); ++i) {
    const double error = i < errors.size() ? errors[i] : 0.0;
    lines.push_back({pixels[i], wavelengthAt(trueModel(), pixels[i]) + error});
  }
  return lines;
}

/** A start as a two-line solve might leave it: the angle and focal length somewhat off. */
GratingModel offStart() {
  GratingModel start = trueModel();
  start.alphaDeg += 0.05;
  start.focalLengthMm *= 1.02;
  return start;
}

TEST(RefineGratingModel, RecoversTheModelTheLinesCameFrom) {
  const std::vector<RefineLine> lines = linesOf({40, 120, 230, 381, 470, 600, 720});
  const RefineResult result = refineGratingModel(offStart(), lines);
  ASSERT_EQ(result.status, RefineStatus::Refined);
  EXPECT_NEAR(result.model.alphaDeg, 10.7, 1e-7);
  EXPECT_NEAR(result.model.focalLengthMm, -84.2, 1e-6);
  EXPECT_EQ(result.linesKept, 7);
  EXPECT_EQ(result.linesGiven, 7);
  EXPECT_LT(result.rmsAfterA, 1e-6);
  EXPECT_GT(result.rmsBeforeA, 1.0);  // the start is several Angstroms off
  // Only the angle and the focal length move.
  EXPECT_EQ(result.model.grooveSpacingUm, offStart().grooveSpacingUm);
  EXPECT_EQ(result.model.gammaDeg, offStart().gammaDeg);
  EXPECT_EQ(result.model.xPixelSize, offStart().xPixelSize);
}

// Errors of +-0.01 A alternating on 12 lines and one line 1 A off: the first pass's RMS is about
// 1 / sqrt(13) = 0.28 A, the bad line lies about 0.9 A off it, beyond 3 x RMS; the others within.
TEST(RefineGratingModel, TheSecondPassLeavesOutALineFarOff) {
  std::vector<double> pixels;
  std::vector<double> errors;
  for (int i = 0; i < 12; ++i) {
    pixels.push_back(30.0 + 60.0 * i);
    errors.push_back(i % 2 == 0 ? 0.01 : -0.01);
  }
  pixels.push_back(400.0);
  errors.push_back(1.0);
  const RefineResult result = refineGratingModel(offStart(), linesOf(pixels, errors));
  ASSERT_EQ(result.status, RefineStatus::Refined);
  EXPECT_EQ(result.linesGiven, 13);
  EXPECT_EQ(result.linesKept, 12);
  EXPECT_NEAR(result.rmsAfterA, 0.01, 0.002);
  EXPECT_NEAR(result.model.alphaDeg, 10.7, 1e-4);
  EXPECT_NEAR(result.model.focalLengthMm, -84.2, 0.05);
}

// The standard errors scale with the noise: the same lines with errors twice as large give
// standard errors twice as large (the Jacobian is nearly the same at both solutions).
TEST(RefineGratingModel, StandardErrorsFollowTheResidualSpread) {
  const std::vector<double> pixels{40, 120, 230, 381, 470, 600, 720};
  const std::vector<double> small{0.01, -0.02, 0.015, -0.01, 0.02, -0.015, 0.005};
  std::vector<double> large;
  for (const double error : small) {
    large.push_back(2.0 * error);
  }
  const RefineResult a = refineGratingModel(offStart(), linesOf(pixels, small));
  const RefineResult b = refineGratingModel(offStart(), linesOf(pixels, large));
  ASSERT_EQ(a.status, RefineStatus::Refined);
  ASSERT_EQ(b.status, RefineStatus::Refined);
  EXPECT_GT(a.alphaErrorDeg, 0.0);
  EXPECT_GT(a.focalLengthErrorMm, 0.0);
  EXPECT_NEAR(b.alphaErrorDeg / a.alphaErrorDeg, 2.0, 0.01);
  EXPECT_NEAR(b.focalLengthErrorMm / a.focalLengthErrorMm, 2.0, 0.01);
  EXPECT_NEAR(b.rmsAfterA / a.rmsAfterA, 2.0, 0.01);
}

// Noisy lines: the refined model is a minimum; the same model 0.048 degrees off in alpha (where a
// fit with a wrong derivative once stopped and called it refined) or 0.5 % off in focal length
// is not, though its residuals are small; lines the model meets exactly are, whatever the angles.
TEST(IsLeastSquaresMinimum, HoldsOnlyWhereNoTermCanLowerTheResiduals) {
  const std::vector<RefineLine> noisy =
      linesOf({40, 120, 230, 381, 470, 600, 720}, {0.01, -0.02, 0.015, -0.01, 0.02, -0.015, 0.005});
  const RefineResult refined = refineGratingModel(offStart(), noisy);
  ASSERT_EQ(refined.status, RefineStatus::Refined);
  GratingModel alphaOff = refined.model;
  alphaOff.alphaDeg += 0.048;
  GratingModel focalOff = refined.model;
  focalOff.focalLengthMm *= 1.005;
  struct Row {
    std::string name;
    GratingModel model;
    std::vector<RefineLine> lines;
    bool minimum;
  };
  const std::vector<Row> rows{
      {"the refined model", refined.model, noisy, true},
      {"alpha 0.048 degrees off", alphaOff, noisy, false},
      {"focal length 0.5 % off", focalOff, noisy, false},
      {"lines met exactly", trueModel(), linesOf({40, 381, 720}), true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(isLeastSquaresMinimum(row.model, row.lines), row.minimum);
  }
}

TEST(RefineGratingModel, RefusesWhatItCannotFit) {
  struct Row {
    std::string name;
    GratingModel start;
    std::vector<RefineLine> lines;
    RefineStatus status;
  };
  GratingModel noPixelSize = offStart();
  noPixelSize.xPixelSize = 0.0f;  // every line at one wavelength: nothing to fit
  const std::vector<Row> rows{
      {"no lines", offStart(), {}, RefineStatus::TooFewLines},
      {"two lines", offStart(), linesOf({100, 600}), RefineStatus::TooFewLines},
      {"three lines of one column", offStart(), linesOf({300, 300, 300}),
       RefineStatus::NotConverged},
      {"no pixel size", noPixelSize, linesOf({100, 300, 600}), RefineStatus::NotConverged},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const RefineResult result = refineGratingModel(row.start, row.lines);
    EXPECT_EQ(result.status, row.status);
    EXPECT_EQ(result.model.alphaDeg, row.start.alphaDeg);
    EXPECT_EQ(result.model.focalLengthMm, row.start.focalLengthMm);
    EXPECT_EQ(result.linesKept, 0);
  }
}

}  // namespace
}  // namespace halvic

#include "calibration/grating_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

#include "calibration/dispersion.h"
#include "tests/support/grating_examples.h"

namespace halvic {
namespace {

// Worked by hand for 9 um pixels, 140 mm, 150 lines/mm (6.666666 um), alpha 2.5 and gamma 6.16
// degrees: at pixel 381 the angle to the axis is 0, so beta = alpha and the wavelength is
// 2 x 66666.66 A x cos 6.16 x sin 2.5 = 2 x 66666.66 x 0.9942261 x 0.0436194 = 5782.34 A. At pixel
// 200, theta = atan(0.009 mm x -181 / 140 mm) = -0.66665 degrees, beta = 3.16665 degrees and the
// wavelength is 66666.66 x 0.9942261 x (0.0436194 + 0.0552386) = 6552.59 A.
TEST(GratingModel, MatchesHandWorkedWavelengths) {
  struct Row {
    double pixel;
    double wavelength;
    double betaDeg;
  };
  const std::vector<Row> rows{
      {381.0, 5782.34, 2.5},
      {200.0, 6552.59, 3.16665},
  };
  const GratingModel model = test::workedExampleModel();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.pixel);
    double betaDeg = -1.0;
    EXPECT_NEAR(evaluateGratingModel(model, row.pixel, betaDeg), row.wavelength, 0.005);
    EXPECT_NEAR(betaDeg, row.betaDeg, 5e-6);
  }
  double betaDeg = -1.0;
  evaluateGratingModel(model, 381.0, betaDeg);
  EXPECT_EQ(betaDeg, model.alphaDeg);  // exactly: the offset from the axis is 0
}

// A 600 lines/mm grating at alpha 20 degrees with 30 degrees between collimator and camera, 9 um
// pixels, 140 mm: at pixel 381 beta = 20 - 30 = -10 degrees and the wavelength is
// 16666.66 A x cos 6.16 x (sin 20 + sin -10) = 2789.996 A. At pixel 700 u = 0.009 x 319 / 140 =
// 0.0205071 and k2 = 0.5 adds 0.5 u^2: theta = atan 0.0207174 = 1.18685 degrees, beta -11.18685.
TEST(GratingModel, TheGeneralEquationAtHandWorkedPoints) {
  struct Row {
    double pixel;
    double distortion2;
    double distortion3;
    double wavelength;
    double betaDeg;
  };
  const std::vector<Row> rows{
      {381.0, 0.0, 0.0, 2789.996, -10.0},
      {700.0, 0.5, 0.0, 2452.604, -11.186851},
      {40.0, 0.0, -2.0, 3147.985, -8.745402},
      {700.0, 0.5, -2.0, 2452.885, -11.185863},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.pixel);
    GratingModel model = test::workedExampleModel();
    model.grooveSpacingUm = 1.666666;
    model.alphaDeg = 20.0;
    model.deviationDeg = 30.0;
    model.distortion2 = row.distortion2;
    model.distortion3 = row.distortion3;
    double betaDeg = 0.0;
    EXPECT_NEAR(evaluateGratingModel(model, row.pixel, betaDeg), row.wavelength, 0.0005);
    EXPECT_NEAR(betaDeg, row.betaDeg, 1e-6);
  }
}

// With no deviation and no distortion the model is evaluated exactly as the Littrow model always
// was, to the last bit, at every column of both orientations.
TEST(GratingModel, TheLittrowCaseIsTheLittrowArithmeticToTheBit) {
  const auto littrow = [](const GratingModel& m, double pixel, double& betaDeg) {
    const float offset = static_cast<float>(pixel - 381.0);
    const double degrees = m.degreesPerRadian;
    const double thetaDeg = degrees * std::atan(static_cast<double>(m.xPixelSize) / 1000.0 *
                                                static_cast<double>(offset) / m.focalLengthMm);
    betaDeg = m.alphaDeg - thetaDeg;
    return (m.grooveSpacingUm * 10000.0) * std::cos(m.gammaDeg / degrees) *
           (std::sin(m.alphaDeg / degrees) + std::sin(betaDeg / degrees));
  };
  GratingModel rising = test::workedExampleModel();
  rising.alphaDeg = 10.68320287;
  rising.focalLengthMm = -84.19712603651254;
  rising.grooveSpacingUm = 1.666666;
  int compared = 0;
  for (const GratingModel& model : {test::workedExampleModel(), rising}) {
    for (int column = 1; column <= 768; ++column) {
      double beta = 0.0;
      double expectedBeta = 0.0;
      ASSERT_EQ(evaluateGratingModel(model, column + 0.25, beta),
                littrow(model, column + 0.25, expectedBeta));
      ASSERT_EQ(beta, expectedBeta);
      ++compared;
    }
  }
  EXPECT_EQ(compared, 1536);
}

TEST(GratingModel, OffsetFromReferencePixelIsA32BitFloat) {
  const GratingModel model = test::workedExampleModel();
  // A millionth of a pixel vanishes in a float offset from pixel 381 (its step there is about
  // 1.5e-5) but would move a 64-bit wavelength by some 4e-6 A.
  double betaDeg = 0.0;
  EXPECT_EQ(evaluateGratingModel(model, 200.0 + 1e-6, betaDeg),
            evaluateGratingModel(model, 200.0, betaDeg));
}

TEST(EstimateDispersion, IsSignedLinearDispersionOfTheTwoLines) {
  struct Row {
    const char* name;
    LineWavelength line1;
    float pixel1;
    LineWavelength line2;
    float pixel2;
    float xPixelSize;
    std::optional<float> low, high;  // nullopt bounds: no estimate expected
  };
  const std::vector<Row> rows = {
      {"worked example", LineWavelength::fromDouble(6562.852), 200.0f,
       LineWavelength::fromDouble(4861.33), 600.0f, 9.0f, 472.0f, 473.0f},
      {"wavelength rising with pixel", LineWavelength::fromDouble(5460.753), 300.0f,
       LineWavelength::fromDouble(5852.488), 500.0f, 9.0f, -218.0f, -217.0f},
      {"whole-number lines", LineWavelength::fromInt16(5007), 100.0f,
       LineWavelength::fromInt16(4959), 148.0f, 10.0f, 100.0f, 100.0f},
      {"no pixel size yet", LineWavelength::fromDouble(6562.852), 200.0f,
       LineWavelength::fromDouble(4861.33), 600.0f, 0.0f, std::nullopt, std::nullopt},
      {"both lines at one pixel", LineWavelength::fromDouble(6562.852), 200.0f,
       LineWavelength::fromDouble(4861.33), 200.0f, 9.0f, std::nullopt, std::nullopt},
      {"beyond a 32-bit float", LineWavelength::fromDouble(1e30), 1.0f,
       LineWavelength::fromDouble(0.0), 2.0f, 1e-10f, std::nullopt, std::nullopt},
  };
  int checked = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::optional<float> dispersion =
        estimateDispersion(row.line1, row.pixel1, row.line2, row.pixel2, row.xPixelSize);
    ASSERT_EQ(dispersion.has_value(), row.low.has_value());
    if (dispersion) {
      EXPECT_GE(*dispersion, *row.low);
      EXPECT_LE(*dispersion, *row.high);
    }
    ++checked;
  }
  EXPECT_EQ(checked, 6);
}

TEST(GrooveSpacingFor, BoundariesBelongToTheFinerGrating) {
  struct Row {
    float dispersion;
    double grooveSpacingUm;
  };
  const std::vector<Row> rows = {
      {472.645f, 6.666666},  {200.001f, 6.666666}, {200.0f, 1.666666},  {90.001f, 1.666666},
      {90.0f, 0.8333333},    {50.001f, 0.8333333}, {50.0f, 0.555555},   {0.0f, 0.555555},
      {-217.63f, 6.666666},  {-200.0f, 1.666666},  {-90.0f, 0.8333333}, {-50.0f, 0.555555},
      {-50.001f, 0.8333333}, {1e30f, 6.666666},    {-1e-30f, 0.555555},
  };
  int checked = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.dispersion);
    EXPECT_EQ(grooveSpacingFor(row.dispersion), row.grooveSpacingUm);
    ++checked;
  }
  EXPECT_EQ(checked, 15);
}

}  // namespace
}  // namespace halvic

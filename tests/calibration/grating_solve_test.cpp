#include "calibration/grating_solve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "calibration/calibration_summary.h"
#include "ui/number_format.h"

namespace halvic {
namespace {

constexpr float kPixelSize = 9.0f;

GratingModel startModel() {
  GratingModel model;
  model.xPixelSize = kPixelSize;
  return model;
}

LineMarks workedExample() {
  return LineMarks{LineWavelength::fromDouble(6562.852), LineWavelength::fromDouble(4861.33),
                   200.0f, 600.0f};
}

LineMarks risingExample() {
  return LineMarks{LineWavelength::fromDouble(5460.753), LineWavelength::fromDouble(5852.488),
                   300.0f, 500.0f};
}

float dispersionOf(const LineMarks& marks) {
  return estimateDispersion(marks.line1Wavelength, marks.line1Pixel, marks.line2Wavelength,
                            marks.line2Pixel, kPixelSize)
      .value_or(std::numeric_limits<float>::quiet_NaN());
}

double wavelengthAt(const GratingModel& model, float pixel) {
  double betaDeg = 0.0;
  return evaluateGratingModel(model, static_cast<double>(pixel), betaDeg);
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  lines.push_back(text.substr(start));
  return lines;
}

// Summary figures confirmed by an independent re-computation of the scans outside this code base.
TEST(SolveGratingModel, FitsBothExamplesAndSummarisesThem) {
  struct Row {
    const char* name;
    LineMarks marks;
    float dispersionLow, dispersionHigh;
    double alphaDeg, focalLengthMm, focalTolerance;
    std::vector<std::string> summary;
  };
  const std::vector<Row> rows = {
      {"worked example",
       workedExample(),
       472.0f,
       473.0f,
       2.5,
       140.0,
       0.2,
       {"Focal length (mm)= 140.10", "Alpha Angle (deg)= 02.505",
        "Pixel 381 Wavelength (A) = 5793.14", "Dispersion (A/mm) = 472.6450"}},
      {"wavelength rising with pixel",
       risingExample(),
       -218.5f,
       -217.5f,
       2.43,
       -304.0,
       0.5,
       {"Focal length (mm)= -304.28", "Alpha Angle (deg)= 02.430",
        "Pixel 381 Wavelength (A) = 5619.42", "Dispersion (A/mm) = -217.6306"}},
  };
  int checked = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const float dispersion = dispersionOf(row.marks);
    EXPECT_GE(dispersion, row.dispersionLow);
    EXPECT_LE(dispersion, row.dispersionHigh);

    const SolveResult result = solveGratingModel(startModel(), row.marks, dispersion, false);
    ASSERT_TRUE(result.solved);
    EXPECT_EQ(result.model.grooveSpacingUm, 6.666666);
    EXPECT_NEAR(result.model.alphaDeg, row.alphaDeg, 0.01);
    EXPECT_NEAR(result.model.focalLengthMm, row.focalLengthMm, row.focalTolerance);
    EXPECT_NEAR(wavelengthAt(result.model, row.marks.line1Pixel), row.marks.line1Wavelength.value,
                0.01);
    EXPECT_NEAR(wavelengthAt(result.model, row.marks.line2Pixel), row.marks.line2Wavelength.value,
                0.01);

    double betaDeg = -1.0;
    const std::vector<std::string> lines =
        splitLines(calibrationSummary(result.model, dispersion, betaDeg));
    EXPECT_EQ(lines, row.summary);  // also: CR LF between lines, none after the last
    EXPECT_EQ(betaDeg, result.model.alphaDeg);

    // The summary and the strip colouring must agree on pixel 381.
    const float lambda381 = pixelToWavelength(result.model, 381, betaDeg);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], "Pixel 381 Wavelength (A) = " +
                            ui::formatNumber(static_cast<double>(lambda381), "###0.00"));
    EXPECT_NEAR(std::stod(lines[2].substr(lines[2].find('=') + 1)), static_cast<double>(lambda381),
                0.005);
    ++checked;
  }
  EXPECT_EQ(checked, 2);
}

TEST(SolveGratingModel, RefitMovesAlphaOnlyAndIgnoresLine2) {
  const LineMarks marks = workedExample();
  const float dispersion = dispersionOf(marks);
  const SolveResult full = solveGratingModel(startModel(), marks, dispersion, false);
  ASSERT_TRUE(full.solved);

  // Line 1 re-marked on the line 2 lamp line, so both marks share a pixel.
  LineMarks remarked = marks;
  remarked.line1Wavelength = marks.line2Wavelength;
  remarked.line1Pixel = marks.line2Pixel + 3.5f;
  remarked.line2Pixel = remarked.line1Pixel;
  const SolveResult refit = solveGratingModel(full.model, remarked, dispersion, true);
  ASSERT_TRUE(refit.solved);
  EXPECT_NE(refit.model.alphaDeg, full.model.alphaDeg);
  EXPECT_EQ(refit.model.focalLengthMm, full.model.focalLengthMm);
  EXPECT_EQ(refit.model.grooveSpacingUm, full.model.grooveSpacingUm);
  EXPECT_NEAR(wavelengthAt(refit.model, remarked.line1Pixel), remarked.line1Wavelength.value, 0.01);
}

TEST(SolveGratingModel, FullSolveStartsFromTheGivenFocalLength) {
  const LineMarks marks = workedExample();
  const float dispersion = dispersionOf(marks);
  const SolveResult first = solveGratingModel(startModel(), marks, dispersion, false);
  ASSERT_TRUE(first.solved);

  // The two rescales nearly converge, but not exactly, so a solve that ignored its start focal
  // length would repeat the first result bit for bit.
  int checked = 0;
  for (const double startFocalLengthMm : {first.model.focalLengthMm, 400.0, 60.0}) {
    SCOPED_TRACE(startFocalLengthMm);
    GratingModel start = first.model;
    start.focalLengthMm = startFocalLengthMm;
    const SolveResult again = solveGratingModel(start, marks, dispersion, false);
    ASSERT_TRUE(again.solved);
    EXPECT_NE(again.model.focalLengthMm, first.model.focalLengthMm);
    EXPECT_NEAR(again.model.focalLengthMm, first.model.focalLengthMm, 1e-3);
    ++checked;
  }
  EXPECT_EQ(checked, 3);
}

TEST(SolveGratingModel, ASolveThatMissesItsLineHasNoSolution) {
  // At 0 degrees pixel 200 already lies above 1 A: the re-fit stops at its first candidate and
  // interpolates towards a wavelength of 0 one step earlier, a wavelength no angle gave. The
  // model it leaves puts 1 A nowhere near pixel 200.
  LineMarks marks = workedExample();
  marks.line1Wavelength = LineWavelength::fromDouble(1.0);
  EXPECT_FALSE(solveGratingModel(startModel(), marks, 472.6f, true).solved);
  // A pixel size 1e-17 of a camera's: every column has one wavelength, and line 2, 654 A from
  // line 1, is missed by that much.
  GratingModel tiny = startModel();
  tiny.xPixelSize = 9e-17f;
  EXPECT_FALSE(solveGratingModel(tiny, workedExample(), 472.6f, false).solved);
}

// Spectrographs with an angle between collimator and camera (and one with a distorting camera):
// two lines made by the true model are solved from the program's start model with the deviation
// and distortion set, and the solve finds the true alpha and focal length; a re-fit on a line
// moved by 2 A keeps the focal length.
TEST(SolveGratingModel, SolvesTheGeneralModelOfASpectrographWithADeviation) {
  struct Row {
    const char* name;
    double linesPerMm, alphaDeg, focalLengthMm, deviationDeg, distortion2;
    float pixelSizeUm, pixel1, pixel2;
  };
  const std::vector<Row> rows{
      {"600 lines/mm, 40 degrees", 600.0, 25.0, 300.0, 40.0, 0.0, 15.0f, 150.3f, 640.7f},
      {"1200 lines/mm, 30 degrees, rising", 1200.0, 35.0, -250.0, 30.0, 0.0, 13.5f, 90.0f, 700.0f},
      {"400 lines/mm, 20 degrees, distortion", 400.0, 10.0, 180.0, 20.0, -0.8, 9.0f, 60.0f, 520.0f},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    GratingModel truth = startModel();
    truth.xPixelSize = row.pixelSizeUm;
    truth.grooveSpacingUm = 1000.0 / row.linesPerMm;
    truth.alphaDeg = row.alphaDeg;
    truth.focalLengthMm = row.focalLengthMm;
    truth.deviationDeg = row.deviationDeg;
    truth.distortion2 = row.distortion2;
    double beta = 0.0;
    const LineMarks marks{LineWavelength::fromDouble(evaluateGratingModel(truth, row.pixel1, beta)),
                          LineWavelength::fromDouble(evaluateGratingModel(truth, row.pixel2, beta)),
                          row.pixel1, row.pixel2};
    GratingModel start = startModel();
    start.xPixelSize = row.pixelSizeUm;
    start.deviationDeg = row.deviationDeg;
    start.distortion2 = row.distortion2;
    const SolveResult solved =
        solveGratingModel(start, marks, 100.0f, false, truth.grooveSpacingUm);
    ASSERT_TRUE(solved.solved);
    EXPECT_NEAR(solved.model.alphaDeg, row.alphaDeg, 1e-7);
    EXPECT_NEAR(solved.model.focalLengthMm, row.focalLengthMm, 1e-5);
    EXPECT_EQ(solved.model.deviationDeg, row.deviationDeg);

    LineMarks moved = marks;
    moved.line1Wavelength = LineWavelength::fromDouble(marks.line1Wavelength.value + 2.0);
    const SolveResult refit =
        solveGratingModel(solved.model, moved, 100.0f, true, truth.grooveSpacingUm);
    ASSERT_TRUE(refit.solved);
    EXPECT_EQ(refit.model.focalLengthMm, solved.model.focalLengthMm);
    EXPECT_NEAR(evaluateGratingModel(refit.model, row.pixel1, beta), moved.line1Wavelength.value,
                1e-6);
  }
}

TEST(SolveGratingModel, FailsWithoutNonFiniteValues) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  GratingModel noPixelSize = startModel();
  noPixelSize.xPixelSize = 0.0f;
  GratingModel noFocalLength = startModel();
  noFocalLength.focalLengthMm = 0.0;
  LineMarks samePixel = workedExample();
  samePixel.line2Pixel = samePixel.line1Pixel;
  LineMarks sameWavelength = workedExample();
  sameWavelength.line2Wavelength = sameWavelength.line1Wavelength;
  LineMarks unreachable = workedExample();
  unreachable.line1Wavelength = LineWavelength::fromDouble(1e6);
  LineMarks notANumber = workedExample();
  notANumber.line1Wavelength = LineWavelength::fromSingle(nan);
  LineMarks negativeLine = workedExample();
  negativeLine.line1Wavelength = LineWavelength::fromDouble(-5.0);
  negativeLine.line1Pixel = 381.0f;  // the first candidate gives exactly the remembered 0

  struct Row {
    const char* name;
    GratingModel start;
    LineMarks marks;
    float dispersion;
    bool focalLengthSolved;
  };
  const std::vector<Row> rows = {
      {"no pixel size, full solve", noPixelSize, workedExample(), 472.6f, false},
      {"no pixel size, re-fit", noPixelSize, workedExample(), 472.6f, true},
      {"focal length 0", noFocalLength, workedExample(), 472.6f, false},
      {"both lines at one pixel", startModel(), samePixel, 472.6f, false},
      {"both lines of one wavelength", startModel(), sameWavelength, 0.0f, false},
      {"line 1 beyond 40 degrees, full solve", startModel(), unreachable, 472.6f, false},
      {"line 1 beyond 40 degrees, re-fit", startModel(), unreachable, 472.6f, true},
      {"line 1 not a number", startModel(), notANumber, 472.6f, false},
      {"dispersion not a number", startModel(), workedExample(), nan, false},
      {"interpolation over a zero span", startModel(), negativeLine, 472.6f, true},
  };
  int checked = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const SolveResult result =
        solveGratingModel(row.start, row.marks, row.dispersion, row.focalLengthSolved);
    EXPECT_FALSE(result.solved);
    EXPECT_EQ(result.betaDeg, 0.0);
    EXPECT_EQ(result.model.alphaDeg, row.start.alphaDeg);
    EXPECT_EQ(result.model.focalLengthMm, row.start.focalLengthMm);
    EXPECT_EQ(result.model.grooveSpacingUm, row.start.grooveSpacingUm);
    ++checked;
  }
  EXPECT_EQ(checked, 10);
}

}  // namespace
}  // namespace halvic

#include "calibration/grating_choice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "calibration/grating_solve.h"

namespace halvic {
namespace {

TEST(ParseGratingChoice, TakesAutomaticOrAPositiveDensity) {
  struct Row {
    std::string text;
    bool valid;
    GratingChoice choice;
  };
  const std::vector<Row> rows{
      {"automatic", true, std::nullopt},
      {" Automatic ", true, std::nullopt},
      {"600", true, 600.0},
      {"1800", true, 1800.0},
      {"830.5", true, 830.5},
      {" 150 ", true, 150.0},
      {"0", false, std::nullopt},
      {"-600", false, std::nullopt},
      {"", false, std::nullopt},
      {"auto", false, std::nullopt},
      {"600 lines", false, std::nullopt},
      {"1e999", false, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("'" + row.text + "'");
    const GratingChoiceText parsed = parseGratingChoice(row.text);
    EXPECT_EQ(parsed.valid, row.valid);
    if (row.valid) {
      EXPECT_EQ(parsed.choice, row.choice);
    }
  }
}

TEST(GratingChoiceText, NamesTheSettingAndTheGrating) {
  EXPECT_EQ(gratingChoiceText(std::nullopt), "automatic");
  EXPECT_EQ(gratingChoiceText(830.5), "830.5");
  EXPECT_EQ(grooveSpacingOfDensity(600.0), 1000.0 / 600.0);
  EXPECT_EQ(chosenGrooveSpacing(std::nullopt), std::nullopt);
  EXPECT_EQ(chosenGrooveSpacing(1200.0), 1000.0 / 1200.0);
  // The table's spacings name their densities when rounded: 1000 / 1.666666 = 600.00024.
  EXPECT_EQ(gratingName(std::nullopt, 1.666666), "600 lines/mm (automatic)");
  EXPECT_EQ(gratingName(std::nullopt, 6.666666), "150 lines/mm (automatic)");
  EXPECT_EQ(gratingName(1200.0, 1000.0 / 1200.0), "1200 lines/mm (chosen)");
}

// The worked example (6562.852 A at pixel 200, 4861.33 A at pixel 600, 9 um pixels) has a
// dispersion of 472 A/mm, so the table picks 150 lines/mm; a chosen 600 lines/mm is used instead,
// and the scans then find the angle and focal length for that grating.
TEST(SolveGratingModel, UsesTheChosenGrooveSpacing) {
  GratingModel start;
  start.xPixelSize = 9.0f;
  const LineMarks marks{LineWavelength::fromDouble(6562.852), LineWavelength::fromDouble(4861.33),
                        200.0f, 600.0f};
  const float dispersion = *estimateDispersion(marks.line1Wavelength, marks.line1Pixel,
                                               marks.line2Wavelength, marks.line2Pixel, 9.0f);
  const SolveResult automatic = solveGratingModel(start, marks, dispersion, false);
  const SolveResult chosen =
      solveGratingModel(start, marks, dispersion, false, grooveSpacingOfDensity(600.0));
  ASSERT_TRUE(automatic.solved);
  ASSERT_TRUE(chosen.solved);
  EXPECT_EQ(automatic.model.grooveSpacingUm, 6.666666);
  EXPECT_EQ(chosen.model.grooveSpacingUm, 1000.0 / 600.0);
  EXPECT_GT(chosen.model.alphaDeg, 4.0 * automatic.model.alphaDeg);  // sin alpha about 4 x
  double betaDeg = 0.0;
  EXPECT_NEAR(evaluateGratingModel(chosen.model, 200.0, betaDeg), 6562.852, 0.01);
  EXPECT_NEAR(evaluateGratingModel(chosen.model, 600.0, betaDeg), 4861.33, 0.5);
  for (const double unusable : {0.0, -1.0, std::nan("")}) {
    EXPECT_FALSE(solveGratingModel(start, marks, dispersion, false, unusable).solved);
  }
}

}  // namespace
}  // namespace halvic

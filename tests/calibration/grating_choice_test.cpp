#include "calibration/grating_choice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "calibration/grating_solve.h"
#include "calibration/spectrograph.h"

namespace halvic {
namespace {

TEST(ReadSpectrograph, TakesEmptyOrANumberInRangeForEachSetting) {
  const std::string grating =
      "Grating must be empty (automatic) or a density from 10 to 10000 lines/mm.";
  const std::string deviation = "Deviation must be empty (0) or an angle from -150 to 150 degrees.";
  const std::string pixel =
      "Pixel size must be empty (from the image header) or 0.5 to 1000 micrometres.";
  struct Row {
    SpectrographTexts texts;
    std::optional<Spectrograph> read;
    std::string refusal;
  };
  const std::vector<Row> rows{
      {{"", "", ""}, Spectrograph{}, ""},
      {{" automatic ", "", ""}, Spectrograph{}, ""},
      {{"600", "", ""}, Spectrograph{600.0, std::nullopt, std::nullopt}, ""},
      {{" 830.5 ", "-32.5", "13.5"}, Spectrograph{830.5, -32.5, 13.5f}, ""},
      {{"10", "150", "0.5"}, Spectrograph{10.0, 150.0, 0.5f}, ""},
      {{"10000", "-150", "1000"}, Spectrograph{10000.0, -150.0, 1000.0f}, ""},
      {{"9.9", "", ""}, std::nullopt, grating},
      {{"auto", "", ""}, std::nullopt, grating},
      {{"600 lines", "", ""}, std::nullopt, grating},
      {{"1e999", "", ""}, std::nullopt, grating},
      {{"", "150.5", ""}, std::nullopt, deviation},
      {{"", "thirty", ""}, std::nullopt, deviation},
      {{"", "", "0.4"}, std::nullopt, pixel},
      {{"", "", "nan"}, std::nullopt, pixel},
      {{"5", "200", "0"}, std::nullopt, grating},  // the first field refused is named
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("'" + row.texts.grating + "' '" + row.texts.deviation + "' '" + row.texts.pixel +
                 "'");
    const SpectrographRead read = readSpectrograph(row.texts);
    EXPECT_EQ(read.spectrograph, row.read);
    EXPECT_EQ(read.refusal, row.refusal);
    if (read.spectrograph) {
      const SpectrographTexts shown = spectrographTexts(*read.spectrograph);
      EXPECT_EQ(readSpectrograph(shown).spectrograph, read.spectrograph);
    }
  }
  EXPECT_EQ(spectrographSettingsLine(Spectrograph{}), "");
  EXPECT_EQ(spectrographSettingsLine(Spectrograph{600.0, std::nullopt, 15.0f}),
            "Set: grating 600 lines/mm, pixel 15 um");
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

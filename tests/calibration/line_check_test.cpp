#include "calibration/line_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "calibration/line_list.h"
#include "tests/support/grating_examples.h"

namespace halvic {
namespace {

constexpr int16_t kLength = 768;
constexpr double kLineWidth = 2.0;  // the five-column lines below, at half their height
constexpr int32_t kLevel = 1000;

double wavelengthAt(double pixel) {
  double betaDeg = 0.0;
  return evaluateGratingModel(test::workedExampleModel(), pixel, betaDeg);
}

/** A flat profile with symmetric five-column lines centred on chosen columns. */
struct ProfileBuilder {
  ProfileArray profile;
  ProfileBuilder() {
    for (int column = 1; column <= kLength; ++column) {
      profile.set(column, kLevel);
    }
  }
  ProfileBuilder& line(int centre, std::array<int32_t, 5> shape = {100, 300, 600, 300, 100}) {
    for (int offset = -2; offset <= 2; ++offset) {
      const int32_t added = shape[static_cast<size_t>(offset + 2)];
      profile.set(centre + offset, profile.at(centre + offset) + added);
    }
    return *this;
  }
  /** A broad Gaussian line of that height, sigma columns wide, added to every column. */
  ProfileBuilder& gaussian(double centre, double sigma, double height) {
    for (int column = 1; column <= kLength; ++column) {
      const double z = (column - centre) / sigma;
      profile.set(column, profile.at(column) +
                              static_cast<int32_t>(std::lround(height * std::exp(-0.5 * z * z))));
    }
    return *this;
  }
  /** Columns alternate level + spread and level - spread: a median absolute deviation of spread. */
  ProfileBuilder& noise(int32_t spread) {
    for (int column = 1; column <= kLength; ++column) {
      profile.set(column, profile.at(column) + (column % 2 == 0 ? spread : -spread));
    }
    return *this;
  }
};

struct Row {
  std::string name;
  ProfileArray profile;
  std::vector<double> linePixels;  // where the listed wavelengths lie under the model
  std::map<int, int> fullScale;    // column -> row of a pixel at 32767
  std::vector<LineStatus> statuses;
  bool firstMeasured;
};

// Each status worked out from the rule, for lines 2 columns wide at half height: a line is read
// 6 columns either side (its background 4 to 6 out), so one nearer than that to column 1 or 768
// is at the edge; a neighbour less than 4 columns away blends; the peak must lie within 2
// columns of the prediction and stand 3 times the profile's noise above its background.
TEST(CheckCalibration, GivesEachLineTheStatusItsProfileCalls) {
  using S = LineStatus;
  const std::vector<Row> rows{
      {"a clean line", ProfileBuilder().line(300).profile, {300}, {}, {S::Used}, true},
      {"neighbours 3 columns apart blend",
       ProfileBuilder().line(300).line(303).profile,
       {300, 303},
       {},
       {S::Blended, S::Blended},
       true},
      {"neighbours 5 columns apart do not",
       ProfileBuilder().line(300).line(305).profile,
       {300, 305},
       {},
       {S::Used, S::Used},
       true},
      {"nothing where the model puts it", ProfileBuilder().profile, {300}, {}, {S::NoLine}, false},
      // Noise of +-50 (even columns up): neighbours differ by 100, a noise of 1.4826 * 100 /
      // sqrt(2) = 104.8, so a line must stand 314 above its background. 60 on column 300 stands
      // 110 above it; 450 stands 500.
      {"a peak lost in the noise",
       ProfileBuilder().noise(50).line(300, {10, 30, 60, 30, 10}).profile,
       {300},
       {},
       {S::NoLine},
       false},
      {"a line clear of the noise",
       ProfileBuilder().noise(50).line(300, {150, 300, 450, 300, 150}).profile,
       {300},
       {},
       {S::Used},
       true},
      {"a full-scale pixel in the crop rows",
       ProfileBuilder().line(300).profile,
       {300},
       {{302, 5}},
       {S::Saturated},
       true},
      {"a full-scale pixel outside the crop rows",
       ProfileBuilder().line(300).profile,
       {300},
       {{302, 15}},
       {S::Used},
       true},
      {"a full-scale pixel beside the window",
       ProfileBuilder().line(300).profile,
       {300},
       {{303, 5}},
       {S::Used},
       true},
      {"near column 1", ProfileBuilder().line(6).profile, {6}, {}, {S::Edge}, false},
      {"its background just inside column 1", ProfileBuilder().line(7).profile, {7}, {}, {S::Used},
       true},
      {"near the last column", ProfileBuilder().line(763).profile, {763}, {}, {S::Edge}, false},
      {"a line 4 columns off", ProfileBuilder().line(304).profile, {300}, {}, {S::NoLine}, false},
      // A broad line peaking on column 303: three columns off, beyond the two the check reaches.
      {"a broad line 3.25 columns off",
       ProfileBuilder().gaussian(303.25, 4.0, 600.0).profile,
       {300},
       {},
       {S::NoLine},
       false},
      {"a line 2 columns off", ProfileBuilder().line(302).profile, {300}, {}, {S::Used}, true},
  };
  const GratingModel model = test::workedExampleModel();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ImageArray image;
    for (const auto& [column, imageRow] : row.fullScale) {
      image.set(column, imageRow, kSaturatedCount);
    }
    std::vector<LineWavelength> lamps;
    for (const double pixel : row.linePixels) {
      lamps.push_back(LineWavelength::fromDouble(wavelengthAt(pixel)));
    }
    std::sort(lamps.begin(), lamps.end(),
              [](const auto& a, const auto& b) { return a.value < b.value; });
    const LineCheck check = checkCalibration(LineCheckInputs{.profile = row.profile,
                                                             .length = kLength,
                                                             .image = image,
                                                             .cropRow1 = 10,
                                                             .cropRow2 = 1,
                                                             .model = model,
                                                             .lineWidth = kLineWidth},
                                             lamps);
    ASSERT_EQ(check.lines.size(), row.statuses.size());
    // Wavelength falls as the column rises, so wavelength order is the reverse of pixel order.
    for (size_t i = 0; i < check.lines.size(); ++i) {
      const CheckedLine& line = check.lines[i];
      const double pixel = row.linePixels[row.linePixels.size() - 1 - i];
      EXPECT_EQ(line.status, row.statuses[row.statuses.size() - 1 - i])
          << lineStatusWord(line.status);
      EXPECT_NEAR(line.predictedPixel, pixel, 1e-3);
    }
    EXPECT_EQ(check.lines.back().measuredPixel.has_value(), row.firstMeasured);
    EXPECT_EQ(check.lines.back().residualA.has_value(), row.firstMeasured);
  }
}

// Two clean lines centred on columns 300 and 400, listed 0.3 A above and 0.4 A below the model's
// wavelength there: the residuals are -0.3 and +0.4 A, the RMS sqrt((0.09 + 0.16) / 2).
TEST(CheckCalibration, ResidualsInAngstromsPixelsAndKilometresPerSecond) {
  const ProfileArray profile = ProfileBuilder().line(300).line(400).profile;
  const std::vector<LineWavelength> lamps{LineWavelength::fromDouble(wavelengthAt(400.0) - 0.4),
                                          LineWavelength::fromDouble(wavelengthAt(300.0) + 0.3)};
  const ImageArray image;
  const GratingModel model = test::workedExampleModel();
  const LineCheck check =
      checkCalibration(LineCheckInputs{profile, kLength, image, 1, 20, model, kLineWidth}, lamps);
  ASSERT_EQ(check.lines.size(), 2u);
  const CheckedLine& at400 = check.lines[0];
  const CheckedLine& at300 = check.lines[1];
  EXPECT_FLOAT_EQ(*at400.measuredPixel, 400.0f);
  EXPECT_FLOAT_EQ(*at300.measuredPixel, 300.0f);
  EXPECT_NEAR(*at400.residualA, 0.4, 1e-9);
  EXPECT_NEAR(*at300.residualA, -0.3, 1e-9);
  // The listed wavelength moved by 0.4 A at about 4.3 A a column: the prediction moves the other
  // way from 400 by about a tenth of a column.
  const double dispersion = wavelengthAt(399.5) - wavelengthAt(400.5);
  EXPECT_NEAR(*at400.residualPx, -0.4 / dispersion, 1e-3);
  EXPECT_NEAR(*at400.residualKms, 299792.458 * 0.4 / at400.wavelength.value, 1e-9);
  EXPECT_EQ(check.used, 2);
  EXPECT_NEAR(*check.rmsA, std::sqrt((0.09 + 0.16) / 2.0), 1e-9);
  EXPECT_NEAR(*check.rmsKms,
              std::sqrt((std::pow(*at400.residualKms, 2) + std::pow(*at300.residualKms, 2)) / 2.0),
              1e-9);
}

TEST(CheckCalibration, NoUsedLineGivesNoRms) {
  const ProfileArray flat = ProfileBuilder().profile;
  const ImageArray image;
  const GratingModel model = test::workedExampleModel();
  const std::vector<LineWavelength> lamps{LineWavelength::fromDouble(wavelengthAt(300.0))};
  const LineCheck check =
      checkCalibration(LineCheckInputs{flat, kLength, image, 1, 20, model, kLineWidth}, lamps);
  EXPECT_EQ(check.used, 0);
  EXPECT_FALSE(check.rmsA.has_value());
  EXPECT_FALSE(check.rmsKms.has_value());
}

TEST(ModelPixelOf, InvertsTheModelInsideTheProfileOnly) {
  const GratingModel model = test::workedExampleModel();
  int checked = 0;
  for (const double pixel : {1.0, 2.25, 381.0, 500.75, 768.0}) {
    SCOPED_TRACE(pixel);
    const auto found = modelPixelOf(model, wavelengthAt(pixel), kLength);
    ASSERT_TRUE(found.has_value());
    EXPECT_NEAR(*found, pixel, 1e-4);
    ++checked;
  }
  EXPECT_EQ(checked, 5);
  EXPECT_FALSE(modelPixelOf(model, wavelengthAt(0.5), kLength).has_value());
  EXPECT_FALSE(modelPixelOf(model, wavelengthAt(768.5), kLength).has_value());
  EXPECT_FALSE(modelPixelOf(model, wavelengthAt(1.0), 1).has_value());
}

TEST(LampLineWavelengths, AreTheListsMercuryNeonAndArgonInWavelengthOrder) {
  const std::vector<LineWavelength> lamps = lampLineWavelengths();
  ASSERT_EQ(lamps.size(), 40u);  // entries 0..39 of the list
  EXPECT_EQ(lamps.front().value, 3650.15);
  EXPECT_EQ(lamps.back().value, 7383.98);
  for (size_t i = 1; i < lamps.size(); ++i) {
    EXPECT_LT(lamps[i - 1].value, lamps[i].value);
  }
  for (const LineWavelength& lamp : lamps) {
    EXPECT_NE(lamp.value, 6562.852);  // H-alpha is an object's line
    EXPECT_NE(lamp.value, 5577.34);   // [O I] likewise
  }
}

}  // namespace
}  // namespace halvic

#include "output/fits_spectrum.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "output/fits_file.h"
#include "output/grating_wcs.h"

namespace halvic {
namespace {

// The worked example (9 um, 140 mm, alpha 2.5, 150 lines/mm).
constexpr GratingModel kWorkedExample{.xPixelSize = 9.0f,
                                      .focalLengthMm = 140.0,
                                      .alphaDeg = 2.5,
                                      .grooveSpacingUm = 6.666666,
                                      .gammaDeg = 6.16,
                                      .degreesPerRadian = 57.29578f};

ObservingDetails details() {
  return ObservingDetails{.texts = {{"OBJNAME", "Vega"}, {"OBSERVER", ""}},
                          .numbers = {{"GEO_LAT", 51.25}, {"EXPTIME", std::nullopt}},
                          .utcOffsetHours = 0.0};
}

TEST(FitsSpectrum, BothHeadersCarryTheDetailsGivenAndNoOthers) {
  ProfileArray profile;
  profile.set(2, 100);
  for (const bool dated : {true, false}) {
    SCOPED_TRACE(dated);
    const FitsSpectrumFiles files = buildFitsSpectrumFiles(
        {.profile = profile,
         .length = 3,
         .model = kWorkedExample,
         .details = details(),
         .dateObs = dated ? std::optional<std::string>("2024-03-14T21:12:40") : std::nullopt,
         .history = {"one"}});
    ASSERT_EQ(files.failure, std::nullopt);
    for (const std::vector<char>* bytes : {&files.resampled, &files.perColumn}) {
      const FitsHeaderReader header{std::span<const char>(*bytes)};
      ASSERT_EQ(header.failure(), std::nullopt);
      EXPECT_EQ(header.text("OBJNAME"), "Vega");
      EXPECT_EQ(header.text("OBSERVER"), std::nullopt);
      EXPECT_EQ(header.number("GEO_LAT"), 51.25);
      EXPECT_EQ(header.number("EXPTIME"), std::nullopt);
      EXPECT_EQ(header.number("BSS_VHEL"), 0.0);
      EXPECT_EQ(header.text("BUNIT"), "adu");
      EXPECT_EQ(header.text("DATE-OBS"),
                dated ? std::optional<std::string>("2024-03-14T21:12:40") : std::nullopt);
    }
    const FitsHeaderReader resampled{std::span<const char>(files.resampled)};
    EXPECT_EQ(resampled.text("CTYPE1"), "Wavelength");
    EXPECT_EQ(resampled.text("CUNIT1"), "Angstrom");
    EXPECT_EQ(resampled.number("CRPIX1"), 1.0);
    const FitsHeaderReader perColumn{std::span<const char>(files.perColumn)};
    EXPECT_EQ(perColumn.text("CTYPE1"), "AWAV-GRA");
    EXPECT_EQ(perColumn.number("CRPIX1"), 381.0);
  }
}

// With alpha at 80 of the model's degrees and a 1 mm camera, the columns look at angles beyond
// 90 degrees either side, where the wavelength turns back: no one value belongs to a wavelength.
TEST(FitsSpectrum, AModelThatTurnsBackAlongTheProfileIsRefused) {
  GratingModel model = kWorkedExample;
  model.alphaDeg = 80.0;
  model.focalLengthMm = 1.0;
  ProfileArray profile;
  const FitsSpectrumFiles files = buildFitsSpectrumFiles(
      {.profile = profile, .length = 765, .model = model, .details = {}, .history = {}});
  ASSERT_TRUE(files.failure.has_value());
  EXPECT_EQ(*files.failure,
            "the model's wavelengths do not rise or fall steadily along the profile");
  EXPECT_TRUE(files.resampled.empty());
  EXPECT_TRUE(files.perColumn.empty());
}

TEST(FitsSpectrum, TheHistoryNamesTheLinesTheModelAndTheProgram) {
  const LineMarks marks{LineWavelength::fromDouble(6562.852), LineWavelength::fromInt16(4959),
                        199.75f, 600.0f};
  EXPECT_EQ(
      calibrationHistory(marks, kWorkedExample, "Program 1.0"),
      (std::vector<std::string>{
          "Lamp line 1: 6562.852 A at pixel 199.75", "Lamp line 2: 4959 A at pixel 600",
          "Model: alpha 2.5 deg, focal length 140 mm",
          "Model: 150.0000150000015 grooves per mm, pixel size 9 um", "Written by Program 1.0"}));
}

}  // namespace
}  // namespace halvic

namespace halvic {
namespace {

// The grating algorithm of FITS coordinates knows a deviation but no distorting camera: the
// per-column file says how far its coordinates then stand from the model, and the history names
// the general model's terms.
TEST(FitsSpectrum, AGeneralModelIsNamedAndItsDistortionAccountedFor) {
  struct Row {
    std::string name;
    double deviationDeg, distortion2;
    bool accounted;
  };
  const std::vector<Row> rows{{"Littrow", 0.0, 0.0, false},
                              {"a deviation", 12.5, 0.0, false},
                              {"a distorting camera", 12.5, 0.5, true}};
  ProfileArray profile;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    GratingModel model = kWorkedExample;
    model.deviationDeg = row.deviationDeg;
    model.distortion2 = row.distortion2;
    const FitsSpectrumFiles files = buildFitsSpectrumFiles(
        {.profile = profile, .length = 765, .model = model, .details = {}, .history = {}});
    ASSERT_EQ(files.failure, std::nullopt);
    const std::string text(files.perColumn.begin(), files.perColumn.end());
    const size_t note = text.find("HISTORY Coordinates: the model without its camera's distortion");
    EXPECT_EQ(note != std::string::npos, row.accounted);
    const std::vector<std::string> history = calibrationHistory({}, model, "P");
    EXPECT_EQ(history.size(), row.deviationDeg != 0.0 ? 6U : 5U);
  }
  GratingModel distorted = kWorkedExample;
  distorted.distortion2 = 0.5;
  // theta grows by 0.5 u^2 at the ends, u = 0.009 x 380 / 140: some 19 A at 4.3 A a column.
  EXPECT_NEAR(largestWcsDifferencePx(gratingWcsOf(distorted), distorted, 765), 4.5, 0.5);
  EXPECT_LT(largestWcsDifferencePx(gratingWcsOf(kWorkedExample), kWorkedExample, 765), 1e-6);
}

}  // namespace
}  // namespace halvic

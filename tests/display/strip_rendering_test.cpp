#include "display/strip_rendering.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace halvic {
namespace {

constexpr ui::Rgb kBackground = ui::kWindowGrey;

ui::Rgb grey(int level) {
  const auto value = static_cast<uint8_t>(level);
  return ui::Rgb{value, value, value};
}

TEST(RawStripTest, GreyLevelFollowsBackgroundRangeAndScale) {
  struct Row {
    int16_t background;
    int32_t range;
    int16_t pixel;
    int expectedGrey;
  };
  const std::vector<Row> rows{
      {100, 255, 100, 0},      // the background is black
      {100, 255, 355, 255},    // 255 above it is white
      {100, 255, 30000, 255},  // and anything brighter stays white
      {100, 255, 50, 0},       // below the background clamps to black
      {0, 100, 50, 100},       // range 100: divisor 1, scale 256 \ 100 = 2
      {0, 1000, 600, 200},     // range 1000: divisor 3
      {0, -50, 77, 77},        // a negative range: divisor 1, scale 1
      {0, 0, 1, 255},          // range 0: anything above the background is white
      {0, 0, 0, 0},
      {0, 2000000000, 32767, 0},  // a huge header range needs more than 16 bits
  };
  int checked = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE("background " + std::to_string(row.background) + " range " +
                 std::to_string(row.range) + " pixel " + std::to_string(row.pixel));
    ImageArray image;
    image.set(1, 1, row.pixel);
    ProfileArray profile;
    ui::Raster window(775, 379, kBackground);
    double betaDeg = 0.0;
    drawStrip(window,
              StripInputs{.image = image,
                          .width = 1,
                          .height = 1,
                          .stripLeft = 3,
                          .stripTop = 8,
                          .background = row.background,
                          .range = row.range,
                          .profile = profile},
              betaDeg);
    EXPECT_EQ(window.pixel(4, 9), grey(row.expectedGrey));
    ++checked;
  }
  EXPECT_EQ(checked, 10);
}

TEST(RawStripTest, DrawsOnlyItsOwnRowsAndColumns) {
  ImageArray image;
  image.fill(300);
  ProfileArray profile;
  ui::Raster window(775, 379, kBackground);
  double betaDeg = 0.0;
  // 700 x 10 image centred in the data frame: left 37, top 13.
  drawStrip(window,
            StripInputs{.image = image,
                        .width = 700,
                        .height = 10,
                        .stripLeft = 37,
                        .stripTop = 13,
                        .background = 0,
                        .range = 255,
                        .profile = profile},
            betaDeg);
  EXPECT_EQ(window.pixel(38, 14), grey(255));
  EXPECT_EQ(window.pixel(737, 23), grey(255));
  EXPECT_EQ(window.pixel(37, 14), kBackground);
  EXPECT_EQ(window.pixel(738, 14), kBackground);
  EXPECT_EQ(window.pixel(38, 13), kBackground);
  EXPECT_EQ(window.pixel(38, 24), kBackground);
}

TEST(RawStripTest, SizesBeyondTheArrayAreBounded) {
  ImageArray image;
  ProfileArray profile;
  ui::Raster window(775, 379, kBackground);
  double betaDeg = 0.0;
  drawStrip(window,
            StripInputs{.image = image,
                        .width = 30000,
                        .height = 300,
                        .stripLeft = 3,
                        .stripTop = 8,
                        .background = 0,
                        .range = 255,
                        .profile = profile},
            betaDeg);
  EXPECT_EQ(window.pixel(4 + 768, 9), kBackground);
  EXPECT_EQ(window.pixel(4, 9 + 20), kBackground);
  EXPECT_EQ(window.pixel(771, 28), grey(0));
}

TEST(ExpandedStripTest, ProfileBarsAreTwentyRowsTallWithTheSkyLevelRemoved) {
  struct Row {
    std::string what;
    int16_t background;
    int32_t range;
    bool skySubtracted;
    int32_t profileValue;
    int expectedGrey;
  };
  const std::vector<Row> rows{
      {"background 100, range 255", 100, 255, false, 20 * 100 + 2550, 127},
      {"airglow filter: offset 0", 100, 255, true, 2550, 127},
      {"background above 1638 does not overflow", 2000, 255, false, 20 * 2000 + 5100, 255},
      {"range 0", 0, 0, false, 5, 255},
      {"negative range", 0, -5, false, 40, 40},
  };
  int checked = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ImageArray image;
    ProfileArray profile;
    profile.set(1, row.profileValue);
    ui::Raster window(775, 379, kBackground);
    double betaDeg = 0.0;
    drawStrip(window,
              StripInputs{.image = image,
                          .width = 1,
                          .height = 10,
                          .stripLeft = 3,
                          .stripTop = 13,
                          .background = row.background,
                          .range = row.range,
                          .profile = profile,
                          .expanded = true,
                          .skySubtracted = row.skySubtracted},
              betaDeg);
    // A 10-row image still gets 20 rows: y 14..33.
    EXPECT_EQ(window.pixel(4, 14), grey(row.expectedGrey));
    EXPECT_EQ(window.pixel(4, 33), grey(row.expectedGrey));
    EXPECT_EQ(window.pixel(4, 34), kBackground);
    ++checked;
  }
  EXPECT_EQ(checked, 5);
}

TEST(WavelengthColourTest, RunsFromBlueThroughGreenToRed) {
  struct Row {
    float lambda;
    uint8_t grey;
    ui::Rgb expected;
  };
  const std::vector<Row> rows{
      {4000.0f, 200, {0, 0, 200}},   {4500.0f, 200, {0, 0, 200}},
      {4937.5f, 255, {0, 254, 254}},  // f = 0.25: both part(0.25) and full round to 254
      {5375.0f, 128, {0, 128, 0}},    // f = 0.5: part(0) = 0
      {5812.5f, 128, {128, 128, 0}},  // f = 0.75
      {6250.0f, 200, {199, 0, 0}},    // full = round(200 * 255 / 256) = 199
      {6250.5f, 200, {200, 0, 0}},    // beyond 6250 the grey itself
      {5000.0f, 0, {0, 0, 0}},
  };
  int checked = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.lambda);
    const ui::Rgb colour = wavelengthColour(row.grey, row.lambda);
    EXPECT_EQ(colour.red, row.expected.red);
    EXPECT_EQ(colour.green, row.expected.green);
    EXPECT_EQ(colour.blue, row.expected.blue);
    ++checked;
  }
  EXPECT_EQ(checked, 8);
}

TEST(ExpandedStripTest, CalibratedColumnsAreColouredByTheirWavelength) {
  ImageArray image;
  ProfileArray profile;
  profile.fill(20 * 255);  // a 20-row sum: grey 255 with range 255
  const GratingModel model{.xPixelSize = 9.0f, .alphaDeg = 2.5};
  double betaDeg = 0.0;
  const float lambda = pixelToWavelength(model, 1, betaDeg);
  ui::Raster window(775, 379, kBackground);
  drawStrip(window,
            StripInputs{.image = image,
                        .width = 1,
                        .height = 20,
                        .stripLeft = 3,
                        .stripTop = 8,
                        .background = 0,
                        .range = 255,
                        .profile = profile,
                        .expanded = true,
                        .calibration = &model},
            betaDeg);
  EXPECT_EQ(window.pixel(4, 9), wavelengthColour(255, lambda));
  EXPECT_NE(window.pixel(4, 9), grey(255));
}

TEST(CropMarkerLinesTest, LieAtFixedOffsetsFromTheFrame) {
  ui::Raster window(775, 379, kBackground);
  drawCropMarkerLines(window, 5, 12, ui::Place{4, 8, 768, 22});
  drawCropMarkerLines(window, 1, 20, ui::Place{4, 40, 768, 22});
  for (const int y : {12, 21, 40, 61}) {
    SCOPED_TRACE(y);
    EXPECT_EQ(window.pixel(5, y), ui::kRed);
    EXPECT_EQ(window.pixel(770, y), ui::kRed);
    EXPECT_EQ(window.pixel(4, y), kBackground);
    EXPECT_EQ(window.pixel(771, y), kBackground);
  }
}

}  // namespace
}  // namespace halvic

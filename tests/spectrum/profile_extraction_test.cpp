#include "spectrum/profile_extraction.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace halvic {
namespace {

struct Pixel {
  int column;
  int row;
  int16_t value;
};

ImageArray imageOf(int16_t background, const std::vector<Pixel>& pixels) {
  ImageArray image;
  image.fill(background);
  for (const Pixel& pixel : pixels) {
    image.set(pixel.column, pixel.row, pixel.value);
  }
  return image;
}

/** Sets column 1 of the given rows to one value. */
void fillRows(std::vector<Pixel>& pixels, int firstRow, int lastRow, int16_t value) {
  for (int row = firstRow; row <= lastRow; ++row) {
    pixels.push_back({1, row, value});
  }
}

TEST(MedianOfFour, MeanOfTheMiddleTwoTruncated) {
  struct Row {
    int16_t a, b, c, d;
    int16_t expected;
  };
  const std::vector<Row> rows = {
      {10, 40, 20, 31, 25},
      {1, 2, 3, 4, 2},
      {4, 3, 2, 1, 2},
      {-3, -4, 0, 0, -1},
      {100, 100, 30000, 100, 100},
      {32767, 32767, 32767, 32767, 32767},
  };
  int checked = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.a << ", " << row.b << ", " << row.c << ", " << row.d);
    EXPECT_EQ(medianOfFour(row.a, row.b, row.c, row.d), row.expected);
    ++checked;
  }
  EXPECT_EQ(checked, 6);
}

TEST(ExtractDataProfile, ScalesTheCropToTwentyRowsAndTakesOffTheSky) {
  struct Row {
    const char* name;
    int16_t cropRow1;
    int16_t cropRow2;
    std::vector<Pixel> pixels;
    bool filterAirglow;
    int32_t expected;
  };
  std::vector<Pixel> fiveObjectRowsAndSky;
  fillRows(fiveObjectRowsAndSky, 1, 4, 10);
  fillRows(fiveObjectRowsAndSky, 5, 9, 100);
  fillRows(fiveObjectRowsAndSky, 10, 19, 10);
  fiveObjectRowsAndSky.push_back({1, 20, 12});  // sky sum 152: 152 * 5 / 15 = 50.67 -> 50
  std::vector<Pixel> brightSky;
  fillRows(brightSky, 1, 20, 100);
  fillRows(brightSky, 5, 9, 10);
  std::vector<Pixel> rowNumbers;
  for (int16_t row = 1; row <= 20; ++row) {
    rowNumbers.push_back({1, row, row});
  }
  const std::vector<Row> rows = {
      {"n = 8, 2.5 rounds down to even", 5, 12, {{1, 5, 1}}, false, 2},
      {"n = 8, 7.5 rounds up to even", 5, 12, {{1, 5, 3}}, false, 8},
      {"n = 8, 12.5 rounds down to even", 5, 12, {{1, 12, 5}}, false, 12},
      {"n = 3, 6.67 rounds to nearest", 1, 3, {{1, 2, 1}}, false, 7},
      {"n = 5 without airglow filter", 5, 9, fiveObjectRowsAndSky, false, 2000},
      {"n = 5, sky scaled to five rows, truncated", 5, 9, fiveObjectRowsAndSky, true, 1800},
      {"sky brighter than object clips to 0", 5, 9, brightSky, true, 0},
      {"n = 20 is the plain sum", 1, 20, rowNumbers, false, 210},
      {"n = 20 ignores the airglow filter", 1, 20, rowNumbers, true, 210},
      {"rows outside the crop are not in the object sum", 3, 5, rowNumbers, false, 80},
  };
  int checked = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ExtractedProfile profile =
        extractDataProfile(imageOf(0, row.pixels), 1, row.cropRow1, row.cropRow2,
                           {.filterAirglow = row.filterAirglow});
    EXPECT_EQ(profile.values.at(1), row.expected);
    EXPECT_EQ(profile.length, 1);
    EXPECT_EQ(profile.max, row.expected);
    EXPECT_EQ(profile.min, row.expected);
    ++checked;
  }
  EXPECT_EQ(checked, 10);
}

TEST(ExtractDataProfile, MedianFilterUsesNeighboursOfTheUnfilteredImage) {
  struct Row {
    const char* name;
    int16_t background;
    std::vector<Pixel> pixels;
    int16_t width;
    bool useMedian;
    std::vector<int32_t> expectedColumns;
  };
  const std::vector<Row> rows = {
      {"flat image unchanged", 100, {}, 5, true, {2000, 2000, 2000, 2000, 2000}},
      {"hot pixel without the filter",
       100,
       {{3, 10, 30000}},
       5,
       false,
       {2000, 2000, 31900, 2000, 2000}},
      {"hot pixel and its neighbours become 100",
       100,
       {{3, 10, 30000}},
       5,
       true,
       {2000, 2000, 2000, 2000, 2000}},
      {"first column not filtered",
       100,
       {{1, 10, 30000}},
       5,
       true,
       {31900, 2000, 2000, 2000, 2000}},
      {"last column of the width not filtered",
       100,
       {{5, 10, 30000}},
       5,
       true,
       {2000, 2000, 2000, 2000, 31900}},
      {"two columns: nothing filtered",
       100,
       {{1, 10, 30000}, {2, 10, 30000}},
       2,
       true,
       {31900, 31900}},
      {"one column: nothing filtered", 100, {{1, 10, 30000}}, 1, true, {31900}},
      {"row 1 puts the pixel among the four",
       0,
       {{2, 1, 10}, {4, 1, 20}, {3, 2, 90}, {3, 1, 60}},
       5,
       true,
       {0, 10, 40, 30, 0}},
      {"row 1 reference is the mean of three",
       0,
       {{2, 1, 10}, {4, 1, 20}, {3, 2, 90}, {3, 1, 40}},
       5,
       true,
       {0, 10, 40, 20, 0}},
      {"row 20 puts the pixel among the four",
       0,
       {{2, 20, 10}, {4, 20, 20}, {3, 19, 90}, {3, 20, 60}},
       5,
       true,
       {0, 10, 40, 30, 0}},
      {"filtered values never feed another pixel",
       0,
       {{2, 10, 60}, {3, 10, 41}, {3, 9, 30}, {3, 11, 50}, {4, 10, 20}},
       4,
       true,
       {0, 40, 40, 20}},
  };
  int checked = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ExtractedProfile profile = extractDataProfile(
        imageOf(row.background, row.pixels), row.width, 1, 20, {.useMedian = row.useMedian});
    ASSERT_EQ(profile.length, row.width);
    for (int column = 1; column <= row.width; ++column) {
      EXPECT_EQ(profile.values.at(column), row.expectedColumns[static_cast<size_t>(column - 1)])
          << "column " << column;
    }
    ++checked;
  }
  EXPECT_EQ(checked, 11);
}

TEST(ExtractDataProfile, SmoothingSpreadsFromTheUnsmoothedProfile) {
  struct Row {
    const char* name;
    int16_t width;
    std::vector<std::pair<int, int16_t>> spikes;
    std::vector<std::pair<int, int32_t>> expected;  // every other column 0
  };
  const std::vector<Row> rows = {
      {"spike of 24", 768, {{100, 24}}, {{98, 2}, {99, 5}, {100, 10}, {101, 5}, {102, 2}}},
      {"spike of 23 truncates", 768, {{100, 23}}, {{98, 1}, {99, 4}, {100, 9}, {101, 4}, {102, 1}}},
      {"neighbouring spikes read unsmoothed values",
       768,
       {{100, 24}, {101, 24}},
       {{98, 2}, {99, 7}, {100, 15}, {101, 15}, {102, 7}, {103, 2}}},
      {"columns 1, 2, W-1 and W keep their values",
       768,
       {{1, 24}, {2, 24}, {767, 24}, {768, 24}},
       {{1, 24}, {2, 24}, {3, 7}, {4, 2}, {765, 2}, {766, 7}, {767, 24}, {768, 24}}},
      {"width 5 smooths column 3 only", 5, {{2, 24}, {3, 24}}, {{2, 24}, {3, 15}}},
      {"width 4 is left alone", 4, {{2, 24}}, {{2, 24}}},
  };
  int checked = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<Pixel> pixels;
    for (const auto& [column, value] : row.spikes) {
      pixels.push_back({column, 1, value});
    }
    ProfileArray expected;
    for (const auto& [column, value] : row.expected) {
      expected.set(column, value);
    }
    const ImageArray image = imageOf(0, pixels);
    EXPECT_EQ(extractDataProfile(image, row.width, 1, 20, {.smoothing = true}).values, expected);
    EXPECT_EQ(extractCalProfile(image, row.width, 1, 20, true).values, expected);
    ++checked;
  }
  EXPECT_EQ(checked, 6);
}

TEST(ExtractDataProfile, SmoothingSeesNegativeSkySubtractedValuesBeforeClipping) {
  std::vector<Pixel> pixels;
  for (int row = 1; row <= 20; ++row) {
    if (row < 5 || row > 9) {
      pixels.push_back({100, row, 3});  // sky 45 -> 15 over five rows -> -60
    }
  }
  for (int row = 5; row <= 9; ++row) {
    pixels.push_back({101, row, 6});  // object 30 -> 120
  }
  const ExtractedProfile profile =
      extractDataProfile(imageOf(0, pixels), 200, 5, 9, {.filterAirglow = true, .smoothing = true});
  ProfileArray expected;
  expected.set(101, 37);  // (5 * -60 + 10 * 120) / 24; 50 if the -60 had been clipped first
  expected.set(102, 20);  // (2 * -60 + 5 * 120) / 24
  expected.set(103, 10);
  EXPECT_EQ(profile.values, expected);
  EXPECT_EQ(profile.max, 37);
  EXPECT_EQ(profile.min, 0);
}

TEST(ExtractProfiles, WidthAndCropRowsAreHeldInsideTheImage) {
  struct Row {
    const char* name;
    int16_t width;
    int16_t cropRow1;
    int16_t cropRow2;
    int16_t expectedLength;
    int32_t expectedData;  // of every column 1..length
    int32_t expectedCal;
  };
  const std::vector<Row> rows = {
      {"width 0", 0, 1, 20, 0, 0, 0},
      {"negative width", -5, 1, 20, 0, 0, 0},
      {"width beyond the image", 1000, 1, 20, 768, 210, 210},
      {"narrower than the image", 500, 1, 20, 500, 210, 210},
      {"reversed crop rows", 10, 12, 3, 10, 150, 75},
      {"crop rows beyond 1..20", 10, -4, 99, 10, 210, 210},
      {"single crop row", 10, 7, 7, 10, 140, 7},
  };
  // Every pixel holds its row number, so each crop has its own sum; median and smoothing keep it.
  ImageArray image;
  for (int column = 1; column <= kImageColumns; ++column) {
    for (int16_t row = 1; row <= kImageRows; ++row) {
      image.set(column, row, row);
    }
  }
  int checked = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ExtractedProfile data = extractDataProfile(image, row.width, row.cropRow1, row.cropRow2,
                                                     {.useMedian = true, .smoothing = true});
    const ExtractedProfile cal =
        extractCalProfile(image, row.width, row.cropRow1, row.cropRow2, true);
    ProfileArray expectedData;
    ProfileArray expectedCal;
    for (int column = 1; column <= row.expectedLength; ++column) {
      expectedData.set(column, row.expectedData);
      expectedCal.set(column, row.expectedCal);
    }
    EXPECT_EQ(data.length, row.expectedLength);
    EXPECT_EQ(data.values, expectedData);
    EXPECT_EQ(data.max, row.expectedData);
    EXPECT_EQ(data.min, row.expectedData);  // an empty profile has both extremes 0
    EXPECT_EQ(cal.length, row.expectedLength);
    EXPECT_EQ(cal.values, expectedCal);
    EXPECT_EQ(cal.max, row.expectedCal);
    EXPECT_EQ(cal.min, row.expectedCal);
    ++checked;
  }
  EXPECT_EQ(checked, 7);
}

TEST(ExtractCalProfile, PlainSumOfTheCropRows) {
  std::vector<Pixel> pixels;
  for (int16_t row = 1; row <= 20; ++row) {
    pixels.push_back({1, row, row});
    pixels.push_back({3, row, 100});
  }
  pixels.push_back({3, 4, 30000});  // hot pixels stay: the median filter is for the object only
  const ExtractedProfile profile = extractCalProfile(imageOf(0, pixels), 3, 1, 10, false);
  EXPECT_EQ(profile.values.at(1), 55);
  EXPECT_EQ(profile.values.at(2), 0);
  EXPECT_EQ(profile.values.at(3), 30900);
  EXPECT_EQ(profile.length, 3);
  EXPECT_EQ(profile.max, 30900);
  EXPECT_EQ(profile.min, 0);
}

}  // namespace
}  // namespace halvic

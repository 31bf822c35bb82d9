#include "calibration/centroid.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace halvic {
namespace {

/** A profile of `length` columns at `level`, with the given columns set apart. */
ProfileArray profileWith(int32_t level, int length, const std::map<int, int32_t>& columns) {
  ProfileArray profile;
  for (int column = 1; column <= length; ++column) {
    profile.set(column, level);
  }
  for (const auto& [column, value] : columns) {
    profile.set(column, value);
  }
  return profile;
}

// Each centroid is worked out by hand: the window's columns, the background from the two columns
// outside it, the weights, and sum(i x weight) / sum(weight).
TEST(CentroidLine, MeasuresTheWindowTheCursorAndTheClampsGive) {
  struct Row {
    std::string name;
    ProfileArray profile;
    int16_t length;
    int16_t cursor;
    int16_t width;
    CentroidStatus status;
    float pixel;
  };
  // A line of 10 20 40 20 10 on a level of 10, peak at `peak`.
  const auto line = [](int peak) {
    return profileWith(10, 20, {{peak - 1, 20}, {peak, 40}, {peak + 1, 20}});
  };
  const std::vector<Row> rows{
      // Cursor 1, width 5: start = 2 (1 - 2 is below 2), window 2..6, background columns 1, 7;
      // weights 0 10 30 10 0 on columns 2..6: (30 + 120 + 50) / 50 = 4.
      {"left clamp, cursor at 1", line(4), 20, 1, 5, CentroidStatus::Ok, 4.0f},
      // Cursor 20 = N: 20 + 2 >= 20, start = 20 - 5 = 15, window 15..19, background 14 and 20.
      {"right clamp, cursor at N", line(17), 20, 20, 5, CentroidStatus::Ok, 17.0f},
      // Cursor 18 = N - half: 18 + 2 = 20 reaches N, so the right clamp applies as well.
      {"right clamp, cursor at N - half", line(17), 20, 18, 5, CentroidStatus::Ok, 17.0f},
      // Cursor 17 = N - half - 1: no clamp, window 15..19 all the same.
      {"no clamp just left of it", line(17), 20, 17, 5, CentroidStatus::Ok, 17.0f},
      // Line centred on 51, cursor 50, width 5: window 48..52 = 70 80 90 100 90, background
      // (60 + 80) / 2 = 70, weights 0 10 20 30 20: (490 + 1000 + 1530 + 1040) / 80 = 50.75.
      {"one column off-centre",
       profileWith(0, 100, {{47, 60}, {48, 70}, {49, 80}, {50, 90}, {51, 100}, {52, 90}, {53, 80}}),
       100, 50, 5, CentroidStatus::Ok, 50.75f},
      // The same line with 61 left of the window: background (61 + 80) / 2 = 70.5, not 70;
      // weights -0.5 9.5 19.5 29.5 19.5 sum to 77.5:
      // (-24 + 465.5 + 975 + 1504.5 + 1014) / 77.5 = 3935 / 77.5 = 50.7741935...
      {"an odd sum outside the window halved in floating point",
       profileWith(0, 100, {{47, 61}, {48, 70}, {49, 80}, {50, 90}, {51, 100}, {52, 90}, {53, 80}}),
       100, 50, 5, CentroidStatus::Ok, 50.7741935f},
      // Absorption: background 100 above the middle 40; weights 20 60 40 on 49..51:
      // (980 + 3000 + 2040) / 120 = 50.1666...
      {"absorption line", profileWith(100, 100, {{49, 80}, {50, 40}, {51, 60}}), 100, 50, 3,
       CentroidStatus::Ok, 50.1666667f},
      // Background 20; window 48..52 = 10 30 60 30 20, weights -10 10 40 10 0:
      // (-480 + 490 + 2000 + 510) / 50 = 50.4: the column below the background pushes it right.
      {"a negative weight counts against the line",
       profileWith(20, 100, {{48, 10}, {49, 30}, {50, 60}, {51, 30}}), 100, 50, 5,
       CentroidStatus::Ok, 50.4f},
      // Background 50; weights -39 0 40 0 0 sum to 1: (-1872 + 2000) / 1 = 128, far outside.
      {"unclipped weights may leave the window", profileWith(50, 100, {{48, 11}, {50, 90}}), 100,
       50, 5, CentroidStatus::Ok, 128.0f},
      {"flat window", profileWith(500, 100, {}), 100, 50, 5, CentroidStatus::NoLine, 0.0f},
      // Background 20, window 10 20 30 20 20: weights -10 0 10 0 0 sum to zero.
      {"background equal to the window's mean", profileWith(20, 100, {{48, 10}, {50, 30}}), 100, 50,
       5, CentroidStatus::NoLine, 0.0f},
      {"profile one column short of width + 2", line(4), 6, 3, 5, CentroidStatus::NoProfile, 0.0f},
      {"profile of exactly width + 2", line(4), 7, 4, 5, CentroidStatus::Ok, 4.0f},
      {"empty profile", ProfileArray{}, 0, 1, 5, CentroidStatus::NoProfile, 0.0f},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Centroid centroid = centroidLine(row.profile, row.length, row.cursor, row.width);
    EXPECT_EQ(centroid.status, row.status);
    EXPECT_FLOAT_EQ(centroid.pixel, row.pixel);
  }
  EXPECT_EQ(rows.size(), 14U);
}

// A symmetric triangle 100 - 10 |i - 50| above a level of 5 gives its peak column exactly for
// every width: the window and its two background columns are symmetric about it.
TEST(CentroidLine, EveryWidthFindsASymmetricLineAtItsPeak) {
  ProfileArray profile = profileWith(5, 100, {});
  for (int column = 41; column <= 59; ++column) {
    profile.set(column, 105 - 10 * std::abs(column - 50));
  }
  int checked = 0;
  for (const int16_t width : std::vector<int16_t>{3, 5, 7, 9, 11, 13}) {
    SCOPED_TRACE(width);
    const Centroid centroid = centroidLine(profile, 100, 50, width);
    EXPECT_EQ(centroid.status, CentroidStatus::Ok);
    EXPECT_EQ(centroid.pixel, 50.0f);
    ++checked;
  }
  EXPECT_EQ(checked, 6);
}

}  // namespace
}  // namespace halvic

#include "output/linear_resampling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string_view>
#include <vector>

namespace halvic {
namespace {

TEST(LinearGridOver, SpansTheSmallestToTheLargestPositionInAsManyPoints) {
  struct Row {
    std::string_view name;
    std::vector<double> positions;
    std::optional<LinearGrid> grid;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<Row> rows{
      {"ascending, uneven", {1.0, 2.0, 4.0}, LinearGrid{1.0, 1.5, 3}},
      {"descending, as the wavelength falls along the columns",
       {7400.0, 7396.0, 7391.0, 7388.0},
       LinearGrid{7388.0, 4.0, 4}},
      {"two positions", {5.0, 3.0}, LinearGrid{3.0, 2.0, 2}},
      {"one position", {5.0}, std::nullopt},
      {"none", {}, std::nullopt},
      {"turning back", {1.0, 3.0, 2.0}, std::nullopt},
      {"standing still", {1.0, 1.0, 2.0}, std::nullopt},
      {"not a number", {1.0, nan, 2.0}, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::optional<LinearGrid> grid = linearGridOver(row.positions);
    ASSERT_EQ(grid.has_value(), row.grid.has_value());
    if (grid) {
      EXPECT_EQ(grid->start, row.grid->start);
      EXPECT_EQ(grid->step, row.grid->step);
      EXPECT_EQ(grid->count, row.grid->count);
    }
  }
}

// Interpolated by hand: between (2, 10) and (4, 30) the point 2.5 lies a quarter of the way, so
// 15; 1/3 of the way from 0 to 1 is the float nearest 1/3.
TEST(ResampleLinearly, InterpolatesBetweenNeighboursAndHoldsTheEnds) {
  struct Row {
    std::string_view name;
    std::vector<double> positions;
    std::vector<double> values;
    LinearGrid grid;
    std::vector<float> expected;
  };
  const std::vector<Row> rows{
      {"ascending", {1, 2, 4}, {0, 10, 30}, {1.0, 1.5, 3}, {0.0f, 15.0f, 30.0f}},
      {"descending gives the same", {4, 2, 1}, {30, 10, 0}, {1.0, 1.5, 3}, {0.0f, 15.0f, 30.0f}},
      {"points on the positions", {1, 2, 4}, {0, 10, 30}, {2.0, 2.0, 2}, {10.0f, 30.0f}},
      {"beyond both ends", {1, 2, 4}, {0, 10, 30}, {0.0, 2.5, 3}, {0.0f, 15.0f, 30.0f}},
      {"rounded once to a float", {0, 3}, {0, 1}, {1.0, 1.0, 1}, {1.0f / 3.0f}},
      {"a negative slope", {0, 10}, {50, -50}, {2.5, 5.0, 2}, {25.0f, -25.0f}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(resampleLinearly(row.positions, row.values, row.grid), row.expected);
  }
}

}  // namespace
}  // namespace halvic

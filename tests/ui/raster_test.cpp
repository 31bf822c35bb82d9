#include "ui/raster.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace halvic::ui {
namespace {

std::vector<std::pair<int, int>> redPixels(const Raster& raster) {
  std::vector<std::pair<int, int>> found;
  for (int y = 0; y < raster.height(); ++y) {
    for (int x = 0; x < raster.width(); ++x) {
      if (raster.pixel(x, y) == kRed) {
        found.emplace_back(x, y);
      }
    }
  }
  return found;
}

TEST(RasterTest, LinesIncludeBothEndsAndAreClippedAtTheEdges) {
  struct Row {
    int x1, y1, x2, y2;
    std::vector<std::pair<int, int>> expected;
  };
  const std::vector<Row> rows{
      {1, 1, 3, 1, {{1, 1}, {2, 1}, {3, 1}}}, {2, 3, 2, 1, {{2, 1}, {2, 2}, {2, 3}}},
      {0, 0, 2, 2, {{0, 0}, {1, 1}, {2, 2}}}, {3, 3, 3, 3, {{3, 3}}},
      {-2, 0, 1, 0, {{0, 0}, {1, 0}}},        {3, 4, 3, 9, {{3, 4}}},
  };
  int checked = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.x1) + "," + std::to_string(row.y1));
    Raster raster(5, 5, kWindowGrey);
    raster.line(row.x1, row.y1, row.x2, row.y2, kRed);
    EXPECT_EQ(redPixels(raster), row.expected);
    ++checked;
  }
  EXPECT_EQ(checked, 6);
}

TEST(RasterTest, ClearPaintsTheBackgroundAndEveryChangeIsReported) {
  Raster raster(4, 3, kWindowGrey);
  int changes = 0;
  raster.setChangeListener([&] { ++changes; });
  raster.plot(1, 1, kRed);
  raster.plot(10, 10, kRed);  // outside: nothing drawn
  EXPECT_EQ(raster.pixel(1, 1), kRed);
  raster.clear();
  EXPECT_EQ(raster.pixel(1, 1), kWindowGrey);
  EXPECT_EQ(raster.pixel(-1, 0), kWindowGrey);
  EXPECT_EQ(changes, 3);
}

}  // namespace
}  // namespace halvic::ui

#include "spectrum/graph_rendering.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "ui/colour.h"

namespace halvic {
namespace {

// Taller than the real 258 x 110 surface so that the bottom of the scale (y = 110) is visible.
constexpr int kTestWidth = 300;
constexpr int kTestHeight = 130;
constexpr int32_t kLowest = std::numeric_limits<int32_t>::min();
constexpr int32_t kHighest = std::numeric_limits<int32_t>::max();

ProfileArray profileOf(const std::function<int32_t(int)>& valueOf) {
  ProfileArray profile;
  for (int column = 1; column <= kProfileColumns; ++column) {
    profile.set(column, valueOf(column));
  }
  return profile;
}

/**
 * Where the 64 vertices of the polyline stand: column cursor - 31 at x 5, four units a column,
 * the cursor's column at x 129, column cursor + 32 at x 257.
 */
constexpr std::array<int, 64> kVertexX{
    5,   9,   13,  17,  21,  25,  29,  33,  37,  41,  45,  49,  53,  57,  61,  65,
    69,  73,  77,  81,  85,  89,  93,  97,  101, 105, 109, 113, 117, 121, 125, 129,
    133, 137, 141, 145, 149, 153, 157, 161, 165, 169, 173, 177, 181, 185, 189, 193,
    197, 201, 205, 209, 213, 217, 221, 225, 229, 233, 237, 241, 245, 249, 253, 257,
};

/** The picture the graph should show, drawn from hand-derived vertex heights. */
ui::Raster expectedGraph(int centre, int firstY, const std::function<int(int)>& yOfColumn,
                         std::array<int, 4> windowX) {
  ui::Raster graph(kTestWidth, kTestHeight, ui::kWindowGrey);
  int previousX = 1;
  int previousY = firstY;
  int column = centre - 31;
  for (const int x : kVertexX) {
    const int y = yOfColumn(column++);
    graph.line(previousX, previousY, x, y, ui::kRed);
    previousX = x;
    previousY = y;
  }
  graph.line(windowX[0], 1, windowX[1], 109, ui::kGreen);
  graph.line(windowX[2], 1, windowX[3], 109, ui::kGreen);
  return graph;
}

/** Empty when both pictures agree, else where they first differ. */
std::string firstDifference(const ui::Raster& actual, const ui::Raster& expected) {
  for (int y = 0; y < expected.height(); ++y) {
    for (int x = 0; x < expected.width(); ++x) {
      const ui::Rgb got = actual.pixel(x, y);
      const ui::Rgb want = expected.pixel(x, y);
      if (!(got == want)) {
        std::ostringstream text;
        text << "(" << x << ", " << y << ") is " << int{got.red} << "," << int{got.green} << ","
             << int{got.blue} << " instead of " << int{want.red} << "," << int{want.green} << ","
             << int{want.blue};
        return text.str();
      }
    }
  }
  return "";
}

int cycle(int column, std::initializer_list<int32_t> values) {
  return static_cast<int>(values.begin()[column % static_cast<int>(values.size())]);
}

// Profiles whose heights come out whole on the scale they are drawn with.
int32_t rampBy101(int column) { return 20 + 2 * (column % 101); }  // linear 20..220: s = i % 101
int yOfRamp101(int column) { return 110 - column % 101; }
int32_t rampBy51(int column) { return 1000 + 8 * (column % 51); }  // range 1000..1400: s = 2j
int yOfRamp51(int column) { return 110 - 2 * (column % 51); }
int32_t decades(int column) { return cycle(column, {0, 90, 990, 9990, 99990, 999990}); }
int yOfDecades(int column) { return cycle(column, {90, 70, 50, 30, 10, 10}); }
int yOfEighths(int column) { return cycle(column, {110, 110, 109, 108, 108, 108, 107, 106}); }
int32_t extremes(int column) { return cycle(column, {0, kHighest, kLowest}); }
int yOfLinearExtremes(int column) { return cycle(column, {60, 10, 110}); }
int32_t pushedCounts(int column) { return cycle(column, {100, 1124, 10000, 3000, 612}); }
int yOfPushedCounts(int column) { return cycle(column, {110, 60, 10, 10, 85}); }

// The range of the stretch 733..763 is set by columns 733 and 734; 764 and 765 are far brighter
// and 766 on would be mid-scale if they were drawn with their values.
int32_t brightEnd(int column) {
  if (column == 733) {
    return 1000;
  }
  if (column == 734) {
    return 1400;
  }
  if (column == 764 || column == 765) {
    return 100000;
  }
  return column > 765 ? 1200 : rampBy51(column);
}
int yOfBrightEnd(int column) {
  if (column == 734 || column == 764 || column == 765) {
    return 10;
  }
  return column == 733 || column > 765 ? 110 : yOfRamp51(column);
}

// Near column 1 the range 1000..1400 comes from columns 1 and 2; profileMin 0 is far away.
int32_t rangeAtStart(int column) {
  if (column == 1 || column == 2) {
    return column == 1 ? 1000 : 1400;
  }
  return column == 700 ? 0 : rampBy51(column);
}
int yOfRangeAtStart(int column) {
  if (column < 2) {
    return 110;
  }
  return column == 2 ? 10 : yOfRamp51(column);
}

TEST(DrawGraph, PolylineVerticesOnEachScale) {
  struct Row {
    const char* name;
    GraphScale scale;
    std::function<int32_t(int)> valueOf;
    int16_t length;
    int32_t max;
    int32_t min;
    int16_t cursor;
    int centre;  // the column drawn at x = 129
    int firstY;
    std::function<int(int)> yOfColumn;
  };
  const std::vector<Row> rows = {
      {"linear, start point from column k - 32", GraphScale::Linear, rampBy101, 765, 220, 20, 400,
       400, 45, yOfRamp101},
      {"linear, halves round to the even pixel", GraphScale::Linear, [](int i) { return i % 8; },
       765, 200, 0, 100, 100, 108, yOfEighths},
      {"linear near column 1: start at profileMin, columns below 1 at the bottom",
       GraphScale::Linear, rampBy101, 765, 220, 20, 10, 10, 110,
       [](int i) { return i < 1 ? 110 : yOfRamp101(i); }},
      {"linear at column 765: columns from 766 at the bottom", GraphScale::Linear, rampBy101, 768,
       220, 20, 765, 765, 84, [](int i) { return i > 765 ? 110 : yOfRamp101(i); }},
      {"linear, flat profile at the bottom", GraphScale::Linear, [](int) { return 500; }, 765, 500,
       500, 300, 300, 110, [](int) { return 110; }},
      {"linear, empty profile at the bottom", GraphScale::Linear, [](int) { return 0; }, 0, 0,
       1310720, 50, 0, 110, [](int) { return 110; }},
      {"linear, 32-bit extremes", GraphScale::Linear, extremes, 765, kHighest, kLowest, 300, 300,
       10, yOfLinearExtremes},
      {"log, 20 per decade, start point unclamped", GraphScale::Log, decades, 765, 999990, 0, 301,
       301, -10, yOfDecades},
      {"log near column 1: profileMin at y 90", GraphScale::Log,
       [](int i) { return 1000 + decades(i); }, 765, 1000990, 1000, 10, 10, 90,
       [](int i) { return i < 1 ? 110 : yOfDecades(i); }},
      {"log, values without a logarithm at the bottom", GraphScale::Log,
       [](int i) { return i <= 300 ? 1000 + decades(i) : (i % 2 == 0 ? 0 : 990); }, 300, 1000990,
       1000, 300, 300, 10, [](int i) { return i > 300 ? 110 : yOfDecades(i); }},
      {"autoscaled, the stretch fills the box", GraphScale::Autoscaled, rampBy51, 765, 1400, 1000,
       300, 300, 84, yOfRamp51},
      {"autoscaled near column 1: start point below the box", GraphScale::Autoscaled, rangeAtStart,
       765, 1400, 0, 10, 10, 360, yOfRangeAtStart},
      {"autoscaled, a span under 256 widened", GraphScale::Autoscaled,
       [](int i) { return i == 300 ? 1128 : 1000; }, 765, 1128, 1000, 300, 300, 110,
       [](int i) { return i == 300 ? 60 : 110; }},
      {"autoscaled, columns 764 and 765 drawn but not ranged", GraphScale::Autoscaled, brightEnd,
       768, 100000, 1000, 765, 765, 110, yOfBrightEnd},
      {"autoscaled, 32-bit extremes", GraphScale::Autoscaled,
       [](int i) { return i % 2 == 0 ? kLowest : kHighest; }, 765, kHighest, kLowest, 300, 300, 110,
       [](int i) { return i % 2 == 0 ? 110 : 10; }},
      {"autoscaled, empty profile: start point far above", GraphScale::Autoscaled,
       [](int) { return 0; }, 0, 0, 1310720, 5, 0, -10000, [](int) { return 110; }},
      {"pushed, span capped at 2048", GraphScale::Pushed, pushedCounts, 765, 10000, 100, 300, 300,
       -32, yOfPushedCounts},
      {"pushed, a span under 2048 as autoscaled", GraphScale::Pushed, rampBy51, 765, 1400, 1000,
       300, 300, 84, yOfRamp51},
      {"cursor beyond the profile drawn at its last column", GraphScale::Autoscaled, rampBy51, 300,
       1400, 1000, 900, 300, 84, yOfRamp51},
      {"cursor below 1 drawn at column 1", GraphScale::Linear, rampBy101, 765, 220, 20, -5, 1, 110,
       [](int i) { return i < 1 ? 110 : yOfRamp101(i); }},
  };
  int checked = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ProfileArray profile = profileOf(row.valueOf);
    ui::Raster graph(kTestWidth, kTestHeight, ui::kWindowGrey);
    drawGraph(graph, {profile, row.length, row.max, row.min, row.cursor, 5, row.scale});

    int column = row.centre - 31;
    for (const int x : kVertexX) {
      const ui::Rgb vertex = graph.pixel(x, row.yOfColumn(column));
      EXPECT_TRUE(vertex == ui::kRed || vertex == ui::kGreen) << "vertex of column " << column;
      ++column;
    }
    EXPECT_EQ(firstDifference(graph, expectedGraph(row.centre, row.firstY, row.yOfColumn,
                                                   {117, 118, 141, 143})),
              "");
    ++checked;
  }
  EXPECT_EQ(checked, 20);
}

TEST(DrawGraph, CentroidWindowLinesStandOneColumnOutside) {
  struct Row {
    int16_t centroidWidth;
    std::array<int, 4> windowX;  // left top, left bottom, right top, right bottom
  };
  const std::vector<Row> rows = {
      {3, {121, 122, 137, 139}},
      {5, {117, 118, 141, 143}},
      {13, {101, 102, 157, 159}},
  };
  const ProfileArray profile;
  int checked = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << "width " << row.centroidWidth);
    ui::Raster graph(kTestWidth, kTestHeight, ui::kWindowGrey);
    drawGraph(graph, {profile, 765, 100, 0, 400, row.centroidWidth, GraphScale::Linear});
    EXPECT_EQ(graph.pixel(row.windowX[0], 1), ui::kGreen);
    EXPECT_EQ(graph.pixel(row.windowX[1], 109), ui::kGreen);
    EXPECT_EQ(graph.pixel(row.windowX[2], 1), ui::kGreen);
    EXPECT_EQ(graph.pixel(row.windowX[3], 109), ui::kGreen);
    EXPECT_EQ(firstDifference(graph, expectedGraph(
                                         400, 110, [](int) { return 110; }, row.windowX)),
              "");
    ++checked;
  }
  EXPECT_EQ(checked, 3);
}

TEST(DrawGraph, ClearsTheRealSurfaceAndClipsAtItsEdges) {
  const ProfileArray profile = profileOf(rampBy51);
  ui::Raster graph(258, 110, ui::kWindowGrey);
  graph.plot(50, 50, ui::kBlack);
  drawGraph(graph, {profile, 765, 1400, 1000, 300, 5, GraphScale::Autoscaled});
  EXPECT_EQ(graph.pixel(50, 50), ui::kWindowGrey);
  EXPECT_EQ(graph.pixel(129, yOfRamp51(300)), ui::kRed);
  EXPECT_EQ(graph.pixel(257, yOfRamp51(332)), ui::kRed);
  EXPECT_EQ(graph.pixel(0, 0), ui::kWindowGrey);
}

}  // namespace
}  // namespace halvic

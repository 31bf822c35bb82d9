#include "ui/raster.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace halvic::ui {

// Found by the test framework through the type's namespace, so that failures show rectangles.
void PrintTo(const Rect& rect, std::ostream* out) {
  *out << "{" << rect.x << ", " << rect.y << ", " << rect.width << ", " << rect.height << "}";
}

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

TEST(RasterTest, ClearPaintsTheBackground) {
  Raster raster(4, 3, kWindowGrey);
  raster.plot(1, 1, kRed);
  EXPECT_EQ(raster.pixel(1, 1), kRed);
  raster.clear();
  EXPECT_EQ(raster.pixel(1, 1), kWindowGrey);
  EXPECT_EQ(raster.pixel(-1, 0), kWindowGrey);
}

/** One way of drawing on a 10 x 8 surface, and the rectangles its listener must receive. */
struct ReportRow {
  std::string name;
  std::function<void(Raster&)> draw;
  std::vector<Rect> expected;
};

/** Runs every row on a fresh 10 x 8 surface and returns how many rows were checked. */
int checkReports(const std::vector<ReportRow>& rows) {
  int checked = 0;
  for (const ReportRow& row : rows) {
    SCOPED_TRACE(row.name);
    Raster raster(10, 8, kWindowGrey);
    std::vector<Rect> reported;
    raster.setChangeListener([&reported](const Rect& changed) { reported.push_back(changed); });
    row.draw(raster);
    EXPECT_EQ(reported, row.expected);
    ++checked;
  }
  return checked;
}

TEST(RasterTest, EachDrawingReportsTheRectangleItChangedClippedToTheSurface) {
  const std::vector<ReportRow> rows{
      {"plot", [](Raster& r) { r.plot(3, 4, kRed); }, {{3, 4, 1, 1}}},
      {"plot at the last pixel", [](Raster& r) { r.plot(9, 7, kRed); }, {{9, 7, 1, 1}}},
      {"plot right of the surface", [](Raster& r) { r.plot(10, 2, kRed); }, {}},
      {"plot above the surface", [](Raster& r) { r.plot(2, -1, kRed); }, {}},
      {"line up and to the left", [](Raster& r) { r.line(6, 5, 2, 1, kRed); }, {{2, 1, 5, 5}}},
      {"horizontal line", [](Raster& r) { r.line(1, 7, 8, 7, kRed); }, {{1, 7, 8, 1}}},
      {"vertical line", [](Raster& r) { r.line(0, 6, 0, 2, kRed); }, {{0, 2, 1, 5}}},
      {"one-point line", [](Raster& r) { r.line(4, 4, 4, 4, kRed); }, {{4, 4, 1, 1}}},
      {"line out across two edges", [](Raster& r) { r.line(-3, 2, 4, 9, kRed); }, {{0, 2, 5, 6}}},
      {"line wholly outside", [](Raster& r) { r.line(12, 0, 20, 3, kRed); }, {}},
      {"line beyond both sides", [](Raster& r) { r.line(-5, 3, 15, 3, kRed); }, {{0, 3, 10, 1}}},
      {"clear", [](Raster& r) { r.clear(); }, {{0, 0, 10, 8}}},
      {"two plots, two reports",
       [](Raster& r) {
         r.plot(1, 1, kRed);
         r.plot(2, 5, kRed);
       },
       {{1, 1, 1, 1}, {2, 5, 1, 1}}},
  };
  EXPECT_EQ(checkReports(rows), 13);
}

TEST(RasterTest, ABatchReportsOnceTheRectangleHoldingAllItsChanges) {
  const std::vector<ReportRow> rows{
      {"two plots",
       [](Raster& r) {
         const RasterBatch batch(r);
         r.plot(1, 1, kRed);
         r.plot(5, 3, kRed);
       },
       {{1, 1, 5, 3}}},
      {"plot and line",
       [](Raster& r) {
         const RasterBatch batch(r);
         r.plot(8, 7, kRed);
         r.line(3, 5, 2, 2, kRed);
       },
       {{2, 2, 7, 6}}},
      {"a plot inside a clear",
       [](Raster& r) {
         const RasterBatch batch(r);
         r.clear();
         r.plot(4, 4, kRed);
       },
       {{0, 0, 10, 8}}},
      {"nothing drawn", [](Raster& r) { const RasterBatch batch(r); }, {}},
      {"only outside the surface",
       [](Raster& r) {
         const RasterBatch batch(r);
         r.plot(-1, -1, kRed);
         r.line(10, 0, 12, 7, kRed);
       },
       {}},
      {"nested: only the outermost batch reports",
       [](Raster& r) {
         const RasterBatch outer(r);
         r.plot(1, 1, kRed);
         {
           const RasterBatch inner(r);
           r.plot(2, 2, kRed);
         }
         r.plot(3, 6, kRed);
       },
       {{1, 1, 3, 6}}},
      {"two batches in a row",
       [](Raster& r) {
         {
           const RasterBatch first(r);
           r.plot(0, 0, kRed);
         }
         const RasterBatch second(r);
         r.plot(9, 7, kRed);
       },
       {{0, 0, 1, 1}, {9, 7, 1, 1}}},
      {"after a batch each change reports again",
       [](Raster& r) {
         {
           const RasterBatch batch(r);
           r.plot(0, 0, kRed);
           r.plot(1, 0, kRed);
         }
         r.plot(5, 5, kRed);
       },
       {{0, 0, 2, 1}, {5, 5, 1, 1}}},
  };
  EXPECT_EQ(checkReports(rows), 8);
}

TEST(RasterTest, AListenerSetInsideABatchHearsOfTheWholeSurface) {
  Raster raster(10, 8, kWindowGrey);
  std::vector<Rect> reported;
  {
    const RasterBatch batch(raster);
    raster.plot(1, 1, kRed);  // nobody listens yet, so nothing is tracked
    raster.setChangeListener([&reported](const Rect& changed) { reported.push_back(changed); });
    raster.plot(2, 2, kRed);
  }
  EXPECT_EQ(reported, (std::vector<Rect>{{0, 0, 10, 8}}));
}

TEST(RasterTest, PixelsChangeAtOnceInsideABatch) {
  Raster raster(3, 3, kWindowGrey);
  int reports = 0;
  raster.setChangeListener([&reports](const Rect&) { ++reports; });
  {
    const RasterBatch batch(raster);
    raster.plot(1, 2, kRed);
    EXPECT_EQ(raster.pixel(1, 2), kRed);
    EXPECT_EQ(reports, 0);
  }
  EXPECT_EQ(reports, 1);
}

}  // namespace
}  // namespace halvic::ui

// The residual plot: a scale that reads in round numbers, and points placed on it as the axes say.

#include "display/residual_plot.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace halvic {
namespace {

TEST(ResidualPlot, TheScaleIsTheNextRoundNumberAboveTheLargestResidual) {
  struct Row {
    std::string name;
    std::vector<double> residuals;
    double scale;
  };
  const std::vector<Row> rows{{"no lines", {}, 1e-3},
                              {"below the least scale", {0.0004, -0.0002}, 1e-3},
                              {"hundredths", {0.04, -0.01}, 0.05},
                              {"exactly round", {0.2}, 0.2},
                              {"a negative largest", {0.3, -1.6}, 2.0},
                              {"whole Angstroms", {3.0, -7.0}, 10.0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<ResidualPoint> points;
    for (const double residual : row.residuals) {
      points.push_back({6000.0, residual, false});
    }
    EXPECT_NEAR(residualScaleA(points), row.scale, 1e-12);
  }
}

/** The middle row of the pixels of a colour in a column band, if any. */
std::optional<double> middleRowOf(const ui::Raster& raster, int fromX, int toX, ui::Rgb colour) {
  int first = -1;
  int last = -1;
  for (int y = 0; y < raster.height(); ++y) {
    for (int x = fromX; x <= toX; ++x) {
      if (raster.pixel(x, y) == colour) {
        first = first < 0 ? y : first;
        last = y;
      }
    }
  }
  return first < 0 ? std::nullopt : std::optional<double>(0.5 * (first + last));
}

// Two lines half the scale above and below zero, at the strip's quarter and three quarters: each
// sits as far from the zero line as the other, on its own side, at its own wavelength.
TEST(ResidualPlot, PointsStandAboveAndBelowTheZeroLineByTheirResiduals) {
  ui::Raster raster(kResidualPlotWidth, kResidualPlotHeight, kResidualPlotBackground);
  const std::vector<ResidualPoint> points{
      {5250.0, 0.05, false}, {5750.0, -0.05, false}, {5500.0, 0.1, false}};
  drawResidualPlot(raster, points, ResidualAxes{5000.0, 6000.0, 0.5});
  const auto columnsOf = [&raster](int fromX, int toX) {
    return middleRowOf(raster, fromX, toX, kResidualMarkerColour);
  };
  std::optional<int> zeroRow;
  for (int y = 0; y < raster.height() && !zeroRow; ++y) {
    const int middle = kResidualPlotWidth / 2;
    bool across = true;
    for (int x = middle - 100; x <= middle + 100; x += 20) {
      across = across && raster.pixel(x, y) == ui::Rgb{0, 0, 0};
    }
    zeroRow = across ? std::optional(y) : std::nullopt;
  }
  ASSERT_TRUE(zeroRow.has_value()) << "no black zero line across the frame";
  const std::optional<double> above = columnsOf(0, kResidualPlotWidth / 2 - 40);
  const std::optional<double> below =
      columnsOf(kResidualPlotWidth / 2 + 40, kResidualPlotWidth - 1);
  const std::optional<double> top =
      columnsOf(kResidualPlotWidth / 2 - 20, kResidualPlotWidth / 2 + 20);
  ASSERT_TRUE(above && below && top);
  EXPECT_LT(*above, *zeroRow);
  EXPECT_GT(*below, *zeroRow);
  EXPECT_NEAR(*zeroRow - *above, *below - *zeroRow, 1.0);
  EXPECT_NEAR(*zeroRow - *top, 2.0 * (*zeroRow - *above), 1.5) << "the scale is linear";
}

}  // namespace
}  // namespace halvic

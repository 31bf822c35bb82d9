#include "display/residual_plot.h"

#include <algorithm>
#include <cmath>

namespace halvic {

namespace {

constexpr int kCrossArm = 2;
constexpr int kMarkedHalfSide = 4;

/** Position of value in [low, high] on pixels first..last; the middle when the span is empty. */
int scaled(double value, double low, double high, int first, int last) {
  if (!(high > low)) {
    return (first + last) / 2;
  }
  const double share = (value - low) / (high - low);
  return first + static_cast<int>(std::lround(share * (last - first)));
}

void drawCross(ui::Raster& raster, int x, int y) {
  raster.line(x - kCrossArm, y, x + kCrossArm, y, kResidualMarkerColour);
  raster.line(x, y - kCrossArm, x, y + kCrossArm, kResidualMarkerColour);
}

void drawSquare(ui::Raster& raster, int x, int y) {
  const int h = kMarkedHalfSide;
  raster.line(x - h, y - h, x + h, y - h, ui::kRed);
  raster.line(x + h, y - h, x + h, y + h, ui::kRed);
  raster.line(x + h, y + h, x - h, y + h, ui::kRed);
  raster.line(x - h, y + h, x - h, y - h, ui::kRed);
}

}  // namespace

void drawResidualPlot(ui::Raster& raster, std::span<const ResidualPoint> points) {
  raster.clear();
  const int left = kResidualPlotMargin;
  const int right = raster.width() - 1 - kResidualPlotMargin;
  const int top = kResidualPlotMargin;
  const int bottom = raster.height() - 1 - kResidualPlotMargin;
  const int zeroY = (top + bottom) / 2;
  raster.line(0, zeroY, raster.width() - 1, zeroY, ui::kBlack);
  if (points.empty()) {
    return;
  }
  double lowest = points.front().wavelength;
  double highest = lowest;
  double largest = 0.0;
  for (const ResidualPoint& point : points) {
    lowest = std::min(lowest, point.wavelength);
    highest = std::max(highest, point.wavelength);
    largest = std::max(largest, std::fabs(point.residualA));
  }
  for (const ResidualPoint& point : points) {
    const int x = scaled(point.wavelength, lowest, highest, left, right);
    // Up is positive: the top row stands for +largest.
    const int y = largest > 0.0 ? scaled(-point.residualA, -largest, largest, top, bottom) : zeroY;
    drawCross(raster, x, y);
    if (point.marked) {
      drawSquare(raster, x, y);
    }
  }
}

}  // namespace halvic

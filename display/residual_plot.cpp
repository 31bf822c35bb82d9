#include "display/residual_plot.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "display/raster_text.h"
#include "ui/number_format.h"

namespace halvic {

namespace {

constexpr int kCrossArm = 2;
constexpr int kMarkedHalfSide = 4;
constexpr int kTick = 3;
/** The frame's distance from the raster's edges: room for the labels. */
constexpr int kLeftRoom = 52;
constexpr int kRightRoom = 48;
constexpr int kTopRoom = 14;
constexpr int kBottomRoom = 24;
constexpr double kSmallestScaleA = 1e-3;
/** About this many wavelength ticks fit along the bottom. */
constexpr int kWavelengthTicks = 6;

struct Frame {
  int left;
  int right;
  int top;
  int bottom;
  int zeroY() const { return (top + bottom) / 2; }
};

int scaled(double value, double low, double high, int first, int last) {
  if (!(high > low)) {
    return (first + last) / 2;
  }
  const double share = (value - low) / (high - low);
  return first + static_cast<int>(std::lround(share * (last - first)));
}

/** The smallest of 1, 2 and 5 times a power of ten at least value. */
double roundUp(double value) {
  const double power = std::pow(10.0, std::floor(std::log10(value)));
  for (const double step : {1.0, 2.0, 5.0, 10.0}) {
    if (step * power >= value * (1.0 - 1e-12)) {
      return step * power;
    }
  }
  return 10.0 * power;
}

/** A tick value as few digits as its step needs. */
std::string tickText(double value, double step) {
  const int decimals = std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
  std::string pattern = "0";
  if (decimals > 0) {
    pattern.push_back('.');
    pattern.append(static_cast<size_t>(decimals), '0');
  }
  const double shown = std::fabs(value) < step * 1e-6 ? 0.0 : value;
  return ui::formatNumber(shown, pattern);
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

void drawFrame(ui::Raster& raster, const Frame& frame) {
  raster.line(frame.left, frame.top, frame.right, frame.top, ui::kBlack);
  raster.line(frame.right, frame.top, frame.right, frame.bottom, ui::kBlack);
  raster.line(frame.right, frame.bottom, frame.left, frame.bottom, ui::kBlack);
  raster.line(frame.left, frame.bottom, frame.left, frame.top, ui::kBlack);
}

/** Ticks at -scale, -scale/2, 0, scale/2 and scale: Angstroms on the left, pixels on the right. */
void drawResidualAxis(ui::Raster& raster, const Frame& frame, double scaleA,
                      double angstromsPerPixel) {
  const double step = scaleA / 2.0;
  const double stepPx = angstromsPerPixel > 0.0 ? step / angstromsPerPixel : 0.0;
  const double pixelDigits = stepPx > 0.0 ? std::pow(10.0, std::floor(std::log10(stepPx)) - 1) : 1;
  for (int i = -2; i <= 2; ++i) {
    const int y = scaled(-i * step, -scaleA, scaleA, frame.top, frame.bottom);
    raster.line(frame.left - kTick, y, frame.left, y, ui::kBlack);
    raster.line(frame.right, y, frame.right + kTick, y, ui::kBlack);
    if (i != 0) {
      raster.line(frame.left + 1, y, frame.right - 1, y, kResidualGridColour);
    }
    const std::string angstroms = tickText(i * step, step);
    drawRasterText(raster, frame.left - kTick - 2 - rasterTextWidth(angstroms),
                   y - kGlyphHeight / 2, angstroms, ui::kBlack);
    if (stepPx > 0.0) {
      const std::string pixels = tickText(i * stepPx, pixelDigits * 10.0);
      drawRasterText(raster, frame.right + kTick + 2, y - kGlyphHeight / 2, pixels, ui::kBlack);
    }
  }
  drawRasterText(raster, 2, 2, "Residual (A)", ui::kBlack);
  drawRasterText(raster, raster.width() - 2 - rasterTextWidth("(px)"), 2, "(px)", ui::kBlack);
}

void drawWavelengthAxis(ui::Raster& raster, const Frame& frame, double fromA, double toA) {
  if (!(toA > fromA)) {
    return;
  }
  const double step = roundUp((toA - fromA) / kWavelengthTicks);
  for (double tick = std::ceil(fromA / step) * step; tick <= toA; tick += step) {
    const int x = scaled(tick, fromA, toA, frame.left, frame.right);
    raster.line(x, frame.bottom, x, frame.bottom + kTick, ui::kBlack);
    const std::string text = tickText(tick, step);
    drawRasterText(raster, x - rasterTextWidth(text) / 2, frame.bottom + kTick + 2, text,
                   ui::kBlack);
  }
  const std::string title = "Wavelength (A)";
  drawRasterText(raster, frame.right - rasterTextWidth(title), raster.height() - kGlyphHeight - 1,
                 title, ui::kBlack);
}

}  // namespace

double residualScaleA(std::span<const ResidualPoint> points) {
  double largest = 0.0;
  for (const ResidualPoint& point : points) {
    largest = std::max(largest, std::fabs(point.residualA));
  }
  return largest > kSmallestScaleA ? roundUp(largest) : kSmallestScaleA;
}

void drawResidualPlot(ui::Raster& raster, std::span<const ResidualPoint> points,
                      const ResidualAxes& axes) {
  ui::RasterBatch batch(raster);
  raster.clear();
  const Frame frame{kLeftRoom, raster.width() - 1 - kRightRoom, kTopRoom,
                    raster.height() - 1 - kBottomRoom};
  const double scaleA = residualScaleA(points);
  drawResidualAxis(raster, frame, scaleA, axes.angstromsPerPixel);
  drawWavelengthAxis(raster, frame, axes.fromA, axes.toA);
  drawFrame(raster, frame);
  raster.line(frame.left, frame.zeroY(), frame.right, frame.zeroY(), ui::kBlack);
  for (const ResidualPoint& point : points) {
    const int x = scaled(point.wavelength, axes.fromA, axes.toA, frame.left, frame.right);
    // Up is positive: the frame's top stands for +scale.
    const int y = scaled(-point.residualA, -scaleA, scaleA, frame.top, frame.bottom);
    drawCross(raster, x, y);
    if (point.marked) {
      drawSquare(raster, x, y);
    }
  }
}

}  // namespace halvic

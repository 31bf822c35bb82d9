#include "display/strip_rendering.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "ui/number_text.h"

namespace halvic {

namespace {

using GreyPalette = std::array<ui::Rgb, 256>;

GreyPalette greyPalette() {
  GreyPalette palette{};
  for (size_t i = 0; i < palette.size(); ++i) {
    const auto level = static_cast<uint8_t>(i);
    palette[i] = ui::Rgb{level, level, level};
  }
  return palette;
}

/** How raw counts become grey levels: grey = (counts * scale) \ divisor. */
struct GreyMapping {
  int64_t divisor = 1;
  int64_t scale = 1;
};

// A span narrower than 255 counts is stretched by 256 \ range instead of divided. A range of 0
// would divide by zero: it is taken as the narrowest span there is, so anything above the
// background shows white.
GreyMapping greyMapping(int64_t spanForDivisor, int32_t range) {
  GreyMapping mapping;
  mapping.divisor = spanForDivisor / 255;
  if (mapping.divisor < 1) {
    mapping.divisor = 1;
    mapping.scale = range == 0 ? 256 : 256 / range;
    if (mapping.scale < 1) {
      mapping.scale = 1;
    }
  }
  return mapping;
}

uint8_t greyLevel(int64_t counts, const GreyMapping& mapping) {
  return static_cast<uint8_t>(
      std::clamp<int64_t>(counts * mapping.scale / mapping.divisor, 0, 255));
}

int boundedWidth(int16_t width) { return std::clamp<int>(width, 0, kImageColumns); }

void drawRawView(ui::Raster& window, const StripInputs& strip, const GreyPalette& palette) {
  const GreyMapping mapping = greyMapping(strip.range, strip.range);
  const int left = static_cast<int>(strip.stripLeft);
  const int height = std::clamp<int>(strip.height, 0, kImageRows);
  const int width = boundedWidth(strip.width);
  for (int row = 1; row <= height; ++row) {
    for (int column = 1; column <= width; ++column) {
      const int64_t counts = int64_t{strip.image.at(column, row)} - strip.background;
      window.plot(left + column, strip.stripTop + row, palette[greyLevel(counts, mapping)]);
    }
  }
}

void drawExpandedView(ui::Raster& window, const StripInputs& strip, const GreyPalette& palette,
                      double& betaDeg) {
  const GreyMapping mapping = greyMapping(int64_t{20} * strip.range, strip.range);
  // The profile is a 20-row sum, so its sky level is 20 backgrounds; kept in 32 bits so that any
  // background works.
  const int32_t offset = strip.skySubtracted ? 0 : 20 * int32_t{strip.background};
  const int left = static_cast<int>(strip.stripLeft);
  const int width = boundedWidth(strip.width);
  for (int column = 1; column <= width; ++column) {
    const uint8_t grey = greyLevel(int64_t{strip.profile.at(column)} - offset, mapping);
    ui::Rgb colour = palette[grey];
    if (strip.calibration != nullptr) {
      const float lambda =
          pixelToWavelength(*strip.calibration, static_cast<int16_t>(column), betaDeg);
      colour = wavelengthColour(grey, lambda);
    }
    for (int row = 1; row <= kImageRows; ++row) {
      window.plot(left + column, strip.stripTop + row, colour);
    }
  }
}

uint8_t roundedChannel(double value) {
  return static_cast<uint8_t>(std::clamp(ui::roundHalfEven(value), 0.0, 255.0));
}

}  // namespace

ui::Rgb wavelengthColour(uint8_t grey, float lambda) {
  if (!std::isfinite(lambda)) {
    return ui::Rgb{grey, grey, grey};
  }
  if (lambda <= 4500.0f) {
    return ui::Rgb{0, 0, grey};
  }
  if (lambda > 6250.0f) {
    return ui::Rgb{grey, 0, 0};
  }
  const float f = (lambda - 4500.0f) / 1750.0f;
  const double g = grey;
  const uint8_t full = roundedChannel(g * 255.0 / 256.0);
  const auto part = [g](double w) { return roundedChannel(g * w * 1020.0 / 256.0); };
  if (f <= 0.25f) {
    return ui::Rgb{0, part(f), full};
  }
  if (f <= 0.5f) {
    return ui::Rgb{0, full, part(0.5 - double{f})};
  }
  if (f <= 0.75f) {
    return ui::Rgb{part(double{f} - 0.5), full, 0};
  }
  return ui::Rgb{full, part(1.0 - double{f}), 0};
}

void drawStrip(ui::Raster& window, const StripInputs& strip, double& betaDeg) {
  const ui::RasterBatch batch(window);
  const GreyPalette palette = greyPalette();
  if (strip.expanded) {
    drawExpandedView(window, strip, palette, betaDeg);
  } else {
    drawRawView(window, strip, palette);
  }
}

void drawCropMarkerLines(ui::Raster& window, int16_t cropRow1, int16_t cropRow2, ui::Place frame) {
  const int left = frame.x + 1;
  const int right = frame.x + frame.width - 2;
  const int firstY = frame.y - 1 + cropRow1;
  const int secondY = frame.y + 1 + cropRow2;
  window.line(left, firstY, right, firstY, ui::kRed);
  window.line(left, secondY, right, secondY, ui::kRed);
}

}  // namespace halvic

#include "spectrum/graph_rendering.h"

#include <algorithm>
#include <cmath>

#include "spectrum/profile_extraction.h"
#include "ui/colour.h"
#include "ui/number_text.h"

namespace halvic {

namespace {

constexpr int kCursorX = 129;
constexpr int kUnitsPerColumn = 4;
constexpr int kHalfStretch = 32;
constexpr int kZeroY = 110;
constexpr double kFullScale = 100;
constexpr int kLastDrawnColumn = 765;
constexpr int kLastRangedColumn = 763;
constexpr int64_t kSmallestSpan = 256;
constexpr int64_t kPushedSpan = 2048;
constexpr int kLogOffset = 10;
constexpr double kLogFactor = 20;
constexpr int kWindowTop = 1;
constexpr int kWindowBottom = 109;
// Far enough outside the surface that a clipped line keeps its visible slope, near enough to
// stay a small whole number.
constexpr double kFarOff = 10000;

/** Everything a scale needs to turn a profile value into a height 0 (bottom) .. 100 (top). */
struct Scale {
  GraphScale kind;
  int32_t profileMin;
  int32_t profileMax;
  int32_t low;  // autoscaled and pushed only
  float high;   // autoscaled and pushed only
};

int cursorColumn(const GraphInputs& inputs) {
  int column = inputs.cursorPixel;
  if (column < 1) {
    column = 1;
  }
  if (column > inputs.profileLength) {
    column = inputs.profileLength;
  }
  return column;
}

/** The extremes of the shown stretch, widened to 256 counts and, pushed, capped at 2048. */
Scale rangedScale(const GraphInputs& inputs, int cursor) {
  int32_t low = kEmptyProfileMin;  // the range scan starts where an extraction does
  float high = 0;
  const int first = std::max(cursor - kHalfStretch, 1);
  const int last = std::min(cursor + kHalfStretch, kLastRangedColumn);
  for (int column = first; column <= last; ++column) {
    const int32_t value = inputs.profile.at(column);
    if (static_cast<float>(value) > high) {
      high = static_cast<float>(value);
    }
    low = std::min(low, value);
  }
  if (static_cast<double>(high) - low < static_cast<double>(kSmallestSpan)) {
    high = static_cast<float>(int64_t{low} + kSmallestSpan);
  }
  if (inputs.scale == GraphScale::Pushed &&
      static_cast<double>(high) - low > static_cast<double>(kPushedSpan)) {
    high = static_cast<float>(int64_t{low} + kPushedSpan);
  }
  return {inputs.scale, inputs.profileMin, inputs.profileMax, low, high};
}

Scale scaleFor(const GraphInputs& inputs, int cursor) {
  if (inputs.scale == GraphScale::Autoscaled || inputs.scale == GraphScale::Pushed) {
    return rangedScale(inputs, cursor);
  }
  return {inputs.scale, inputs.profileMin, inputs.profileMax, 0, 0};
}

double linearHeight(const Scale& scale, int32_t value) {
  const int64_t span = int64_t{scale.profileMax} - scale.profileMin;
  if (span <= 0) {
    return 0;
  }
  const float above = static_cast<float>(int64_t{value} - scale.profileMin);
  return static_cast<double>(above * static_cast<float>(kFullScale) / static_cast<float>(span));
}

double logHeight(const Scale& scale, int32_t value) {
  const int64_t argument = int64_t{value} - scale.profileMin + kLogOffset;
  if (argument <= 0) {
    return 0;
  }
  return kLogFactor * std::log10(static_cast<double>(static_cast<float>(argument)));
}

double rangedHeight(const Scale& scale, int32_t value) {
  const double span = static_cast<double>(scale.high) - scale.low;
  if (span <= 0) {
    return 0;
  }
  return static_cast<double>(int64_t{value} - scale.low) * kFullScale / span;
}

/** The unclamped height of a value on the chosen scale. */
double heightOf(const Scale& scale, int32_t value) {
  switch (scale.kind) {
    case GraphScale::Linear:
      return linearHeight(scale, value);
    case GraphScale::Log:
      return logHeight(scale, value);
    case GraphScale::Autoscaled:
    case GraphScale::Pushed:
      return rangedHeight(scale, value);
  }
  return 0;
}

double columnHeight(const Scale& scale, const ProfileArray& profile, int column) {
  if (column < 1 || column > kLastDrawnColumn) {
    return 0;
  }
  return std::clamp(heightOf(scale, profile.at(column)), 0.0, kFullScale);
}

int yOf(double height) {
  if (std::isnan(height)) {
    height = 0;
  }
  const double y = std::clamp(kZeroY - height, -kFarOff, kFarOff);
  return static_cast<int>(ui::roundHalfEven(y));
}

void drawProfile(ui::Raster& graph, const GraphInputs& inputs, int cursor) {
  const Scale scale = scaleFor(inputs, cursor);
  const int32_t startValue =
      cursor > kHalfStretch ? inputs.profile.at(cursor - kHalfStretch) : inputs.profileMin;
  int previousX = 1;
  int previousY = yOf(heightOf(scale, startValue));
  for (int column = cursor - kHalfStretch + 1; column <= cursor + kHalfStretch; ++column) {
    const int x = kCursorX + kUnitsPerColumn * (column - cursor);
    const int y = yOf(columnHeight(scale, inputs.profile, column));
    graph.line(previousX, previousY, x, y, ui::kRed);
    previousX = x;
    previousY = y;
  }
}

/** One column beyond each side of a window of w columns centred on the cursor. */
void drawCentroidWindow(ui::Raster& graph, int16_t centroidWidth) {
  const int offset = 2 * (centroidWidth + 1);
  graph.line(kCursorX - offset, kWindowTop, kCursorX + 1 - offset, kWindowBottom, ui::kGreen);
  graph.line(kCursorX + offset, kWindowTop, kCursorX + 2 + offset, kWindowBottom, ui::kGreen);
}

}  // namespace

int columnAtGraphX(int x, const GraphInputs& inputs) {
  const double columnsFromCursor = static_cast<double>(x - kCursorX) / kUnitsPerColumn;
  return cursorColumn(inputs) + static_cast<int>(ui::roundHalfEven(columnsFromCursor));
}

void drawGraph(ui::Raster& graph, const GraphInputs& inputs) {
  const ui::RasterBatch batch(graph);
  graph.clear();
  const int cursor = cursorColumn(inputs);
  drawProfile(graph, inputs, cursor);
  drawCentroidWindow(graph, inputs.centroidWidth);
}

}  // namespace halvic

#include "output/graph_printout.h"

#include <cmath>
#include <limits>
#include <string>

#include "ui/number_format.h"
#include "ui/number_text.h"

namespace halvic {

namespace {

// The frame: a tenth of the page from the left and top edges, eight tenths of it wide and high;
// ticks a hundredth of the page height.
constexpr int64_t kMarginPercent = 10;
constexpr int64_t kPlotTenths = 8;
constexpr int64_t kTickDivisor = 100;

// The vertical scale: 11 rows, ticks 1 to 10 labelled 100 down to 10 (percent of the profile's
// range), the maximum on the tick labelled 100 so that the top edge stands for 110 percent.
constexpr int kScaleRows = 11;
constexpr int kScaleTicks = 10;
constexpr int kPercentPerRow = 10;
constexpr double kScaleHeadroom = 1.1;
constexpr std::string_view kZeroLabel = "0";

// The horizontal axis in pixels: 765 columns over the frame width, a tick every 50 pixels.
constexpr int kPlottedColumns = 765;
constexpr int kPixelLabelStep = 50;
constexpr int kPixelTicks = 15;
constexpr std::string_view kPixelAxisTitle = "Pixel Number";

// The horizontal axis in wavelength: 18 steps of 200 Angstroms over the frame width.
constexpr int kWavelengthLabelStep = 200;
constexpr int kWavelengthSteps = 18;
constexpr double kWavelengthSpan = kWavelengthLabelStep * kWavelengthSteps;
constexpr std::string_view kWavelengthAxisTitle = "Wavelength in Angstroms";

double whole(double value) { return ui::roundHalfEven(value); }

double asDouble(int64_t value) { return static_cast<double>(value); }

/**
 * The canvas with its rounding of text sizes, refusing any coordinate that is not finite: the
 * first such coordinate marks the page failed, and nothing is drawn after it.
 */
class Page {
 public:
  explicit Page(ui::PrinterCanvas& canvas) : canvas_(canvas) {}

  double textWidth(std::string_view text) const { return whole(canvas_.textWidth(text)); }
  double textHeight(std::string_view text) const { return whole(canvas_.textHeight(text)); }

  bool text(double x, double y, std::string_view text) {
    if (failed_ || !std::isfinite(x) || !std::isfinite(y)) {
      failed_ = true;
      return false;
    }
    canvas_.text(x, y, text);
    return true;
  }

  bool line(double x1, double y1, double x2, double y2) {
    if (failed_ || !std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) ||
        !std::isfinite(y2)) {
      failed_ = true;
      return false;
    }
    canvas_.line(x1, y1, x2, y2);
    return true;
  }

  /** Marks the page failed for a coordinate that could not be worked out. */
  bool fail() {
    failed_ = true;
    return false;
  }

  bool ok() const { return !failed_; }

 private:
  ui::PrinterCanvas& canvas_;
  bool failed_ = false;
};

/** The ticks and labels along the bottom edge, and where a curve column lies on them. */
struct HorizontalAxis {
  std::string_view title;
  float colStep = 0.0f;  // distance between ticks
  int lastTick = 0;      // ticks 1..lastTick inside the frame
  int lastLabel = 0;     // labels 0..lastLabel, one at each tick and at both edges
  int64_t firstValue = 0;
  int valueStep = 0;
  /** The left end of the axis in Angstroms; nullopt for the pixel axis. */
  std::optional<int64_t> startWavelength;
};

HorizontalAxis pixelAxis(const PrintoutGeometry& page) {
  return HorizontalAxis{
      .title = kPixelAxisTitle,
      .colStep = static_cast<float>(asDouble(page.plotW * kPixelLabelStep) / kPlottedColumns),
      .lastTick = kPixelTicks,
      .lastLabel = kPixelTicks,
      .firstValue = 0,
      .valueStep = kPixelLabelStep};
}

/**
 * The multiple of 200 Angstroms (towards zero) at or below the shorter of the model's wavelengths
 * at pixels 1 and 765, whichever way the calibration runs; nullopt when that wavelength is not a
 * 16-bit whole number.
 */
std::optional<int64_t> wavelengthAxisStart(const GratingModel& model) {
  double betaDeg = 0.0;
  const auto first = static_cast<float>(evaluateGratingModel(model, 1.0, betaDeg));
  const auto last = static_cast<float>(evaluateGratingModel(model, kPlottedColumns, betaDeg));
  const double shorter = whole(static_cast<double>(std::fmin(first, last)));
  if (!(shorter >= std::numeric_limits<int16_t>::min() &&
        shorter <= std::numeric_limits<int16_t>::max())) {
    return std::nullopt;  // also NaN
  }
  const auto start = static_cast<int64_t>(shorter);
  return start / kWavelengthLabelStep * kWavelengthLabelStep;
}

HorizontalAxis wavelengthAxis(const PrintoutGeometry& page, int64_t start) {
  return HorizontalAxis{.title = kWavelengthAxisTitle,
                        .colStep = static_cast<float>(asDouble(page.plotW) / kWavelengthSteps),
                        .lastTick = kWavelengthSteps - 1,
                        .lastLabel = kWavelengthSteps,
                        .firstValue = start,
                        .valueStep = kWavelengthLabelStep,
                        .startWavelength = start};
}

/** The x of tick k (label k at 0 and the last label on the edges), rounded. */
double tickX(const PrintoutGeometry& page, const HorizontalAxis& axis, int k) {
  return asDouble(page.left) + whole(static_cast<double>(static_cast<float>(k) * axis.colStep));
}

/** The y of scale tick k, counted from the top edge, rounded. */
double rowY(const PrintoutGeometry& page, int k) {
  return asDouble(page.top) + whole(static_cast<double>(static_cast<float>(k) * page.rowStep));
}

/** Text centred across the page. */
bool centredText(Page& out, const PrintoutGeometry& page, double y, std::string_view text) {
  return out.text(asDouble(page.pageWidth) / 2.0 - whole(out.textWidth(text) / 2.0), y, text);
}

/** Text whose right end is one tick length left of the frame. */
bool scaleText(Page& out, const PrintoutGeometry& page, double y, std::string_view text) {
  return out.text(asDouble(page.left - page.tick) - out.textWidth(text), y, text);
}

bool drawTitle(Page& out, const PrintoutGeometry& page, std::string_view title) {
  return centredText(out, page, asDouble(page.top) - 2.0 * out.textHeight(title), title);
}

bool drawAxisTitle(Page& out, const PrintoutGeometry& page, const HorizontalAxis& axis) {
  return centredText(
      out, page, asDouble(page.bottom + page.tick) + 2.0 * out.textHeight(axis.title), axis.title);
}

/** Ticks 1 to 10 on both vertical edges, pointing inwards. */
bool drawVerticalTicks(Page& out, const PrintoutGeometry& page) {
  const double left = asDouble(page.left);
  const double right = asDouble(page.left + page.plotW);
  const double tick = asDouble(page.tick);
  for (int k = 1; k <= kScaleTicks; ++k) {
    const double y = rowY(page, k);
    if (!out.line(left, y, left + tick, y) || !out.line(right, y, right - tick, y)) {
      return false;
    }
  }
  return true;
}

/** 100 at the top tick down to 10, each centred on its tick, then "0" on the bottom edge. */
bool drawScaleLabels(Page& out, const PrintoutGeometry& page) {
  for (int k = 1; k <= kScaleTicks; ++k) {
    const std::string label = ui::labelText((kScaleRows - k) * kPercentPerRow);
    if (!scaleText(out, page, rowY(page, k) - whole(out.textHeight(label) / 2.0), label)) {
      return false;
    }
  }
  return scaleText(out, page, asDouble(page.bottom) - out.textHeight(kZeroLabel), kZeroLabel);
}

/** Ticks along the bottom and top edges, pointing inwards, then the labels below the frame. */
bool drawHorizontalAxis(Page& out, const PrintoutGeometry& page, const HorizontalAxis& axis) {
  const double top = asDouble(page.top);
  const double bottom = asDouble(page.bottom);
  const double tick = asDouble(page.tick);
  for (int k = 1; k <= axis.lastTick; ++k) {
    const double x = tickX(page, axis, k);
    if (!out.line(x, bottom, x, bottom - tick) || !out.line(x, top + tick, x, top)) {
      return false;
    }
  }
  for (int k = 0; k <= axis.lastLabel; ++k) {
    const std::string label = ui::labelText(axis.firstValue + int64_t{k} * axis.valueStep);
    const double x = tickX(page, axis, k) - whole(out.textWidth(label) / 2.0);
    if (!out.text(x, bottom + tick, label)) {
      return false;
    }
  }
  return true;
}

bool drawFrame(Page& out, const PrintoutGeometry& page) {
  const double left = asDouble(page.left);
  const double right = asDouble(page.left + page.plotW);
  const double top = asDouble(page.top);
  const double bottom = asDouble(page.bottom);
  return out.line(left, top, left, bottom) && out.line(left, bottom, right, bottom) &&
         out.line(right, bottom, right, top) && out.line(right, top, left, top);
}

/** Where the curve places profile values and columns, before rounding. */
class CurvePlacement {
 public:
  CurvePlacement(const PrintoutGeometry& page, const GraphPrintoutInputs& inputs,
                 const HorizontalAxis& axis)
      : page_(page), inputs_(inputs), axis_(axis) {}

  double y(int column) const {
    const double value = asDouble(inputs_.profile.at(column));
    const double range = asDouble(int64_t{inputs_.profileMax} - inputs_.profileMin);
    return asDouble(page_.bottom) - (value - asDouble(inputs_.profileMin)) /
                                        (range * kScaleHeadroom) * asDouble(page_.plotH);
  }

  /** The x of a column; on the wavelength axis the model's point goes to lastEvaluated. */
  double x(int column) {
    if (!axis_.startWavelength || !inputs_.calibration) {
      return asDouble(page_.left) +
             asDouble(int64_t{column} * page_.plotW) / static_cast<double>(kPlottedColumns);
    }
    ModelPoint point;
    point.wavelength = evaluateGratingModel(*inputs_.calibration, column, point.betaDeg);
    lastEvaluated = point;
    return static_cast<double>(static_cast<float>(
        asDouble(page_.left) + (point.wavelength - asDouble(*axis_.startWavelength)) *
                                   asDouble(page_.plotW) / kWavelengthSpan));
  }

  std::optional<ModelPoint> lastEvaluated;

 private:
  const PrintoutGeometry& page_;
  const GraphPrintoutInputs& inputs_;
  const HorizontalAxis& axis_;
};

/** Columns 1 to 765 joined by lines, each cut at the frame; parts outside are not drawn. */
bool drawCurve(Page& out, const PrintoutGeometry& page, CurvePlacement& placement) {
  const double left = asDouble(page.left);
  const double right = asDouble(page.left + page.plotW);
  const double top = asDouble(page.top);
  const double bottom = asDouble(page.bottom);
  double previousX = placement.x(1);
  double previousY = placement.y(1);
  for (int column = 2; column <= kPlottedColumns; ++column) {
    const double x = placement.x(column);
    const double y = placement.y(column);
    if (!std::isfinite(previousX) || !std::isfinite(previousY) || !std::isfinite(x) ||
        !std::isfinite(y)) {
      return out.fail();
    }
    double x1 = previousX;
    double y1 = previousY;
    double x2 = x;
    double y2 = y;
    if (clipToRectangle(x1, y1, x2, y2, left, top, right, bottom) &&
        !out.line(whole(x1), whole(y1), whole(x2), whole(y2))) {
      return false;
    }
    previousX = x;
    previousY = y;
  }
  return true;
}

/**
 * "( N)": the value with its blank or minus sign, in parentheses. Appended piece by piece: GCC 12
 * at -O3 takes "(" + text for an overlapping copy (-Wrestrict).
 */
std::string extremeLabel(int32_t value) {
  std::string label = "(";
  label += ui::labelText(value);
  label += ')';
  return label;
}

/** The raw maximum just below the label 100 and the raw minimum just above "0". */
bool drawExtremeLabels(Page& out, const PrintoutGeometry& page, const GraphPrintoutInputs& inputs) {
  const std::string maximum = extremeLabel(inputs.profileMax);
  const std::string minimum = extremeLabel(inputs.profileMin);
  const double maximumHeight = out.textHeight(maximum);
  return scaleText(out, page, asDouble(page.top + page.plotH / kScaleRows) + maximumHeight / 2.0,
                   maximum) &&
         scaleText(out, page, asDouble(page.bottom) - 2.0 * maximumHeight, minimum);
}

}  // namespace

PrintoutGeometry printoutGeometry(int64_t pageWidth, int64_t pageHeight) {
  PrintoutGeometry page;
  page.pageWidth = pageWidth;
  page.pageHeight = pageHeight;
  page.left = pageWidth * kMarginPercent / 100;
  page.top = pageHeight * kMarginPercent / 100;
  page.plotW = pageWidth * kPlotTenths / 10;
  page.plotH = pageHeight * kPlotTenths / 10;
  page.tick = pageHeight / kTickDivisor;
  page.bottom = page.top + page.plotH;
  page.rowStep = static_cast<float>(asDouble(page.plotH) / kScaleRows);
  return page;
}

bool clipToRectangle(double& x1, double& y1, double& x2, double& y2, double left, double top,
                     double right, double bottom) {
  // Liang-Barsky: the segment is x1 + t dx, y1 + t dy for t in [0, 1]; each edge narrows t.
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  double enter = 0.0;
  double leave = 1.0;
  const auto narrow = [&enter, &leave](double towardsOutside, double room) {
    if (towardsOutside == 0.0) {
      return room >= 0.0;  // parallel to this edge: inside it or wholly outside
    }
    const double t = room / towardsOutside;
    if (towardsOutside < 0.0) {
      if (t > leave) {
        return false;
      }
      enter = std::fmax(enter, t);
    } else {
      if (t < enter) {
        return false;
      }
      leave = std::fmin(leave, t);
    }
    return true;
  };
  if (!(narrow(-dx, x1 - left) && narrow(dx, right - x1) && narrow(-dy, y1 - top) &&
        narrow(dy, bottom - y1))) {
    return false;
  }
  // Ends inside stay exactly where they were, not recomputed through t.
  const double startX = x1;
  const double startY = y1;
  if (leave < 1.0) {
    x2 = startX + leave * dx;
    y2 = startY + leave * dy;
  }
  if (enter > 0.0) {
    x1 = startX + enter * dx;
    y1 = startY + enter * dy;
  }
  return true;
}

GraphPrintout drawGraphPrintout(ui::PrinterCanvas& canvas, const GraphPrintoutInputs& inputs) {
  canvas.setLandscape();
  GraphPrintout result;
  if (inputs.profileMax == inputs.profileMin) {
    return result;  // no range to scale the curve to
  }
  const PrintoutGeometry page = printoutGeometry(canvas.pageWidth(), canvas.pageHeight());
  Page out(canvas);
  HorizontalAxis axis = pixelAxis(page);
  if (inputs.calibration) {
    const std::optional<int64_t> start = wavelengthAxisStart(*inputs.calibration);
    if (!start) {
      return result;
    }
    axis = wavelengthAxis(page, *start);
  }
  CurvePlacement placement(page, inputs, axis);
  result.drawn = drawTitle(out, page, inputs.title) && drawAxisTitle(out, page, axis) &&
                 drawVerticalTicks(out, page) && drawScaleLabels(out, page) &&
                 drawHorizontalAxis(out, page, axis) && drawFrame(out, page) &&
                 drawCurve(out, page, placement) && drawExtremeLabels(out, page, inputs);
  result.lastEvaluated = placement.lastEvaluated;
  return result;
}

}  // namespace halvic

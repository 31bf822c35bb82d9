#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "calibration/grating_model.h"
#include "output/model_point.h"
#include "spectrum/profile_array.h"
#include "ui/printer.h"

namespace halvic {

/** What the printed page of a profile is made from. */
struct GraphPrintoutInputs {
  /** Columns 1 to 765 are drawn, whatever the profile's length. */
  const ProfileArray& profile;
  /** The scale: profileMin on the frame's bottom edge, profileMax on the tick labelled 100. */
  int32_t profileMax = 0;
  int32_t profileMin = 0;
  /** The title line above the frame. */
  std::string_view title;
  /** The grating model when the system is calibrated (a wavelength axis); nullopt: pixels. */
  std::optional<GratingModel> calibration;
};

/** How a printout went. */
struct GraphPrintout {
  /** Whether the whole page was drawn; false when the scale or a coordinate cannot be worked. */
  bool drawn = false;
  /** The model's output at the last column the curve placed by wavelength; nullopt: none. */
  std::optional<ModelPoint> lastEvaluated;
};

/** The page's layout, worked out once from the page size the canvas reports. */
struct PrintoutGeometry {
  int64_t pageWidth = 0;
  int64_t pageHeight = 0;
  int64_t left = 0;    // x of the frame's left edge
  int64_t top = 0;     // y of the frame's top edge
  int64_t plotW = 0;   // frame width
  int64_t plotH = 0;   // frame height
  int64_t tick = 0;    // tick length, and the gap between a tick and its label
  int64_t bottom = 0;  // y of the frame's bottom edge
  float rowStep = 0.0f;
};

/**
 * The layout of a page of width by height units: the frame starts at a tenth of the page from the
 * left and the top and spans eight tenths of each; ticks are a hundredth of the height; the frame
 * height is divided into 11 rows. Whole numbers, divisions towards zero.
 */
PrintoutGeometry printoutGeometry(int64_t pageWidth, int64_t pageHeight);

/**
 * The segment from (x1, y1) to (x2, y2) cut to the rectangle [left, right] x [top, bottom], in
 * place; false when no part of it lies inside (the points are then left as they were). Ends
 * already inside stay exactly as they are.
 */
bool clipToRectangle(double& x1, double& y1, double& x2, double& y2, double left, double top,
                     double right, double bottom);

/**
 * Draws the graphed profile on one landscape page of canvas, in this order: the title, the axis
 * title, the vertical ticks on both edges, their labels 100 to 10 and "0", the horizontal ticks
 * along the bottom and top edges with their labels, the frame, the curve, and the profile's
 * maximum and minimum as "( N)" beside the scale. The horizontal axis is in pixels (0 to 765 over
 * the frame width) or, with a calibration, 3600 Angstroms from the multiple of 200 at or below
 * the shorter of the model's wavelengths at pixels 1 and 765. The curve is cut at the frame.
 *
 * The document is not ended: the caller ends it when drawn is true. drawn is false, with the page
 * left partly drawn, when the profile is flat (maximum equal to minimum), when the axis start
 * does not fit a 16-bit whole number, or when a coordinate would not be finite; nothing
 * non-finite reaches the canvas.
 */
GraphPrintout drawGraphPrintout(ui::PrinterCanvas& canvas, const GraphPrintoutInputs& inputs);

}  // namespace halvic

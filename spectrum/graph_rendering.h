#pragma once

#include <cstdint>

#include "spectrum/profile_array.h"
#include "ui/raster.h"

namespace halvic {

/** The vertical scale of the graph, one chosen at a time. */
enum class GraphScale { Linear, Log, Autoscaled, Pushed };

/** What one redraw of the graph reads; the profile is borrowed for the call only. */
struct GraphInputs {
  const ProfileArray& profile;
  int16_t profileLength;
  int32_t profileMax;
  int32_t profileMin;
  int16_t cursorPixel;
  int16_t centroidWidth;
  GraphScale scale;
};

/**
 * Clears the graph surface and draws the 65-column stretch around the cursor and the centroid
 * window lines.
 *
 * The cursor is clamped to 1..profileLength for drawing only (0 for an empty profile). The red
 * polyline starts at (1, 110 - S(start value)) and visits x = 129 + 4 (i - cursor) for the 64
 * columns cursor-31..cursor+32 at y = 110 - s, s the scaled value clamped to 0..100; columns
 * outside 1..765 lie at the bottom. A y is rounded to the nearest pixel, halves to even; the
 * unclamped start point is held within -10000..10000 and left to the surface to clip. Values
 * the scale cannot place (a linear range that is empty or reversed, a logarithm of zero or less)
 * lie at the bottom. Two green lines mark the centroid window (w + 1) / 2 columns either side of
 * the cursor. The surface reports the redraw as one change of the whole surface.
 */
void drawGraph(ui::Raster& graph, const GraphInputs& inputs);

/**
 * The profile column whose vertex lies nearest graph x in the graph drawGraph draws from inputs:
 * the drawn cursor column at x 129, four units a column (a half rounded to the even column).
 */
int columnAtGraphX(int x, const GraphInputs& inputs);

}  // namespace halvic

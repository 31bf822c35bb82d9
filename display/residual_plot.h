#pragma once

#include <span>

#include "ui/colour.h"
#include "ui/raster.h"

namespace halvic {

/** One line of a calibration check on the residual plot. */
struct ResidualPoint {
  double wavelength = 0.0;  // Angstroms
  double residualA = 0.0;   // measured minus listed wavelength
  bool marked = false;      // one of the two lines the calibration was marked on
};

inline constexpr int kResidualPlotWidth = 480;
inline constexpr int kResidualPlotHeight = 160;
/** Space kept free around the plotted area, in pixels. */
inline constexpr int kResidualPlotMargin = 8;
inline constexpr ui::Rgb kResidualPlotBackground{255, 255, 255};
inline constexpr ui::Rgb kResidualMarkerColour{0, 0, 160};

/**
 * Clears the raster and draws the residuals against wavelength: a black zero line across the
 * middle, a small cross a line, and a larger red square around each marked line. Wavelength runs
 * from the smallest to the largest of the points, left to right; the residual scale is symmetric,
 * its half-height the largest residual's size, up being positive. Nothing but the zero line is
 * drawn without points.
 */
void drawResidualPlot(ui::Raster& raster, std::span<const ResidualPoint> points);

}  // namespace halvic

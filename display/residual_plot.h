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

/** What the plot's axes span: the wavelengths of the strip and its step in Angstroms a column. */
struct ResidualAxes {
  double fromA = 0.0;
  double toA = 0.0;
  double angstromsPerPixel = 0.0;
};

inline constexpr int kResidualPlotWidth = 560;
inline constexpr int kResidualPlotHeight = 200;
inline constexpr ui::Rgb kResidualPlotBackground{255, 255, 255};
inline constexpr ui::Rgb kResidualMarkerColour{0, 0, 160};
inline constexpr ui::Rgb kResidualGridColour{200, 200, 200};

/**
 * The half-height of the residual scale: the smallest of 1, 2 and 5 times a power of ten that is
 * at least the largest residual's size (1e-3 A when every residual is smaller), so that the scale
 * reads in round numbers and a plot of hundredths of an Angstrom never looks like one of whole
 * Angstroms.
 */
double residualScaleA(std::span<const ResidualPoint> points);

/**
 * Clears the raster and draws the residuals against wavelength in a frame: on the left the
 * residual in Angstroms (the scale of residualScaleA, ticks at every half of it, labelled), on the
 * right the same ticks in pixels (the residual over angstromsPerPixel), a black zero line across
 * the frame, wavelength ticks at round numbers along the bottom with their labels, and the axis
 * titles "Residual (A)", "(px)" and "Wavelength (A)". A small cross is a line, a larger red
 * square marks a marked line. Nothing but the frame, the axes and the zero line is drawn without
 * points.
 */
void drawResidualPlot(ui::Raster& raster, std::span<const ResidualPoint> points,
                      const ResidualAxes& axes);

}  // namespace halvic

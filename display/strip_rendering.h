#pragma once

#include <cstdint>

#include "calibration/grating_model.h"
#include "imagefile/image_array.h"
#include "spectrum/profile_array.h"
#include "ui/colour.h"
#include "ui/layout.h"
#include "ui/raster.h"

namespace halvic {

/** What one strip is drawn from: the values of the data image or of the cal image. */
struct StripInputs {
  const ImageArray& image;
  int16_t width = 0;
  int16_t height = 0;
  double stripLeft = 0.0;  // window x of the image's column 0
  int16_t stripTop = 0;    // window y of the image's row 0
  int16_t background = 0;
  int32_t range = 0;
  const ProfileArray& profile;
  /** Expanded view: the profile as 20-row bars instead of the raw pixels. */
  bool expanded = false;
  /** Expanded view without the sky level: the data strip while "Filter Airglow" is on. */
  bool skySubtracted = false;
  /** The calibration when there is one: the expanded view is then coloured by wavelength. */
  const GratingModel* calibration = nullptr;
};

/**
 * Draws a strip point by point at (stripLeft + column, stripTop + row), overwriting only its own
 * points: rows 1..height of the raw view or rows 1..20 of the expanded view, columns 1..width.
 * Width and height are bounded to the image array. betaDeg receives the angle of the last
 * wavelength evaluated. The window reports the whole strip as one change.
 */
void drawStrip(ui::Raster& window, const StripInputs& strip, double& betaDeg);

/** The colour of grey level grey (0..255) at wavelength lambda in Angstroms. */
ui::Rgb wavelengthColour(uint8_t grey, float lambda);

/**
 * The two red crop marker lines of a strip, at fixed offsets from its frame (not from the centred
 * image): from just inside the frame's left border to just inside its right border, at
 * frame.y - 1 + cropRow1 and frame.y + 1 + cropRow2. For a 20-row image they fall on the row above
 * the first crop row and the row below the last, on the border rows for rows 1 and 20.
 */
void drawCropMarkerLines(ui::Raster& window, int16_t cropRow1, int16_t cropRow2, ui::Place frame);

}  // namespace halvic

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "output/fits_origin.h"
#include "calibration/calibration.h"
#include "calibration/lamp_lines.h"
#include "calibration/line_list.h"
#include "calibration/line_wavelength.h"
#include "imagefile/image_array.h"
#include "spectrum/graph_rendering.h"
#include "spectrum/profile_array.h"

namespace halvic {

/** The two images of a session: the object spectrum ("data") and the lamp ("cal"). */
enum class ImageKind { Data, Cal };

inline constexpr std::array kImageKinds{ImageKind::Data, ImageKind::Cal};

inline constexpr ImageKind otherImage(ImageKind kind) {
  return kind == ImageKind::Data ? ImageKind::Cal : ImageKind::Data;
}

/** One loaded image with how it is shown and the profile last extracted from it. */
struct ImageState {
  std::string fileName;
  /** The path, then " captured on " DATE and " at " TIME from the header. */
  std::string caption;
  ImageArray image;
  HeaderBytes headerBytes{};
  int16_t height = 0;
  int16_t width = 0;
  bool loaded = false;
  /** Window position of the image's column 0 and row 0 in its strip frame. */
  double stripLeft = 0.0;
  int16_t stripTop = 0;
  /** The contrast: the pixel value shown black and the span from black to white. */
  int16_t background = 0;
  int32_t range = 0;
  /** The band of rows the profile is extracted from. */
  int16_t cropRow1 = 1;
  int16_t cropRow2 = kImageRows;
  /** The last extraction of this image; the expanded strip shows it. */
  ProfileArray profile;
  /** The pixel size its header gave, in micrometres; 0 when the header had none. */
  float pixelSize = 0.0f;
  /** Set when the image is a strip reduced from a FITS image; nullopt for a camera file. */
  std::optional<FitsOrigin> fitsOrigin;
};

/** What the graph shows: the working profile, its scale, the cursor and the read-out. */
struct GraphState {
  /** The working profile, the one graphed, entries 1..profileLength, with its extremes. */
  ProfileArray profile;
  int16_t profileLength = 0;
  int32_t profileMax = 0;
  int32_t profileMin = 0;
  /** The graph, extraction and outputs work on the cal image (true) or the data image. */
  bool showsCal = false;
  GraphScale scale = GraphScale::Autoscaled;
  int16_t cursorPixel = 0;
  int16_t lastCursorPixel = 0;
  /** The position whose wavelength the read-out shows. */
  float readoutPixel = 0.0f;
  /**
   * The last evaluation of the model, by the read-out, an export, the printout, the strips or
   * the summary: its wavelength and its diffraction angle. Every evaluation writes them, so they
   * are not part of the calibration.
   */
  double pixelWavelength = 0.0;
  double betaDeg = 0.0;
};

/** The line the next mark takes and the window its centroid is measured in. */
struct LineChoice {
  LineWavelength selectedWavelength = kStartLineWavelength;
  int16_t centroidWidth = kStartCentroidWidth;
  /** The width the graph was last redrawn for. */
  int16_t lastCentroidWidth = kStartCentroidWidth;
  /** The result of the last centroid. */
  float centroidPixel = 0.0f;
  /** The lamps whose lines the check and the refine look for; none: the line list's own. */
  std::vector<LampElement> lampElements;
};

/**
 * Everything the program knows. The main window owns the one instance for the whole run; every
 * handler reads it, and the calibration changes only through the window's one door for it. A
 * value that has never been set holds 0 (or the empty text), which is what such a value counts
 * as everywhere. workspace_values.cpp gives each value the flat name scripts know it by.
 */
struct Workspace {
  /** The path chosen in the last open-file dialog; the text export puts its own file there. */
  std::string selectedFileName;
  std::array<ImageState, kImageKinds.size()> images;
  /**
   * The pixel size, in micrometres, of the last load whose header gave a camera's; the model
   * takes it unless the spectrograph's pixel size is set.
   */
  float headerPixelSize = 0.0f;
  /**
   * The bin of that load's strip columns over its image's pixels: a FITS image's reduction bin,
   * 1 for a camera file. The spectrograph's pixel size is the image's own, so the strip's is that
   * many times it.
   */
  int stripBin = 1;
  /** The gate of the pixel pick mode on the strips, which nothing turns on, and its strip. */
  bool pixelPickMode = false;
  int16_t pixelPickImage = 1;
  GraphState graph;
  LineChoice lines;
  Calibration calibration;
  /**
   * The lamp's profile a loaded calibration file was made from, columns 1..n; empty when the
   * file kept none. "Re-identify on This Lamp" finds the loaded lamp's shift against it.
   */
  std::vector<int32_t> calibrationLamp;

  ImageState& image(ImageKind kind) { return images[static_cast<std::size_t>(kind)]; }
  const ImageState& image(ImageKind kind) const { return images[static_cast<std::size_t>(kind)]; }
  /** The image whose profile the graph shows. */
  ImageKind graphedKind() const { return graph.showsCal ? ImageKind::Cal : ImageKind::Data; }
  const ImageState& graphedImage() const { return image(graphedKind()); }
};

}  // namespace halvic

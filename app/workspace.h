#pragma once

#include <cstdint>
#include <string>

#include "calibration/grating_choice.h"
#include "calibration/grating_model.h"
#include "calibration/line_list.h"
#include "calibration/line_wavelength.h"
#include "imagefile/image_array.h"
#include "spectrum/profile_array.h"

namespace halvic {

/**
 * Everything the program knows, with its exact types and start values. The main window owns the
 * one instance for the whole run; every handler reads and writes it. A value that has never been
 * set holds 0 (or the empty text), which is what such a value counts as everywhere.
 */
struct Workspace {
  // Files and images.
  std::string selectedFileName;
  std::string dataFileName;
  std::string calFileName;
  std::string dataCaption;
  std::string calCaption;
  ImageArray dataImage;
  ImageArray calImage;
  HeaderBytes dataHeaderBytes{};
  HeaderBytes calHeaderBytes{};
  int16_t dataHeight = 0;
  int16_t calHeight = 0;
  int16_t dataWidth = 0;
  int16_t calWidth = 0;
  bool dataLoaded = false;
  bool calLoaded = false;

  // Strip display and crop rows.
  double dataStripLeft = 0.0;
  double calStripLeft = 0.0;
  int16_t dataStripTop = 0;
  int16_t calStripTop = 0;
  int16_t dataBackground = 0;
  int16_t calBackground = 0;
  int32_t dataRange = 0;
  int32_t calRange = 0;
  int16_t dataCropRow1 = 1;
  int16_t dataCropRow2 = kImageRows;
  int16_t calCropRow1 = 1;
  int16_t calCropRow2 = kImageRows;
  bool pixelPickMode = false;
  int16_t pixelPickImage = 1;

  // Profiles and graph.
  ProfileArray profile;
  ProfileArray dataProfile;
  ProfileArray calProfile;
  int16_t profileLength = 0;
  int32_t profileMax = 0;
  int32_t profileMin = 0;
  bool graphShowsCal = false;
  bool linearGraph = false;
  bool logGraph = false;
  bool autoscaledGraph = true;
  bool pushedGraph = false;
  int16_t cursorPixel = 0;
  int16_t lastCursorPixel = 0;
  float readoutPixel = 0.0f;

  // Calibration.
  float xPixelSize = 0.0f;
  double focalLengthMm = kStartModel.focalLengthMm;
  double alphaDeg = 0.0;
  double betaDeg = 0.0;
  double grooveSpacingUm = kStartModel.grooveSpacingUm;
  double gammaDeg = kStartModel.gammaDeg;
  float degreesPerRadian = kStartModel.degreesPerRadian;
  int16_t centroidWidth = kStartCentroidWidth;
  int16_t lastCentroidWidth = kStartCentroidWidth;
  LineWavelength selectedLineWavelength = kStartLineWavelength;
  LineWavelength line1Wavelength;
  LineWavelength line2Wavelength;
  float line1Pixel = 0.0f;
  float line2Pixel = 0.0f;
  float centroidPixel = 0.0f;
  double pixelWavelength = 0.0;
  bool calibrated = false;
  bool focalLengthSolved = false;
  float dispersionAPerMm = 0.0f;
  /** The grating the solve assumes; automatic at every start, never remembered. */
  GratingChoice gratingChoice;
  /** Lines of the applied refine and its RMS; 0 while the two-line model stands. */
  int32_t refinedLines = 0;
  double refinedRmsA = 0.0;
};

/** The grating model the workspace's calibration values describe. */
inline GratingModel gratingModelOf(const Workspace& ws) {
  return GratingModel{ws.xPixelSize,      ws.focalLengthMm, ws.alphaDeg,
                      ws.grooveSpacingUm, ws.gammaDeg,      ws.degreesPerRadian};
}

}  // namespace halvic

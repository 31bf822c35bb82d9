#pragma once

#include <cstdint>
#include <string>

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
  int16_t dataCropRow2 = 20;
  int16_t calCropRow1 = 1;
  int16_t calCropRow2 = 20;
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
  double focalLengthMm = 140.0;
  double alphaDeg = 0.0;
  double betaDeg = 0.0;
  double grooveSpacingUm = 6.6666666;
  double gammaDeg = 6.16;
  float degreesPerRadian = 57.29578f;
  int16_t centroidWidth = 5;
  int16_t lastCentroidWidth = 5;
  LineWavelength selectedLineWavelength = LineWavelength::fromDouble(5460.753);
  LineWavelength line1Wavelength;
  LineWavelength line2Wavelength;
  float line1Pixel = 0.0f;
  float line2Pixel = 0.0f;
  float centroidPixel = 0.0f;
  double pixelWavelength = 0.0;
  bool calibrated = false;
  bool focalLengthSolved = false;
  float dispersionAPerMm = 0.0f;
};

}  // namespace halvic

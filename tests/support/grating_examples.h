#pragma once

#include "calibration/grating_model.h"

namespace halvic::test {

/**
 * The worked example's spectrograph: 150 lines/mm (the groove table's 6.666666 um), 9 um pixels,
 * 140 mm, alpha 2.5 degrees, gamma 6.16. About 4.3 A a column, falling as the column rises:
 * 7398.62 A at pixel 1, 4147.30 A at pixel 765.
 */
inline GratingModel workedExampleModel() {
  GratingModel model = kStartModel;
  model.xPixelSize = 9.0f;
  model.alphaDeg = 2.5;
  model.grooveSpacingUm = 6.666666;
  return model;
}

/** The model's wavelength at a real-valued pixel, the diffraction angle left unused. */
inline double wavelengthAt(const GratingModel& model, double pixel) {
  double betaDeg = 0.0;
  return evaluateGratingModel(model, pixel, betaDeg);
}

}  // namespace halvic::test

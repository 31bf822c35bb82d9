#pragma once

#include <cstdint>

#include "calibration/grating_model.h"
#include "calibration/grating_solve.h"
#include "calibration/spectrograph.h"

namespace halvic {

/**
 * Everything that makes a calibration, as one value: the model every wavelength comes from, the
 * two marked lines it was solved on, the dispersion estimate that chose its grating, whether a
 * solve has run, what the user set of the spectrograph and what a refine changed. The main window
 * holds one and replaces it whole, so that an earlier one can be put back exactly.
 */
struct Calibration {
  GratingModel model = kStartModel;
  LineMarks marks;
  float dispersionAPerMm = 0.0f;
  /** A solve has run: pixels have wavelengths. */
  bool calibrated = false;
  /** The full solve has run since the last "Mark Line 2": the next solve re-fits alpha only. */
  bool focalLengthSolved = false;
  Spectrograph spectrograph;
  /** Lines of the applied refine and its RMS; 0 while the two-line model stands. */
  int32_t refinedLines = 0;
  double refinedRmsA = 0.0;

  /** Line wavelengths compare by value, as LineWavelength does. */
  friend bool operator==(const Calibration&, const Calibration&) = default;
};

}  // namespace halvic

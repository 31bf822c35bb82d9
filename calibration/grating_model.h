#pragma once

#include <cstdint>

namespace halvic {

/**
 * The spectrograph's dispersion relation: a grating equation seen by a camera of focal length
 * focalLengthMm whose optical axis meets the detector at pixel 381:
 *   lambda = d x 10000 x cos(gamma) x [sin(alpha) + sin(alpha - delta - theta)],
 *   theta = atan(u + k2 u^2 + k3 u^3), u = (pixel size / 1000) (p - 381) / f,
 * where delta, the deviation, is the angle between the collimator and the camera and k2, k3 are
 * the camera's distortion terms. With delta = k2 = k3 = 0 it is the Littrow model: the diffracted
 * ray at pixel 381 returns along the incident one. Angles in the model's own degrees. The
 * defaults are the model before the first solve.
 */
struct GratingModel {
  float xPixelSize = 0.0f;  // micrometres; 0 until an image header gives it
  double focalLengthMm = 140.0;
  double alphaDeg = 0.0;
  double grooveSpacingUm = 6.6666666;
  double gammaDeg = 6.16;
  float degreesPerRadian = 57.29578f;  // used both ways, so the round trip is consistent
  double deviationDeg = 0.0;
  double distortion2 = 0.0;
  double distortion3 = 0.0;

  friend bool operator==(const GratingModel&, const GratingModel&) = default;
};

/** The model before the first solve: the start values of the calibration. */
inline constexpr GratingModel kStartModel{};

/** The detector column where the camera's optical axis meets it. */
inline constexpr double kReferencePixel = 381.0;

/**
 * The model at a real-valued pixel position, in Angstroms; betaDeg receives the diffraction
 * angle. The offset from the reference pixel is taken as a 32-bit float, the rest in 64-bit.
 * Terms that are 0 (the deviation, each distortion term) take no part in the arithmetic, so that
 * the Littrow model is evaluated exactly as it always was.
 * A focal length of 0 is outside the model (the solve never produces one).
 */
double evaluateGratingModel(const GratingModel& model, double pixel, double& betaDeg);

/** Whether the model is the Littrow model: no deviation, no distortion. */
bool isLittrow(const GratingModel& model);

/** The model's grating part: the model without its camera's distortion terms. */
GratingModel gratingPartOf(GratingModel model);

/** The model at a whole column, rounded to a 32-bit float. */
float pixelToWavelength(const GratingModel& model, int16_t column, double& betaDeg);

}  // namespace halvic

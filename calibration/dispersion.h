#pragma once

#include <optional>

#include "calibration/line_wavelength.h"

namespace halvic {

/**
 * The signed linear dispersion in Angstroms per mm implied by two marked lines:
 * 1000 (l1 - l2) / (xPixelSize (p2 - p1)), positive when the wavelength falls as the pixel number
 * rises. nullopt when the result is not a finite 32-bit float (no pixel size yet, or both lines
 * at one pixel).
 */
std::optional<float> estimateDispersion(const LineWavelength& line1Wavelength, float line1Pixel,
                                        const LineWavelength& line2Wavelength, float line2Pixel,
                                        float xPixelSize);

/** The groove spacing in micrometres of the grating kGratingTable gives |dispersionAPerMm|. */
double grooveSpacingFor(float dispersionAPerMm);

}  // namespace halvic

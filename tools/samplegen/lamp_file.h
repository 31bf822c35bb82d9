#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "calibration/grating_model.h"

namespace halvic::samplegen {

/** A lamp of the mercury, neon and argon lines seen by a spectrograph of the user's choosing. */
struct LampOptions {
  double grooveDensity = 600.0;  // lines per mm; the groove spacing is 1000 / density um
  float pixelSizeUm = 9.0f;      // written into the header in mm
  double alphaDeg = 0.0;
  double focalLengthMm = 0.0;  // negative for wavelengths rising with the column
  uint64_t seed = 1;
};

/**
 * The model the lamp is made from: the options' angle, focal length and groove spacing, gamma as
 * the program assumes it, and the pixel size as the program reads it back from the header.
 */
GratingModel lampModel(const LampOptions& options);

/** The header's X_pixel_size text, in mm: 9 um gives "0.009", 13.5 um "0.0135". */
std::string pixelSizeText(float pixelSizeUm);

/** The plain camera image file of the lamp; nullopt when its header does not fit its block. */
std::optional<std::vector<uint8_t>> buildLampFile(const LampOptions& options);

/**
 * The model and every placed lamp line as a table, "| Entry | Wavelength (A) | Element |
 * Peak (counts) | Pixel |", Entry being the line's index in the program's line list.
 */
std::string describeLamp(const LampOptions& options);

}  // namespace halvic::samplegen

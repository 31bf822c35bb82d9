#include "calibration/dispersion.h"

#include <cmath>

#include "calibration/grating_table.h"
#include "ui/units.h"

namespace halvic {

std::optional<float> estimateDispersion(const LineWavelength& line1Wavelength, float line1Pixel,
                                        const LineWavelength& line2Wavelength, float line2Pixel,
                                        float xPixelSize) {
  const double pixelSpan = static_cast<double>(line2Pixel) - static_cast<double>(line1Pixel);
  const double dispersion = kMicrometresPerMillimetre *
                            (line1Wavelength.value - line2Wavelength.value) /
                            (static_cast<double>(xPixelSize) * pixelSpan);
  const float stored = static_cast<float>(dispersion);
  if (!std::isfinite(stored)) {
    return std::nullopt;
  }
  return stored;
}

double grooveSpacingFor(float dispersionAPerMm) {
  const double magnitude = std::fabs(static_cast<double>(dispersionAPerMm));
  for (const TableGrating& grating : kGratingTable) {
    if (magnitude > grating.dispersionAbove) {
      return grating.grooveSpacingUm;
    }
  }
  return kGratingTable.back().grooveSpacingUm;  // NaN
}

}  // namespace halvic

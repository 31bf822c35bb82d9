#include "calibration/dispersion.h"

#include <array>
#include <cmath>

namespace halvic {

namespace {

struct GratingChoice {
  double dispersionAbove;  // Angstroms per mm, exclusive
  double grooveSpacingUm;
};

// Coarsest grating first; the last row takes everything else.
constexpr std::array<GratingChoice, 4> kGratings{{
    {200.0, 6.666666},
    {90.0, 1.666666},
    {50.0, 0.8333333},
    {-1.0, 0.555555},
}};

}  // namespace

std::optional<float> estimateDispersion(const LineWavelength& line1Wavelength, float line1Pixel,
                                        const LineWavelength& line2Wavelength, float line2Pixel,
                                        float xPixelSize) {
  const double pixelSpan = static_cast<double>(line2Pixel) - static_cast<double>(line1Pixel);
  const double dispersion = 1000.0 * (line1Wavelength.value - line2Wavelength.value) /
                            (static_cast<double>(xPixelSize) * pixelSpan);
  const float stored = static_cast<float>(dispersion);
  if (!std::isfinite(stored)) {
    return std::nullopt;
  }
  return stored;
}

double grooveSpacingFor(float dispersionAPerMm) {
  const double magnitude = std::fabs(static_cast<double>(dispersionAPerMm));
  for (const GratingChoice& choice : kGratings) {
    if (magnitude > choice.dispersionAbove) {
      return choice.grooveSpacingUm;
    }
  }
  return kGratings.back().grooveSpacingUm;  // NaN
}

}  // namespace halvic

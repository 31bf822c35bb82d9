#include "tools/samplegen/sample_spectra.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>

#include "calibration/line_list.h"
#include "tools/samplegen/noise_source.h"
#include "ui/number_text.h"
#include "ui/units.h"

namespace halvic::samplegen {

namespace {

constexpr double kBias = 100.0;
constexpr double kReadNoise = 3.0;  // counts
constexpr double kGain = 2.0;       // electrons per count, for the photon noise
constexpr double kLampFwhmPixels = 2.5;
constexpr double kSkyContinuum = 40.0;
constexpr int kLargestCount = 32767;
constexpr uint64_t kLampSeed = 0x4E454F4E4C414D50ULL;
constexpr uint64_t kObjectSeed = 0x4F424A4543545350ULL;

/** A root of f between a and b, where f(a) and f(b) have opposite signs. */
double bisect(const std::function<double(double)>& f, double a, double b) {
  double fa = f(a);
  for (int step = 0; step < 200 && a != b; ++step) {
    const double middle = 0.5 * (a + b);
    if (middle == a || middle == b) {
      break;
    }
    const double fm = f(middle);
    if ((fm < 0.0) == (fa < 0.0)) {
      a = middle;
      fa = fm;
    } else {
      b = middle;
    }
  }
  return 0.5 * (a + b);
}

/** The grating angle that puts the first anchor line on its column at this focal length. */
double alphaForAnchor1(GratingModel model) {
  return bisect(
      [&model](double alpha) {
        model.alphaDeg = alpha;
        return wavelengthAtPixel(model, kAnchor1.pixel) - kAnchor1.wavelength;
      },
      0.0, 40.0);
}

/** The share of a Gaussian line's light that falls into one pixel column. */
double pixelShare(double column, double centre, double fwhmPixels) {
  const double sigma = fwhmPixels / (2.0 * std::sqrt(2.0 * std::numbers::ln2));
  const double scale = 1.0 / (sigma * std::numbers::sqrt2);
  return 0.5 *
         (std::erf((column + 0.5 - centre) * scale) - std::erf((column - 0.5 - centre) * scale));
}

/** A line integrated over the pixel, scaled to 1 in the central pixel of a centred line. */
double lineShape(int column, double centre, double fwhmPixels) {
  return pixelShare(static_cast<double>(column), centre, fwhmPixels) /
         pixelShare(0.0, 0.0, fwhmPixels);
}

/** The counts a pixel reads for a signal above the bias: photon and read noise, whole counts. */
int16_t noisyCount(double signal, NoiseSource& noise) {
  const double sigma = std::sqrt(kReadNoise * kReadNoise + std::max(signal, 0.0) / kGain);
  const double value = ui::roundHalfEven(kBias + signal + sigma * noise.nextGaussian());
  return static_cast<int16_t>(std::clamp(value, 0.0, static_cast<double>(kLargestCount)));
}

/** Lamp illumination along the slit: full in the middle, about three quarters at the ends. */
double lampSlitProfile(int row) {
  const double fromCentre = (row - 10.5) / 9.5;
  return 1.0 - 0.25 * std::pow(fromCentre, 4);
}

/** The object's share of light in each row: a seeing profile cut off at the band's edges. */
double objectRowWeight(int row) {
  if (row < kObjectFirstRow || row > kObjectLastRow) {
    return 0.0;
  }
  const double fromCentre = row - 0.5 * (kObjectFirstRow + kObjectLastRow);
  return std::exp(-fromCentre * fromCentre / 8.0);
}

/** The object's continuum before absorption: rising gently to the red, a few thousand counts. */
double objectContinuum(double wavelength) {
  return 3000.0 * (0.85 + 0.3 * (wavelength - 5500.0) / 1300.0);
}

struct FeatureAtPixel {
  SpectralFeature feature;
  double pixel;
};

std::vector<FeatureAtPixel> placeFeatures(const GratingModel& model,
                                          const std::vector<SpectralFeature>& features) {
  std::vector<FeatureAtPixel> placed;
  for (const SpectralFeature& feature : features) {
    if (const auto pixel = pixelOfWavelength(model, feature.wavelength, kSampleWidth)) {
      placed.push_back({feature, *pixel});
    }
  }
  return placed;
}

}  // namespace

double wavelengthAtPixel(const GratingModel& model, double pixel) {
  double betaDeg = 0.0;
  return evaluateGratingModel(model, pixel, betaDeg);
}

GratingModel trueSampleModel() {
  GratingModel model;
  model.xPixelSize = kSamplePixelSizeMm * static_cast<float>(kMicrometresPerMillimetre);
  model.grooveSpacingUm = kSampleGrooveSpacingUm;
  // Rising wavelengths need a negative focal length; the spread between the anchors shrinks as
  // the focal length grows in size, so the root lies between these two.
  model.focalLengthMm = bisect(
      [model](double focalLength) mutable {
        model.focalLengthMm = focalLength;
        model.alphaDeg = alphaForAnchor1(model);
        return wavelengthAtPixel(model, kAnchor2.pixel) - kAnchor2.wavelength;
      },
      -400.0, -20.0);
  model.alphaDeg = alphaForAnchor1(model);
  return model;
}

std::optional<double> pixelOfWavelength(const GratingModel& model, double wavelength, int width) {
  const double first = 0.5;
  const double last = width + 0.5;
  const double low = wavelengthAtPixel(model, first);
  const double high = wavelengthAtPixel(model, last);
  if (wavelength < std::min(low, high) || wavelength > std::max(low, high)) {
    return std::nullopt;
  }
  return bisect(
      [&model, wavelength](double pixel) { return wavelengthAtPixel(model, pixel) - wavelength; },
      first, last);
}

std::vector<LampLine> lampLineList() {
  // Relative strengths of the lamp lines, by line list index.
  constexpr std::array<double, 40> kStrengths{
      4000, 3000, 5000, 8000, 1500, 1600, 250,  400,  6000, 3000, 3500, 500,  1400, 2800,
      3200, 5500, 2600, 2400, 3800, 700,  5000, 5200, 9000, 4500, 1800, 3000, 2700, 800,
      2500, 800,  3500, 700,  900,  1500, 2500, 3000, 2500, 1200, 1000, 2000,
  };
  std::vector<LampLine> lines;
  const auto entries = lineList();
  for (size_t index = 0; index < entries.size(); ++index) {
    const LineListEntry& entry = entries[index];
    if (isLampLine(entry.source) && index < kStrengths.size()) {
      lines.push_back({static_cast<int>(index), entry.wavelength.value,
                       std::string(elementSymbol(entry.source)), kStrengths[index]});
    }
  }
  return lines;
}

std::vector<PlacedLine> placeLampLines(const GratingModel& model) {
  std::vector<PlacedLine> placed;
  for (const LampLine& line : lampLineList()) {
    const auto pixel = pixelOfWavelength(model, line.wavelength, kSampleWidth);
    if (pixel && *pixel >= 1.0 && *pixel <= kSampleWidth) {
      placed.push_back({line, *pixel});
    }
  }
  return placed;
}

std::vector<SpectralFeature> skyEmissionLines() {
  return {
      {5577.34, "[O I]", 1200, kLampFwhmPixels}, {5889.95, "Na D2", 220, kLampFwhmPixels},
      {5895.92, "Na D1", 160, kLampFwhmPixels},  {6300.304, "[O I]", 450, kLampFwhmPixels},
      {6363.78, "[O I]", 150, kLampFwhmPixels},
  };
}

std::vector<SpectralFeature> objectAbsorptionLines() {
  return {
      {5528.405, "Mg I", 0.30, 2.6}, {5615.644, "Fe I", 0.25, 2.5},
      {5889.95, "Na D2", 0.60, 2.8}, {5895.924, "Na D1", 0.50, 2.8},
      {6122.217, "Ca I", 0.35, 2.6}, {6162.173, "Ca I", 0.40, 2.6},
      {6252.555, "Fe I", 0.25, 2.5}, {6439.075, "Ca I", 0.30, 2.5},
      {6494.980, "Fe I", 0.25, 2.5}, {6562.852, "H-alpha", 0.55, 7.0},
  };
}

ImageArray renderLampImage(const GratingModel& model) { return renderLampImage(model, kLampSeed); }

ImageArray renderLampImage(const GratingModel& model, uint64_t seed) {
  const std::vector<PlacedLine> lines = placeLampLines(model);
  std::vector<double> spectrum(static_cast<size_t>(kSampleWidth + 1), 0.0);
  for (int column = 1; column <= kSampleWidth; ++column) {
    for (const PlacedLine& placed : lines) {
      spectrum[static_cast<size_t>(column)] +=
          placed.line.peakCounts * lineShape(column, placed.pixel, kLampFwhmPixels);
    }
  }
  NoiseSource noise(seed);
  ImageArray image;
  for (int row = 1; row <= kSampleHeight; ++row) {
    for (int column = 1; column <= kSampleWidth; ++column) {
      const double signal = lampSlitProfile(row) * spectrum[static_cast<size_t>(column)];
      image.set(column, row, noisyCount(signal, noise));
    }
  }
  return image;
}

ImageArray renderObjectImage(const GratingModel& model) {
  const std::vector<FeatureAtPixel> sky = placeFeatures(model, skyEmissionLines());
  const std::vector<FeatureAtPixel> absorption = placeFeatures(model, objectAbsorptionLines());
  std::vector<double> objectSpectrum(static_cast<size_t>(kSampleWidth + 1), 0.0);
  std::vector<double> skySpectrum(static_cast<size_t>(kSampleWidth + 1), 0.0);
  for (int column = 1; column <= kSampleWidth; ++column) {
    double transmitted = objectContinuum(wavelengthAtPixel(model, column));
    for (const FeatureAtPixel& line : absorption) {
      transmitted *=
          1.0 - line.feature.strength * lineShape(column, line.pixel, line.feature.fwhmPixels);
    }
    double skyLight = kSkyContinuum;
    for (const FeatureAtPixel& line : sky) {
      skyLight += line.feature.strength * lineShape(column, line.pixel, line.feature.fwhmPixels);
    }
    objectSpectrum[static_cast<size_t>(column)] = transmitted;
    skySpectrum[static_cast<size_t>(column)] = skyLight;
  }
  NoiseSource noise(kObjectSeed);
  ImageArray image;
  for (int row = 1; row <= kSampleHeight; ++row) {
    for (int column = 1; column <= kSampleWidth; ++column) {
      const auto index = static_cast<size_t>(column);
      const double signal = objectRowWeight(row) * objectSpectrum[index] + skySpectrum[index];
      image.set(column, row, noisyCount(signal, noise));
    }
  }
  return image;
}

}  // namespace halvic::samplegen

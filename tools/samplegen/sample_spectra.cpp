#include "tools/samplegen/sample_spectra.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>

#include "tools/samplegen/noise_source.h"
#include "ui/number_text.h"

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
  model.xPixelSize = kSamplePixelSizeMm * 1000.0f;
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
  return {
      {0, 3650.15, "Hg", 4000},   {1, 4046.572, "Hg", 3000},  {2, 4358.337, "Hg", 5000},
      {3, 5460.753, "Hg", 8000},  {4, 5769.598, "Hg", 1500},  {5, 5790.663, "Hg", 1600},
      {6, 6716.429, "Hg", 250},   {7, 6907.461, "Hg", 400},   {8, 5852.488, "Ne", 6000},
      {9, 5881.895, "Ne", 3000},  {10, 5944.834, "Ne", 3500}, {11, 5975.534, "Ne", 500},
      {12, 6029.997, "Ne", 1400}, {13, 6074.338, "Ne", 2800}, {14, 6096.163, "Ne", 3200},
      {15, 6143.063, "Ne", 5500}, {16, 6163.594, "Ne", 2600}, {17, 6217.281, "Ne", 2400},
      {18, 6266.495, "Ne", 3800}, {19, 6304.789, "Ne", 700},  {20, 6334.428, "Ne", 5000},
      {21, 6382.992, "Ne", 5200}, {22, 6402.246, "Ne", 9000}, {23, 6506.528, "Ne", 4500},
      {24, 6532.882, "Ne", 1800}, {25, 6598.953, "Ne", 3000}, {26, 6678.276, "Ne", 2700},
      {27, 6717.043, "Ne", 800},  {28, 6929.467, "Ne", 2500}, {29, 7024.05, "Ne", 800},
      {30, 7032.413, "Ne", 3500}, {31, 7051.292, "Ne", 700},  {32, 7059.107, "Ne", 900},
      {33, 7173.938, "Ne", 1500}, {34, 7245.167, "Ne", 2500}, {35, 6965.431, "Ar", 3000},
      {36, 7067.218, "Ar", 2500}, {37, 7147.042, "Ar", 1200}, {38, 7272.936, "Ar", 1000},
      {39, 7383.98, "Ar", 2000},
  };
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

ImageArray renderLampImage(const GratingModel& model) {
  const std::vector<PlacedLine> lines = placeLampLines(model);
  std::vector<double> spectrum(static_cast<size_t>(kSampleWidth + 1), 0.0);
  for (int column = 1; column <= kSampleWidth; ++column) {
    for (const PlacedLine& placed : lines) {
      spectrum[static_cast<size_t>(column)] +=
          placed.line.peakCounts * lineShape(column, placed.pixel, kLampFwhmPixels);
    }
  }
  NoiseSource noise(kLampSeed);
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

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "calibration/grating_model.h"
#include "calibration/line_list.h"
#include "imagefile/image_array.h"

namespace halvic::samplegen {

inline constexpr int kSampleWidth = 765;
inline constexpr int kSampleHeight = 20;
inline constexpr float kSamplePixelSizeMm = 0.009f;         // as the headers state it
inline constexpr double kSampleGrooveSpacingUm = 1.666666;  // 600 grooves per mm

/** The rows of the object image that hold the object; all other rows see only the sky. */
inline constexpr int kObjectFirstRow = 7;
inline constexpr int kObjectLastRow = 14;

/** The two lamp lines the model is pinned to, and the columns they are centred on. */
struct AnchorLine {
  int listIndex;
  double wavelength;
  double pixel;
};
inline constexpr AnchorLine kAnchor1{8, kLineList[8].wavelength.value, 214.0};
inline constexpr AnchorLine kAnchor2{23, kLineList[23].wavelength.value, 590.0};

/** A line of the program's lamp line list with the peak height it gets in the lamp image. */
struct LampLine {
  int listIndex;
  double wavelength;
  std::string element;
  double peakCounts;  // above the bias, in the central pixel of a centred line, brightest row
};

/** A lamp line at the column where the true model puts its wavelength. */
struct PlacedLine {
  LampLine line;
  double pixel;
};

/** A sky emission line or an absorption line of the object spectrum. */
struct SpectralFeature {
  double wavelength;
  std::string name;
  double strength;    // sky lines: peak counts per row; absorption lines: fractional depth
  double fwhmPixels;  // full width at half maximum
};

/**
 * The spectrograph the samples were made with: 9 micrometre pixels (the header's 0.009 mm read as
 * the program reads it), 600 grooves per mm, gamma 6.16 degrees, and alpha and focal length
 * solved so that the two anchor lines fall on their columns. The focal length comes out negative:
 * the wavelength rises with the column number.
 */
GratingModel trueSampleModel();

/** The model's wavelength at a real-valued pixel position, in Angstroms. */
double wavelengthAtPixel(const GratingModel& model, double pixel);

/**
 * The pixel position in [0.5, width + 0.5] whose wavelength is the given one, found by bisection
 * (the model is monotonic over the detector); nullopt when the wavelength is not on the detector.
 */
std::optional<double> pixelOfWavelength(const GratingModel& model, double wavelength, int width);

/** The mercury, neon and argon entries of the line list (indices 0..39) with their peak heights. */
std::vector<LampLine> lampLineList();

/** The lamp lines whose centres fall within columns 1..kSampleWidth, in list order. */
std::vector<PlacedLine> placeLampLines(const GratingModel& model);

/** The sky emission lines present in every row of the object image. */
std::vector<SpectralFeature> skyEmissionLines();

/** The absorption lines of the object's continuum. */
std::vector<SpectralFeature> objectAbsorptionLines();

/**
 * The lamp image: every placed line as a Gaussian integrated over each pixel (2.5 px FWHM), the
 * same spectrum on all 20 rows dimmed towards the slit ends, on a bias of 100 with noise from a
 * fixed seed. Columns beyond kSampleWidth are 0.
 */
ImageArray renderLampImage(const GratingModel& model);

/** The same lamp image with the noise of another seed. */
ImageArray renderLampImage(const GratingModel& model, uint64_t seed);

/**
 * The object image: a sloping continuum with absorption lines in rows kObjectFirstRow to
 * kObjectLastRow, and a weak sky continuum with the sky emission lines in all 20 rows, on a bias
 * of 100 with noise from a fixed seed. Columns beyond kSampleWidth are 0.
 */
ImageArray renderObjectImage(const GratingModel& model);

}  // namespace halvic::samplegen

#pragma once

#include <optional>
#include <string>

#include "calibration/grating_choice.h"

namespace halvic {

/**
 * What the user told the program about the spectrograph. A setting left empty leaves the
 * program its own choice: the grating from the dispersion by the table, no deviation (the
 * Littrow model), the pixel size of the image header.
 */
struct Spectrograph {
  GratingChoice linesPerMm;
  /** The angle between collimator and camera, in degrees. */
  std::optional<double> deviationDeg;
  /** The detector's pixel width in micrometres; set, it wins over the image headers'. */
  std::optional<float> pixelSizeUm;

  bool anySet() const { return linesPerMm || deviationDeg || pixelSizeUm; }
  friend bool operator==(const Spectrograph&, const Spectrograph&) = default;
};

/** The groove densities a setting may name, in lines per mm. */
inline constexpr double kFewestSetLinesPerMm = 10.0;
inline constexpr double kMostSetLinesPerMm = 10000.0;
/** The deviations a setting may name, in degrees: a camera beside the collimator, either side. */
inline constexpr double kLargestSetDeviationDeg = 150.0;

/** The settings as a form holds them: texts, empty where nothing is set. */
struct SpectrographTexts {
  std::string grating;
  std::string deviation;
  std::string pixel;
};

/** The texts a form shows for the settings: each number shortest, empty where nothing is set. */
SpectrographTexts spectrographTexts(const Spectrograph& spectrograph);

/** The settings a form's texts give, or why they cannot be taken. */
struct SpectrographRead {
  std::optional<Spectrograph> spectrograph;
  std::string refusal;  // the message of the first field that holds what it may not
};

/**
 * Reads a form's texts, blanks around them allowed: each field empty (not set) or a decimal
 * number, the grating a density from 10 to 10000 lines/mm ("automatic" also reads as empty), the
 * deviation -150 to 150 degrees, the pixel size 0.5 to 1000 micrometres.
 */
SpectrographRead readSpectrograph(const SpectrographTexts& texts);

/**
 * What of the spectrograph is set, for the calibration summary: "Set: grating 600 lines/mm,
 * deviation 30 deg, pixel 15 um", naming only what is set; empty when nothing is.
 */
std::string spectrographSettingsLine(const Spectrograph& spectrograph);

}  // namespace halvic

#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace halvic {

/**
 * Which grating the solve assumes: automatic (nullopt, the groove spacing follows from the
 * dispersion) or a groove density the user chose, in lines per mm. Held for the session only.
 */
using GratingChoice = std::optional<double>;

/** What the user typed for the grating setting, read. */
struct GratingChoiceText {
  bool valid = false;
  GratingChoice choice;  // meaningful when valid
};

/**
 * Reads "automatic" (any case, blanks around it allowed) or a positive, finite density in lines
 * per mm written as a decimal number ("600", "830.5"); anything else is not valid.
 */
GratingChoiceText parseGratingChoice(std::string_view text);

/** The setting as the input box shows it: "automatic" or the density ("600", "830.5"). */
std::string gratingChoiceText(const GratingChoice& choice);

/** The groove spacing in micrometres of a density in lines per mm: 1000 / density. */
double grooveSpacingOfDensity(double linesPerMm);

/** The groove spacing the solve is given: nullopt for automatic. */
std::optional<double> chosenGrooveSpacing(const GratingChoice& choice);

/**
 * The grating a calibration used, named for people: "600 lines/mm (automatic)" when the solve
 * picked it from the dispersion (the density rounded from its spacing), "830.5 lines/mm (chosen)"
 * when the user named it.
 */
std::string gratingName(const GratingChoice& choice, double grooveSpacingUm);

}  // namespace halvic

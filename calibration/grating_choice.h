#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace halvic {

/**
 * Which grating the solve assumes: automatic (nullopt, the groove spacing follows from the
 * dispersion) or a groove density the user chose, in lines per mm.
 */
using GratingChoice = std::optional<double>;

/** The setting as scripts print it: "automatic" or the density ("600", "830.5"). */
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

#include "calibration/grating_choice.h"

#include <cmath>

#include "ui/number_format.h"
#include "ui/units.h"

namespace halvic {

namespace {

constexpr std::string_view kAutomatic = "automatic";

}  // namespace

std::string gratingChoiceText(const GratingChoice& choice) {
  return choice ? ui::shortestText(*choice) : std::string(kAutomatic);
}

double grooveSpacingOfDensity(double linesPerMm) { return kMicrometresPerMillimetre / linesPerMm; }

std::optional<double> chosenGrooveSpacing(const GratingChoice& choice) {
  if (!choice) {
    return std::nullopt;
  }
  return grooveSpacingOfDensity(*choice);
}

std::string gratingName(const GratingChoice& choice, double grooveSpacingUm) {
  if (choice) {
    return ui::shortestText(*choice) + " lines/mm (chosen)";
  }
  const double density = kMicrometresPerMillimetre / grooveSpacingUm;
  return ui::formatNumber(density, "0") + " lines/mm (automatic)";
}

}  // namespace halvic

#include "calibration/grating_choice.h"

#include <cctype>
#include <cmath>

#include "ui/number_format.h"
#include "ui/number_text.h"
#include "ui/units.h"

namespace halvic {

namespace {

constexpr std::string_view kAutomatic = "automatic";

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())) != 0) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())) != 0) {
    text.remove_suffix(1);
  }
  return text;
}

bool isAutomatic(std::string_view text) {
  if (text.size() != kAutomatic.size()) {
    return false;
  }
  for (size_t i = 0; i < text.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != kAutomatic[i]) {
      return false;
    }
  }
  return true;
}

}  // namespace

GratingChoiceText parseGratingChoice(std::string_view text) {
  const std::string_view word = trimmed(text);
  if (isAutomatic(word)) {
    return GratingChoiceText{true, std::nullopt};
  }
  const std::optional<double> density = ui::parseDecimal(word);
  if (!density || !std::isfinite(*density) || *density <= 0.0) {
    return GratingChoiceText{};
  }
  return GratingChoiceText{true, *density};
}

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

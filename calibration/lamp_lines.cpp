#include "calibration/lamp_lines.h"

#include <algorithm>

#include "calibration/air_wavelength.h"

namespace halvic {

std::string_view lampElementSymbol(LampElement element) {
  switch (element) {
    case LampElement::Ne:
      return "Ne";
    case LampElement::Ar:
      return "Ar";
    case LampElement::Hg:
      return "Hg";
    case LampElement::He:
      return "He";
    case LampElement::Kr:
      return "Kr";
    case LampElement::Xe:
      return "Xe";
    case LampElement::Cd:
      return "Cd";
    case LampElement::Zn:
      return "Zn";
  }
  return {};
}

std::vector<LampLine> lampLinesOf(std::span<const LampElement> elements) {
  std::vector<LampLine> lines;
  for (const LampLineRecord& record : lampLineRecords()) {
    if (std::find(elements.begin(), elements.end(), record.element) != elements.end()) {
      lines.push_back(LampLine{record.element, airFromVacuum(record.vacuumA), record.amplitude});
    }
  }
  std::stable_sort(lines.begin(), lines.end(),
                   [](const LampLine& a, const LampLine& b) { return a.airA < b.airA; });
  return lines;
}

}  // namespace halvic

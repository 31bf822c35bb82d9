// Prints the barycentric correction in m/s, or "refused: " and why, for each line of standard
// input: GEO_LONG|GEO_LAT|GEO_ELEV|RA|DEC|EXPTIME|DATE-OBS as typed, with BARYCORR checked.
#include <algorithm>
#include <iomanip>
#include <iostream>
#include <string>

#include "output/barycentre_fields.h"
#include "output/observing_details.h"

int main() {
  using namespace halvic;
  std::cout << std::setprecision(12);
  for (std::string line; std::getline(std::cin, line);) {
    std::vector<ui::FormField> fields = observingFormFields();
    const std::vector<ui::FormField> added = barycentreFormFields();
    fields.insert(fields.end(), added.begin(), added.end());
    std::string_view rest = line;
    for (const std::string_view key : {"GEO_LONG", "GEO_LAT", "GEO_ELEV", "RA", "DEC", "EXPTIME"}) {
      std::find_if(fields.begin(), fields.end(), [&](auto& f) { return f.name == key; })->value =
          rest.substr(0, rest.find('|'));
      rest.remove_prefix(rest.find('|') + 1);
    }
    fields.back().value = "1";  // BARYCORR, the last of the form
    const BarycentricCorrection v = barycentricCorrectionOf(fields, std::string(rest));
    if (v.metresPerSecond) {
      std::cout << *v.metresPerSecond << '\n';
    } else {
      std::cout << "refused: " << v.failure << '\n';
    }
  }
}

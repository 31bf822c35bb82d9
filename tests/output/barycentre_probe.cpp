// For each line of standard input, the export form's values apart by '|'
// (GEO_LONG|GEO_LAT|GEO_ELEV|RA|DEC|EXPTIME|DATE-OBS) with BARYCORR checked: prints the
// barycentric correction in m/s, or "refused: " and why.
#include <array>
#include <charconv>
#include <iostream>
#include <string>
#include <vector>

#include "output/barycentre_fields.h"
#include "output/observing_details.h"

namespace {

using halvic::ui::FormField;

constexpr std::array<std::string_view, 6> kColumns{"GEO_LONG", "GEO_LAT", "GEO_ELEV",
                                                   "RA",       "DEC",     "EXPTIME"};

void setField(std::vector<FormField>& fields, std::string_view key, std::string_view value) {
  for (FormField& field : fields) {
    field.value = field.name == key ? std::string(value) : field.value;
  }
}

std::string correctionOf(std::string_view line) {
  std::vector<FormField> fields = halvic::observingFormFields();
  const std::vector<FormField> added = halvic::barycentreFormFields();
  fields.insert(fields.end(), added.begin(), added.end());
  setField(fields, halvic::kBarycentreRequestKey, "1");
  for (const std::string_view key : kColumns) {
    setField(fields, key, line.substr(0, line.find('|')));
    line.remove_prefix(std::min(line.size(), line.find('|') + 1));
  }
  const std::optional<std::string> dateObs{line};
  std::optional<std::string> refusal = halvic::observingFormRefusal(fields);
  refusal = refusal ? refusal : halvic::barycentreRefusal(fields, dateObs);
  if (refusal) {
    return "refused: " + *refusal;
  }
  const halvic::BarycentreInputs in = *halvic::barycentreInputsOf(fields, dateObs);
  const halvic::BarycentricCorrection v =
      halvic::barycentricCorrection(in.site, in.target, in.midExposure);
  if (!v.metresPerSecond) {
    return "refused: " + v.failure;
  }
  std::array<char, 32> text{};
  return std::string(text.data(), std::to_chars(text.begin(), text.end(), *v.metresPerSecond).ptr);
}

}  // namespace

int main() {
  std::string line;
  while (std::getline(std::cin, line)) {
    std::cout << correctionOf(line) << '\n';
  }
  return 0;
}

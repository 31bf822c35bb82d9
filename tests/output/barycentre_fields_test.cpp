#include "output/barycentre_fields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "output/observing_details.h"

namespace halvic {
namespace {

using Typed = std::vector<std::pair<std::string_view, std::string>>;

/** A site, an object, 600 s and the correction asked for. */
const Typed kFilled{{"GEO_LONG", "-0.5"}, {"GEO_LAT", "51.25"}, {"GEO_ELEV", "12"},
                    {"EXPTIME", "600"},   {"RA", "83.633"},     {"DEC", "22"},
                    {"BARYCORR", "1"}};

/** The export form filled, then typed in. */
std::vector<ui::FormField> formWith(Typed typed) {
  std::vector<ui::FormField> fields = observingFormFields();
  const std::vector<ui::FormField> added = barycentreFormFields();
  fields.insert(fields.end(), added.begin(), added.end());
  typed.insert(typed.begin(), kFilled.begin(), kFilled.end());
  for (const auto& [key, value] : typed) {
    std::find_if(fields.begin(), fields.end(), [&](auto& f) { return f.name == key; })->value =
        value;
  }
  return fields;
}

TEST(BarycentreForm, TakesDegreesOrSexagesimalInTheSkyAndADateInTheYearsElseNamesTheField) {
  struct Row {
    std::string_view name;
    Typed typed;
    std::optional<std::string> dateObs;
    std::string_view failure;  // empty when corrected
  };
  const std::string_view ra = kBarycentreFields[0].refusal;
  const std::string_view dec = kBarycentreFields[1].refusal;
  const std::string_view date =
      "Date of observation (DATE-OBS) must be a UTC date and time in the years 1900 to 2100 to "
      "correct to the barycentre.";
  const std::string_view missing =
      "The correction needs the object's position, the site and the date of observation.";
  const std::string night = "2024-03-14T21:12:40";
  const std::vector<Row> rows{
      {"colons", {{"RA", " 05:34:31.9 "}, {"DEC", "+90:00:00"}}, "2024-03-14T21:12:40.5", ""},
      {"blanks, no seconds", {{"RA", "23  59.99"}, {"DEC", "-05 23 28"}}, night, ""},
      {"begun in 1899", {{"EXPTIME", "1800"}}, "1899-12-31T23:50:00", ""},
      {"RA 24 h", {{"RA", "24:00:00"}}, night, ra},
      {"RA 360", {{"RA", "360"}}, night, ra},
      {"RA signed", {{"RA", "+05:34:00"}}, night, ra},
      {"RA minute 60", {{"RA", "05:60:00"}}, night, ra},
      {"RA four parts", {{"RA", "05:34:31:9"}}, night, ra},
      {"RA ends in a colon", {{"RA", "05:34:"}}, night, ra},
      {"RA fraction before the seconds", {{"RA", "05.5:34:00"}}, night, ra},
      {"RA letters, not correcting", {{"RA", "5h34m"}, {"BARYCORR", "0"}}, night, ra},
      {"DEC second 60", {{"DEC", "-05:23:60"}}, night, dec},
      {"DEC past the pole", {{"DEC", "90:00:01"}}, night, dec},
      {"DEC signed minutes", {{"DEC", "22:-05:00"}}, night, dec},
      {"correcting without DEC", {{"DEC", " "}}, night, dec},
      {"no elevation", {{"GEO_ELEV", ""}}, night, "Elevation must be a number of metres from -500 to 10000."},
      {"no date", {}, std::nullopt, date},
      {"the middle in 2101", {{"EXPTIME", "1800"}}, "2100-12-31T23:50:00", date},
      {"an exposure of centuries", {{"EXPTIME", "1e300"}}, night, date},
      {"no 30 February", {}, "2024-02-30T00:00:00", date},
      {"second 60", {}, "2024-03-14T21:12:60", date},
      {"a blank for the T", {}, "2024-03-14 21:12:40", date},
      {"not correcting in 1850", {{"BARYCORR", "0"}}, "1850-01-01T00:00:00", missing},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(barycentricCorrectionOf(formWith(row.typed), row.dateObs).failure, row.failure);
  }
}

}  // namespace
}  // namespace halvic

#include "output/barycentre_fields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "output/mid_exposure.h"
#include "output/observing_details.h"
#include "output/sky_position.h"

namespace halvic {
namespace {

using std::chrono::year_month_day;
using namespace std::chrono_literals;

constexpr double kHour = 15.0;  // degrees

TEST(SkyPosition, ReadsDegreesOrSexagesimalWithinTheSky) {
  struct Row {
    std::string_view name;
    std::optional<double> (*reader)(std::string_view);
    std::string_view text;
    std::optional<double> degrees;
  };
  const std::vector<Row> rows{
      {"RA in degrees", rightAscensionOf, "83.633", 83.633},
      {"RA in hours", rightAscensionOf, " 05:34:31.9 ", (5 + 34 / 60.0 + 31.9 / 3600) * kHour},
      {"RA with blanks", rightAscensionOf, "05  34 31.9", (5 + 34 / 60.0 + 31.9 / 3600) * kHour},
      {"RA without seconds", rightAscensionOf, "05:34.5", (5 + 34.5 / 60) * kHour},
      {"RA just below 24 h", rightAscensionOf, "23:59:59.99", 360 - 0.01 / 3600 * kHour},
      {"RA 360", rightAscensionOf, "360", std::nullopt},
      {"RA 24 h", rightAscensionOf, "24:00:00", std::nullopt},
      {"RA negative", rightAscensionOf, "-0.1", std::nullopt},
      {"RA signed hours", rightAscensionOf, "+05:34:00", std::nullopt},
      {"RA minute 60", rightAscensionOf, "05:60:00", std::nullopt},
      {"RA second 60", rightAscensionOf, "05:34:60", std::nullopt},
      {"RA four parts", rightAscensionOf, "05:34:31:9", std::nullopt},
      {"RA trailing colon", rightAscensionOf, "05:34:", std::nullopt},
      {"RA fraction before the seconds", rightAscensionOf, "05.5:34:00", std::nullopt},
      {"RA with letters", rightAscensionOf, "05h34m31.9s", std::nullopt},
      {"RA empty", rightAscensionOf, "", std::nullopt},
      {"DEC in degrees", declinationOf, "-5.39", -5.39},
      {"DEC with colons", declinationOf, "+22:00:52", 22 + 52 / 3600.0},
      {"DEC south with blanks", declinationOf, "-05 23 28", -(5 + 23 / 60.0 + 28 / 3600.0)},
      {"DEC sign for the minutes too", declinationOf, "-00:30", -0.5},
      {"DEC at the pole", declinationOf, "+90:00:00", 90.0},
      {"DEC past the pole", declinationOf, "90:00:01", std::nullopt},
      {"DEC past the south pole", declinationOf, "-90.5", std::nullopt},
      {"DEC signed minutes", declinationOf, "22:-05:00", std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::optional<double> degrees = row.reader(row.text);
    ASSERT_EQ(degrees.has_value(), row.degrees.has_value());
    if (degrees) {
      EXPECT_NEAR(*degrees, *row.degrees, 1e-9);
    }
  }
}

TEST(MidExposure, IsTheStartPlusHalfTheExposureWithinTheYears) {
  struct Row {
    std::string_view name;
    std::string_view dateObs;
    double exposure;
    std::optional<UtcInstant> middle;
  };
  const double infinite = std::numeric_limits<double>::infinity();
  const std::vector<Row> rows{
      {"no exposure", "2024-03-14T21:12:40", 0, UtcInstant{2024y / 3 / 14, 76360}},
      {"fractional seconds", "2024-03-14T21:12:40.25", 600, UtcInstant{2024y / 3 / 14, 76660.25}},
      {"past midnight", "2024-03-14T23:50:00", 1800, UtcInstant{2024y / 3 / 15, 300}},
      {"into a new year", "2023-12-31T23:59:00", 240, UtcInstant{2024y / 1 / 1, 60}},
      {"onto a leap day", "2024-02-28T23:30:00", 7200, UtcInstant{2024y / 2 / 29, 1800}},
      {"started in 1899", "1899-12-31T23:50:00", 1800, UtcInstant{1900y / 1 / 1, 300}},
      {"the middle in 2101", "2100-12-31T23:50:00", 1800, std::nullopt},
      {"1899", "1899-12-31T12:00:00", 0, std::nullopt},
      {"an exposure of centuries", "2024-03-14T21:12:40", 1e300, std::nullopt},
      {"no 30 February", "2024-02-30T00:00:00", 0, std::nullopt},
      {"hour 24", "2024-03-14T24:00:00", 0, std::nullopt},
      {"minute 60", "2024-03-14T21:60:00", 0, std::nullopt},
      {"second 60", "2024-03-14T21:12:60", 0, std::nullopt},
      {"one-digit seconds", "2024-03-14T21:12:4", 0, std::nullopt},
      {"a blank for the T", "2024-03-14 21:12:40", 0, std::nullopt},
      {"no time", "2024-03-14", 0, std::nullopt},
      {"negative exposure", "2024-03-14T21:12:40", -1, std::nullopt},
      {"infinite exposure", "2024-03-14T21:12:40", infinite, std::nullopt},
      {"exposure not a number", "2024-03-14T21:12:40", std::nan(""), std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(midExposureOf(row.dateObs, row.exposure), row.middle);
  }
}

TEST(BarycentreForm, RefusesWhatTheCorrectionCannotUse) {
  struct Row {
    std::string_view name;
    std::vector<std::pair<std::string_view, std::string>> typed;
    std::optional<std::string> dateObs;
    std::optional<std::string_view> refusal;
  };
  const std::string_view ra = kBarycentreFields[0].refusal;
  const std::string_view dec = kBarycentreFields[1].refusal;
  const std::string_view date =
      "Date of observation (DATE-OBS) must be a UTC date and time in the years 1900 to 2100 to "
      "correct to the barycentre.";
  const std::vector<std::pair<std::string_view, std::string>> all{
      {"RA", "05:34:31.9"}, {"DEC", "+22:00:52"}, {"GEO_LONG", "-0.5"},
      {"GEO_LAT", "51.25"}, {"GEO_ELEV", "12"},   {"BARYCORR", "1"}};
  const auto allBut = [&all](std::string_view key, std::string value) {
    auto typed = all;
    for (auto& [name, text] : typed) {
      text = name == key ? value : text;
    }
    return typed;
  };
  const std::string good = "2024-03-14T21:12:40";
  const std::vector<Row> rows{
      {"as shown", {}, std::nullopt, std::nullopt},
      {"coordinates without the correction", {{"RA", "83.6"}, {"DEC", "22"}}, {}, std::nullopt},
      {"RA malformed, not correcting", {{"RA", "24:00:00"}}, good, ra},
      {"DEC out of range, not correcting", {{"DEC", "+91"}}, good, dec},
      {"correcting without RA", allBut("RA", ""), good, ra},
      {"correcting without DEC", allBut("DEC", " "), good, dec},
      {"correcting without longitude", allBut("GEO_LONG", ""), good,
       "Longitude must be a number from -180 to 180."},
      {"correcting without elevation", allBut("GEO_ELEV", ""), good,
       "Elevation must be a number of metres."},
      {"correcting without a date", all, std::nullopt, date},
      {"correcting in 2101", all, "2101-01-01T00:00:00", date},
      {"correcting with a malformed date", all, "2024-03-14", date},
      {"correcting with everything", all, good, std::nullopt},
      {"not correcting in 1850", allBut("BARYCORR", "0"), "1850-01-01T00:00:00", std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<ui::FormField> fields = observingFormFields();
    for (const ui::FormField& field : barycentreFormFields()) {
      fields.push_back(field);
    }
    for (const auto& [name, value] : row.typed) {
      std::find_if(fields.begin(), fields.end(), [&](auto& f) { return f.name == name; })->value =
          value;
    }
    EXPECT_EQ(barycentreRefusal(fields, row.dateObs), row.refusal);
  }
}

}  // namespace
}  // namespace halvic

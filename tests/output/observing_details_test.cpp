#include "output/observing_details.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace halvic {
namespace {

/** The form as shown, then the named fields set as a user types them. */
std::vector<ui::FormField> formWith(
    const std::vector<std::pair<std::string_view, std::string>>& typed) {
  std::vector<ui::FormField> fields = observingFormFields();
  for (const auto& [name, value] : typed) {
    for (ui::FormField& field : fields) {
      if (field.name == name) {
        field.value = value;
      }
    }
  }
  return fields;
}

TEST(ObservingForm, ShowsTheKeysInOrderWithTheClockOffsetAtZero) {
  const std::vector<ui::FormField> fields = observingFormFields();
  std::vector<std::string> names, values;
  for (const ui::FormField& field : fields) {
    names.push_back(field.name);
    values.push_back(field.value);
  }
  EXPECT_EQ(names,
            (std::vector<std::string>{"OBJNAME", "OBSERVER", "BSS_INST", "BSS_SITE", "GEO_LONG",
                                      "GEO_LAT", "GEO_ELEV", "EXPTIME", "UTC_OFFSET", "vacuum"}));
  EXPECT_EQ(values, (std::vector<std::string>{"", "", "", "", "", "", "", "", "0", "0"}));
}

TEST(ObservingForm, RefusesWhatAFitsHeaderCannotHoldOrNoPlaceHas) {
  struct Row {
    std::string_view name;
    std::vector<std::pair<std::string_view, std::string>> typed;
    std::optional<std::string_view> refusal;
  };
  const std::string_view latitude = "Latitude must be a number from -90 to 90.";
  const std::string_view object = "Object must be at most 68 characters of plain ASCII text.";
  const std::string_view kElevation = "Elevation must be a number of metres from -500 to 10000.";
  const std::string_view kExposure = "Exposure must be a number of seconds from 0 to 10000000.";
  const std::vector<Row> rows{
      {"as shown", {}, std::nullopt},
      {"everything filled in",
       {{"OBJNAME", "HD 37128"},
        {"OBSERVER", "A. N. Other"},
        {"BSS_INST", "150 l/mm grating"},
        {"BSS_SITE", "Back garden"},
        {"GEO_LONG", "-0.5"},
        {"GEO_LAT", "51.25"},
        {"GEO_ELEV", "-12"},
        {"EXPTIME", "0"},
        {"UTC_OFFSET", "-5.5"}},
       std::nullopt},
      {"latitude 100", {{"GEO_LAT", "100"}}, latitude},
      {"latitude not a number", {{"GEO_LAT", "north"}}, latitude},
      {"latitude at the pole", {{"GEO_LAT", " -90 "}}, std::nullopt},
      {"latitude with a comma", {{"GEO_LAT", "45,5"}}, latitude},
      {"longitude past 180",
       {{"GEO_LONG", "180.5"}},
       "Longitude must be a number from -180 to 180."},
      {"elevation not a number", {{"GEO_ELEV", "high"}}, kElevation},
      {"elevation above any observatory", {{"GEO_ELEV", "10000.5"}}, kElevation},
      {"elevation below any observatory", {{"GEO_ELEV", "-501"}}, kElevation},
      {"an exposure readers take for infinity", {{"EXPTIME", "1.7976931348623157e308"}}, kExposure},
      {"negative exposure", {{"EXPTIME", "-1"}}, kExposure},
      {"clock offset left empty",
       {{"UTC_OFFSET", ""}},
       "Hours to add to the camera clock must be a number from -24 to 24."},
      {"clock offset of a day and more",
       {{"UTC_OFFSET", "24.5"}},
       "Hours to add to the camera clock must be a number from -24 to 24."},
      {"68 characters", {{"OBJNAME", std::string(68, 'x')}}, std::nullopt},
      {"69 characters", {{"OBJNAME", std::string(69, 'x')}}, object},
      {"34 quotes fill 68 characters", {{"OBJNAME", std::string(34, '\'')}}, std::nullopt},
      {"35 quotes are 70", {{"OBJNAME", std::string(35, '\'')}}, object},
      {"not ASCII", {{"OBJNAME", "\xCE\xB1 Lyr"}}, object},
      {"a tab inside",
       {{"OBSERVER", "A\tB"}},
       "Observer must be at most 68 characters of plain ASCII text."},
      {"the first refusal in form order", {{"EXPTIME", "-1"}, {"GEO_LAT", "100"}}, latitude},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(observingFormRefusal(formWith(row.typed)), row.refusal);
  }
}

TEST(ObservingForm, TakesTrimmedTextsAndLeavesEmptyNumbersOut) {
  const ObservingDetails details = observingDetailsOf(formWith(
      {{"OBJNAME", "  Vega "}, {"GEO_LAT", "51.25"}, {"EXPTIME", " 30"}, {"UTC_OFFSET", "-2.5"}}));
  ASSERT_EQ(details.texts.size(), 4U);
  EXPECT_EQ(details.texts[0].key, "OBJNAME");
  EXPECT_EQ(details.texts[0].value, "Vega");
  EXPECT_EQ(details.texts[1].value, "");
  ASSERT_EQ(details.numbers.size(), 4U);
  EXPECT_EQ(details.numbers[0].key, "GEO_LONG");
  EXPECT_EQ(details.numbers[0].value, std::nullopt);
  EXPECT_EQ(details.numbers[1].key, "GEO_LAT");
  EXPECT_EQ(details.numbers[1].value, 51.25);
  EXPECT_EQ(details.numbers[3].key, "EXPTIME");
  EXPECT_EQ(details.numbers[3].value, 30.0);
  EXPECT_EQ(details.utcOffsetHours, -2.5);
}

TEST(DateObs, IsTheCameraClockMovedToUtc) {
  struct Row {
    std::string_view name;
    std::string_view date, time;
    double offsetHours;
    std::optional<std::string_view> dateObs;
  };
  const std::vector<Row> rows{
      {"the camera keeps UTC", "03/14/2024", "21:12:40", 0, "2024-03-14T21:12:40"},
      {"forward past midnight", "03/14/2024", "21:12:40", 5, "2024-03-15T02:12:40"},
      {"back past midnight", "03/14/2024", "01:12:40", -2, "2024-03-13T23:12:40"},
      {"into a new year", "12/31/2023", "23:30:00", 1, "2024-01-01T00:30:00"},
      {"back into the old year", "01/01/2024", "00:10:00", -0.5, "2023-12-31T23:40:00"},
      {"onto a leap day", "02/28/2024", "23:00:00", 1, "2024-02-29T00:00:00"},
      {"no leap day in 2023", "02/28/2023", "23:00:00", 1, "2023-03-01T00:00:00"},
      {"half hours", "06/01/2024", "22:00:00", 5.5, "2024-06-02T03:30:00"},
      {"a whole day back", "03/01/2024", "12:00:00", -24, "2024-02-29T12:00:00"},
      {"rounded to the second", "03/14/2024", "21:12:40", 0.6 / 3600, "2024-03-14T21:12:41"},
      {"single digits", "3/4/2024", "1:02:03", 0, "2024-03-04T01:02:03"},
      {"blanks around", " 03/14/2024 ", " 21:12:40 ", 0, "2024-03-14T21:12:40"},
      {"no 29 February in 2023", "02/29/2023", "21:12:40", 0, std::nullopt},
      {"day first", "14/03/2024", "21:12:40", 0, std::nullopt},
      {"two-digit year", "03/14/24", "21:12:40", 0, std::nullopt},
      {"ISO date", "2024-03-14", "21:12:40", 0, std::nullopt},
      {"no seconds", "03/14/2024", "21:12", 0, std::nullopt},
      {"fractional seconds", "03/14/2024", "21:12:40.5", 0, std::nullopt},
      {"hour 24", "03/14/2024", "24:00:00", 0, std::nullopt},
      {"minute 60", "03/14/2024", "21:60:00", 0, std::nullopt},
      {"a sign", "03/14/2024", "-1:12:40", 0, std::nullopt},
      {"no date", "", "21:12:40", 0, std::nullopt},
      {"no time", "03/14/2024", "", 0, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(dateObsOf(row.date, row.time, row.offsetHours), row.dateObs);
  }
}

}  // namespace
}  // namespace halvic

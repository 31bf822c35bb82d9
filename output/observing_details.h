#pragma once

#include <array>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/dialogs.h"

namespace halvic {

/**
 * One field of the observing details form: the FITS key it fills, its label, what it may hold
 * and what the user is told when it holds something else. A text field holds what a FITS header
 * line holds: at most 68 characters of printable ASCII, a quote counting twice. A number field
 * holds a decimal number from smallest to largest, or nothing unless it is required.
 */
struct ObservingField {
  std::string_view key;
  std::string_view label;
  bool isNumber = false;
  bool required = false;
  double smallest = 0.0;
  double largest = 0.0;
  std::string_view refusal;
};

namespace detail {
inline constexpr double kUnbounded = std::numeric_limits<double>::infinity();
}  // namespace detail

/** The fields an image's own FITS header may fill: the object's name and the exposure. */
inline constexpr std::string_view kObjectKey = "OBJNAME";
inline constexpr std::string_view kExposureKey = "EXPTIME";

/** The form's fields in the order shown. UTC_OFFSET fills no key of its own: it makes DATE-OBS. */
// clang-format off
inline constexpr std::array kObservingFields{
    ObservingField{kObjectKey, "Object", false, false, 0, 0,
                   "Object must be at most 68 characters of plain ASCII text."},
    ObservingField{"OBSERVER", "Observer", false, false, 0, 0,
                   "Observer must be at most 68 characters of plain ASCII text."},
    ObservingField{"BSS_INST", "Instrument", false, false, 0, 0,
                   "Instrument must be at most 68 characters of plain ASCII text."},
    ObservingField{"BSS_SITE", "Site", false, false, 0, 0,
                   "Site must be at most 68 characters of plain ASCII text."},
    ObservingField{"GEO_LONG", "Longitude (degrees, east positive)", true, false, -180, 180,
                   "Longitude must be a number from -180 to 180."},
    ObservingField{"GEO_LAT", "Latitude (degrees, north positive)", true, false, -90, 90,
                   "Latitude must be a number from -90 to 90."},
    ObservingField{"GEO_ELEV", "Elevation (m)", true, false, -500, 10000,
                   "Elevation must be a number of metres from -500 to 10000."},
    ObservingField{kExposureKey, "Exposure (s)", true, false, 0, 10000000,
                   "Exposure must be a number of seconds from 0 to 10000000."},
    ObservingField{"UTC_OFFSET", "Hours to add to the camera clock for UTC", true, true, -24, 24,
                   "Hours to add to the camera clock must be a number from -24 to 24."},
};
// clang-format on

/** The field whose hours make DATE-OBS from the camera's clock. */
inline constexpr std::string_view kClockOffsetKey = "UTC_OFFSET";

inline constexpr std::string_view kObservingFormTitle = "FITS Observing Details";
/** What UTC_OFFSET shows when nothing else is known: the camera clock keeps UTC. */
inline constexpr std::string_view kNoClockOffset = "0";

/** A text of the header and the key it goes under; an empty text is left out. */
struct ObservingText {
  std::string_view key;
  std::string value;
};

/** A number of the header and the key it goes under; nullopt (a field left empty) is left out. */
struct ObservingNumber {
  std::string_view key;
  std::optional<double> value;
};

/** The observing details as taken from the form. */
struct ObservingDetails {
  std::vector<ObservingText> texts;      // OBJNAME, OBSERVER, BSS_INST, BSS_SITE
  std::vector<ObservingNumber> numbers;  // GEO_LONG, GEO_LAT, GEO_ELEV, EXPTIME
  double utcOffsetHours = 0.0;
};

/** The form's check box for wavelengths in vacuum rather than in air. */
inline constexpr std::string_view kVacuumField = "vacuum";

/**
 * The form's fields, every one empty but UTC_OFFSET (kNoClockOffset), then the check box
 * kVacuumField, clear; the caller fills in what it knows, by key.
 */
std::vector<ui::FormField> observingFormFields();

/** Whether the form asks for wavelengths in vacuum. */
bool vacuumRequested(const std::vector<ui::FormField>& fields);

/**
 * Why the form's values cannot be taken (the refusal of the first field, in form order, that
 * holds what it may not), or nullopt when they can. Blanks around a value do not count.
 */
std::optional<std::string> observingFormRefusal(const std::vector<ui::FormField>& fields);

/** The details of fields that observingFormRefusal takes. */
ObservingDetails observingDetailsOf(const std::vector<ui::FormField>& fields);

/**
 * DATE-OBS, ISO 8601 in UTC ("2024-03-14T21:12:40"), from the camera's date (month/day/year,
 * "03/14/2024") and time (hours:minutes:seconds, "21:12:40"; one or two digits each but the
 * four-digit year) plus utcOffsetHours, rounded to whole seconds; crossing midnight moves the
 * date, month and year with it. nullopt when the date or the time cannot be read, is not a real
 * date or time of day, or the result falls outside the years 0 to 9999: then DATE-OBS is left out
 * rather than guessed.
 */
std::optional<std::string> dateObsOf(std::string_view cameraDate, std::string_view cameraTime,
                                     double utcOffsetHours);

}  // namespace halvic

#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calibration/barycentric_correction.h"
#include "ui/dialogs.h"

namespace halvic {

/** One field of the export form for the barycentric correction, and what a refusal of it says. */
struct BarycentreField {
  std::string_view key;
  std::string_view label;
  ui::FormField::Kind kind = ui::FormField::Kind::Text;
  std::string_view refusal;
};

inline constexpr std::string_view kRightAscensionKey = "RA";
inline constexpr std::string_view kDeclinationKey = "DEC";
/** The check box that asks for the wavelengths to be corrected. */
inline constexpr std::string_view kBarycentreRequestKey = "BARYCORR";

/** The fields in the order shown, after the observing details'. */
// clang-format off
inline constexpr std::array kBarycentreFields{
    BarycentreField{kRightAscensionKey, "Right ascension (J2000, degrees or hh:mm:ss.s)",
                    ui::FormField::Kind::Text,
                    "Right ascension must be degrees from 0 to 360 or hours as hh:mm:ss.s."},
    BarycentreField{kDeclinationKey, "Declination (J2000, degrees or +dd:mm:ss)",
                    ui::FormField::Kind::Text,
                    "Declination must be degrees from -90 to 90, as a number or +dd:mm:ss."},
    BarycentreField{kBarycentreRequestKey, "Correct wavelengths to the barycentre",
                    ui::FormField::Kind::Check, ""},
};
// clang-format on

/** What the correction of an export is computed from. */
struct BarycentreInputs {
  Observatory site;
  SkyPosition target;
  UtcInstant midExposure;
};

/**
 * The fields of kBarycentreFields, RA and DEC empty and BARYCORR not checked; BARYCORR is enabled
 * only while RA and DEC hold something.
 */
std::vector<ui::FormField> barycentreFormFields();

/** Whether BARYCORR is checked ("1"). */
bool barycentreRequested(const std::vector<ui::FormField>& fields);

/**
 * The correction's inputs from the export form's fields (the observing details' and these) and
 * DATE-OBS: nullopt unless RA, DEC, longitude, latitude, elevation and DATE-OBS are given and
 * readable and the middle of the exposure (midExposureOf; EXPTIME left empty counts as 0) falls
 * in the corrected years.
 */
std::optional<BarycentreInputs> barycentreInputsOf(const std::vector<ui::FormField>& fields,
                                                   const std::optional<std::string>& dateObs);

/**
 * Why the fields cannot be taken, or nullopt: RA or DEC given but not readable gives its refusal;
 * with BARYCORR checked, so does RA or DEC left empty, a longitude, latitude or elevation left
 * empty gives its refusal of kObservingFields, and a DATE-OBS that is unknown or whose exposure's
 * middle falls outside the corrected years the date's refusal. What observingFormRefusal refuses
 * is its to name: ask it first.
 */
std::optional<std::string> barycentreRefusal(const std::vector<ui::FormField>& fields,
                                             const std::optional<std::string>& dateObs);

/**
 * The correction to record in an export: barycentricCorrection of barycentreInputsOf, or, with
 * failure set, barycentreRefusal's refusal, or the inputs that are missing.
 */
BarycentricCorrection barycentricCorrectionOf(const std::vector<ui::FormField>& fields,
                                              const std::optional<std::string>& dateObs);

}  // namespace halvic

#include "output/barycentre_fields.h"

#include <algorithm>
#include <utility>

#include "output/mid_exposure.h"
#include "output/observing_details.h"
#include "output/sky_position.h"

namespace halvic {

namespace {

constexpr std::string_view kChecked = "1";
/** The observing details the site is made of, in the order they are checked. */
constexpr std::array<std::string_view, 3> kSiteKeys{"GEO_LONG", "GEO_LAT", "GEO_ELEV"};

std::string_view textOf(const std::vector<ui::FormField>& fields, std::string_view key) {
  const auto field = std::find_if(fields.begin(), fields.end(),
                                  [key](const ui::FormField& f) { return f.name == key; });
  return field == fields.end() ? std::string_view() : std::string_view(field->value);
}

bool isEmpty(std::string_view text) {
  return text.find_first_not_of(" \t") == std::string_view::npos;
}

std::optional<double> numberOf(const ObservingDetails& details, std::string_view key) {
  for (const ObservingNumber& number : details.numbers) {
    if (number.key == key) {
      return number.value;
    }
  }
  return std::nullopt;
}

std::string_view refusalOfField(std::string_view key) {
  for (const BarycentreField& field : kBarycentreFields) {
    if (field.key == key) {
      return field.refusal;
    }
  }
  for (const ObservingField& field : kObservingFields) {
    if (field.key == key) {
      return field.refusal;
    }
  }
  return {};
}

constexpr std::string_view kMissingInputs =
    "The correction needs the object's position, the site and the date of observation.";

std::string dateRefusal() {
  return "Date of observation (DATE-OBS) must be a UTC date and time in the years " +
         std::to_string(kFirstCorrectedYear) + " to " + std::to_string(kLastCorrectedYear) +
         " to correct to the barycentre.";
}

}  // namespace

std::vector<ui::FormField> barycentreFormFields() {
  std::vector<ui::FormField> fields;
  for (const BarycentreField& field : kBarycentreFields) {
    const bool check = field.kind == ui::FormField::Kind::Check;
    fields.push_back(
        ui::FormField{.name = std::string(field.key),
                      .label = std::string(field.label),
                      .kind = field.kind,
                      .value = check ? "0" : "",
                      .needs = check ? std::vector<std::string>{std::string(kRightAscensionKey),
                                                                std::string(kDeclinationKey)}
                                     : std::vector<std::string>{}});
  }
  return fields;
}

bool barycentreRequested(const std::vector<ui::FormField>& fields) {
  return textOf(fields, kBarycentreRequestKey) == kChecked;
}

std::optional<BarycentreInputs> barycentreInputsOf(const std::vector<ui::FormField>& fields,
                                                   const std::optional<std::string>& dateObs) {
  const ObservingDetails details = observingDetailsOf(fields);
  const std::optional<double> longitude = numberOf(details, kSiteKeys[0]);
  const std::optional<double> latitude = numberOf(details, kSiteKeys[1]);
  const std::optional<double> elevation = numberOf(details, kSiteKeys[2]);
  const std::optional<double> ra = rightAscensionOf(textOf(fields, kRightAscensionKey));
  const std::optional<double> dec = declinationOf(textOf(fields, kDeclinationKey));
  const std::optional<UtcInstant> middle =
      dateObs ? midExposureOf(*dateObs, numberOf(details, "EXPTIME").value_or(0.0)) : std::nullopt;
  if (!longitude || !latitude || !elevation || !ra || !dec || !middle) {
    return std::nullopt;
  }
  return BarycentreInputs{{*longitude, *latitude, *elevation}, {*ra, *dec}, *middle};
}

std::optional<std::string> barycentreRefusal(const std::vector<ui::FormField>& fields,
                                             const std::optional<std::string>& dateObs) {
  const bool requested = barycentreRequested(fields);
  const std::string_view ra = textOf(fields, kRightAscensionKey);
  const std::string_view dec = textOf(fields, kDeclinationKey);
  if ((requested || !isEmpty(ra)) && !rightAscensionOf(ra)) {
    return std::string(refusalOfField(kRightAscensionKey));
  }
  if ((requested || !isEmpty(dec)) && !declinationOf(dec)) {
    return std::string(refusalOfField(kDeclinationKey));
  }
  if (!requested) {
    return std::nullopt;
  }
  for (const std::string_view key : kSiteKeys) {
    if (isEmpty(textOf(fields, key))) {
      return std::string(refusalOfField(key));
    }
  }
  if (!barycentreInputsOf(fields, dateObs)) {
    return dateRefusal();
  }
  return std::nullopt;
}

BarycentricCorrection barycentricCorrectionOf(const std::vector<ui::FormField>& fields,
                                              const std::optional<std::string>& dateObs) {
  if (std::optional<std::string> refusal = barycentreRefusal(fields, dateObs)) {
    return {std::nullopt, std::move(*refusal)};
  }
  const std::optional<BarycentreInputs> inputs = barycentreInputsOf(fields, dateObs);
  if (!inputs) {
    return {std::nullopt, std::string(kMissingInputs)};
  }
  return barycentricCorrection(inputs->site, inputs->target, inputs->midExposure);
}

}  // namespace halvic

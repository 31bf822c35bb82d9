#include "output/fits_origin.h"

#include <algorithm>

#include "output/barycentre_fields.h"
#include "output/observing_details.h"
#include "ui/number_format.h"

namespace halvic {

std::string_view axisText(DispersionAxis axis) {
  return axis == DispersionAxis::Rows ? kAlongRows : kAlongColumns;
}

std::string reductionWords(const Reduction& reduction) {
  namespace field = reduction_field;
  const auto pair = [](std::string_view name, const std::string& value) {
    return std::string(name) + "=" + value;
  };
  return pair(field::kAxis, std::string(axisText(reduction.axis))) + " " +
         pair(field::kFirstRow, std::to_string(reduction.firstRow)) + " " +
         pair(field::kRows, std::to_string(reduction.rows)) + " " +
         pair(field::kFirstColumn, std::to_string(reduction.firstColumn)) + " " +
         pair(field::kColumns, std::to_string(reduction.columns)) + " " +
         pair(field::kBin, std::to_string(reduction.bin)) + " " +
         pair(field::kFlip, reduction.flip ? "1" : "0");
}

std::vector<std::string> fitsOriginHistory(const FitsOrigin& origin) {
  return {"Reduced from the FITS image " + origin.path,
          "Reduction: " + reductionWords(origin.reduction)};
}

namespace {

void setField(std::vector<ui::FormField>& fields, std::string_view name, std::string value) {
  for (ui::FormField& field : fields) {
    if (field.name == name) {
      field.value = std::move(value);
    }
  }
}

std::string sexagesimal(std::string text) {
  std::replace(text.begin(), text.end(), ' ', ':');
  return text;
}

}  // namespace

std::vector<ui::FormField> withFitsHeaderValues(std::vector<ui::FormField> fields,
                                                const FitsHeaderValues& header) {
  if (header.object) {
    setField(fields, kObjectKey, *header.object);
  }
  if (header.exposureSeconds) {
    setField(fields, kExposureKey, ui::shortestText(*header.exposureSeconds));
  }
  if (header.rightAscension && header.declination) {
    setField(fields, kRightAscensionKey, *header.rightAscension);
    setField(fields, kDeclinationKey, *header.declination);
  } else if (header.objectRightAscension && header.objectDeclination) {
    setField(fields, kRightAscensionKey, sexagesimal(*header.objectRightAscension));
    setField(fields, kDeclinationKey, sexagesimal(*header.objectDeclination));
  }
  return fields;
}

}  // namespace halvic

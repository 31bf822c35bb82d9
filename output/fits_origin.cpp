#include "output/fits_origin.h"

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

}  // namespace halvic

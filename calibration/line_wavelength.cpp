#include "calibration/line_wavelength.h"

#include "ui/number_format.h"

namespace halvic {

std::string LineWavelength::text() const {
  switch (type) {
    case Type::Int16:
      return std::to_string(static_cast<int16_t>(value));
    case Type::Single:
      return ui::shortestText(static_cast<float>(value));
    case Type::Double:
      break;
  }
  return ui::shortestText(value);
}

}  // namespace halvic

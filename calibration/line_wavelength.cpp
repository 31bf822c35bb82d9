#include "calibration/line_wavelength.h"

#include "ui/number_format.h"

namespace halvic {

LineWavelength LineWavelength::fromDouble(double wavelength) {
  return LineWavelength{Type::Double, wavelength};
}

LineWavelength LineWavelength::fromInt16(int16_t wavelength) {
  return LineWavelength{Type::Int16, static_cast<double>(wavelength)};
}

LineWavelength LineWavelength::fromSingle(float wavelength) {
  return LineWavelength{Type::Single, static_cast<double>(wavelength)};
}

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

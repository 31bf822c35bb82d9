#include "calibration/line_wavelength.h"

#include <array>
#include <charconv>

namespace halvic {

namespace {

template <typename Number>
std::string shortestText(Number number) {
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), number);
  return std::string(buffer.data(), result.ptr);
}

}  // namespace

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
      return shortestText(static_cast<int16_t>(value));
    case Type::Single:
      return shortestText(static_cast<float>(value));
    case Type::Double:
      break;
  }
  return shortestText(value);
}

}  // namespace halvic

#pragma once

#include <cstdint>
#include <string>

namespace halvic {

/**
 * A line wavelength as chosen: list lines are 64-bit floats, the two whole-number lines 16-bit
 * integers, a manual entry a 32-bit float. Equality is numeric equality of the stored values, so
 * a manual 5460.753 (the float nearest to it) differs from the list's 64-bit 5460.753.
 */
struct LineWavelength {
  enum class Type { Double, Int16, Single };

  Type type = Type::Double;
  double value = 0.0;  // holds the stored number exactly, whatever its type

  static constexpr LineWavelength fromDouble(double wavelength) {
    return LineWavelength{Type::Double, wavelength};
  }
  static constexpr LineWavelength fromInt16(int16_t wavelength) {
    return LineWavelength{Type::Int16, static_cast<double>(wavelength)};
  }
  static constexpr LineWavelength fromSingle(float wavelength) {
    return LineWavelength{Type::Single, static_cast<double>(wavelength)};
  }

  /**
   * The shortest text that reads back to the same value of its own type: a Single is printed as
   * a 32-bit float (5460.753f gives "5460.753"), an Int16 as a whole number.
   */
  std::string text() const;

  friend bool operator==(const LineWavelength& a, const LineWavelength& b) {
    return a.value == b.value;
  }
};

}  // namespace halvic

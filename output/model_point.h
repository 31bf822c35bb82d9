#pragma once

namespace halvic {

/** The grating model's output at one column: its wavelength and the diffraction angle. */
struct ModelPoint {
  double wavelength = 0.0;
  double betaDeg = 0.0;
};

}  // namespace halvic

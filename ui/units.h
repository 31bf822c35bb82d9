#pragma once

namespace halvic {

/**
 * The length units the program converts between: pixel sizes are kept in micrometres (camera
 * headers give millimetres), focal lengths in millimetres, groove spacings in micrometres (a
 * density in lines per millimetre is this over the spacing), wavelengths in Angstroms.
 */
inline constexpr double kMicrometresPerMillimetre = 1000.0;
inline constexpr double kAngstromsPerMicrometre = 10000.0;

}  // namespace halvic

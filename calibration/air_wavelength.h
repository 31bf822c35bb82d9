#pragma once

namespace halvic {

/**
 * The wavelength in air of standard conditions for a wavelength in vacuum, both in Angstroms,
 * by the IAU standard refractive index of Morton (2000):
 * n = 1 + 8.34254e-5 + 2.406147e-2 / (130 - s^2) + 1.5998e-4 / (38.9 - s^2), s = 10^4 / vacuumA,
 * and air = vacuum / n. Meant for the range of lamp lines, 2000 A and longer; shorter
 * wavelengths give a number but not a meaningful one.
 */
double airFromVacuum(double vacuumA);

/**
 * The inverse of airFromVacuum: the vacuum wavelength whose air wavelength is airA, to 1e-9 A
 * over 2000 A and longer.
 */
double vacuumFromAir(double airA);

}  // namespace halvic

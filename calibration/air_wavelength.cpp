#include "calibration/air_wavelength.h"

namespace halvic {

namespace {

constexpr double kInverseMicrometresPerInverseAngstrom = 1.0e4;

double refractiveIndexAt(double vacuumA) {
  const double s = kInverseMicrometresPerInverseAngstrom / vacuumA;
  const double s2 = s * s;
  return 1.0 + 8.34254e-5 + 2.406147e-2 / (130.0 - s2) + 1.5998e-4 / (38.9 - s2);
}

}  // namespace

double airFromVacuum(double vacuumA) { return vacuumA / refractiveIndexAt(vacuumA); }

double vacuumFromAir(double airA) {
  // vacuum = air x n(vacuum) is a fixed point that n's slow change with the wavelength makes
  // strongly contracting: above 2000 A each pass shrinks the error at least ten thousandfold, so
  // from the air wavelength (about 0.6 to 3 A off) four passes are beyond 1e-9 A.
  constexpr int kPasses = 4;
  double vacuumA = airA;
  for (int pass = 0; pass < kPasses; ++pass) {
    vacuumA = airA * refractiveIndexAt(vacuumA);
  }
  return vacuumA;
}

}  // namespace halvic

#include "calibration/air_wavelength.h"

#include <gtest/gtest.h>

#include <vector>

namespace halvic {
namespace {

// Air wavelengths worked out from the index formula in exact rational arithmetic (Python's
// fractions), to 1e-10 A; the named lines are the lamp lists' vacuum wavelengths.
TEST(AirWavelength, ConvertsBothWaysAgainstExactValues) {
  struct Row {
    const char* name;
    double vacuumA;
    double airA;
  };
  const std::vector<Row> rows = {
      {"short end of the range", 2000.0, 1999.3520267834},
      {"Hg 5461", 5462.268, 5460.7503911857},
      {"Ne 5852", 5854.1101, 5852.4877343374},
      {"H alpha", 6564.61, 6562.7970208030},
      {"Hg 10140", 10142.53, 10139.7504299451},
      {"near infrared", 12000.0, 11996.7165585527},
  };
  int checked = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_NEAR(airFromVacuum(row.vacuumA), row.airA, 1e-8);
    EXPECT_NEAR(vacuumFromAir(row.airA), row.vacuumA, 1e-8);
    EXPECT_NEAR(vacuumFromAir(airFromVacuum(row.vacuumA)), row.vacuumA, 1e-9);
    ++checked;
  }
  EXPECT_EQ(checked, 6);
}

}  // namespace
}  // namespace halvic

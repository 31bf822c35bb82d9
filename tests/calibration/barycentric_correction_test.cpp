#include "calibration/barycentric_correction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string_view>
#include <vector>

namespace halvic {
namespace {

using namespace std::chrono_literals;

// Values against astropy are checked by output.barycentre-vs-astropy; here, what is refused.
TEST(BarycentricCorrection, RefusesWhatIsNoPlaceSkyOrCorrectedYear) {
  struct Row {
    std::string_view name;
    Observatory site;
    SkyPosition target;
    UtcInstant instant;
    bool corrected;
  };
  const Observatory site{-17.88, 28.76, 2326};
  const SkyPosition crab{83.633, 22.0145};
  const UtcInstant night{2024y / 3 / 14, 76360};
  const std::vector<Row> rows{
      {"a night", site, crab, night, true},
      {"the first moment of 1900", site, crab, {1900y / 1 / 1, 0}, true},
      {"the last second of 2100", site, crab, {2100y / 12 / 31, 86399.5}, true},
      {"1899", site, crab, {1899y / 12 / 31, 86399.5}, false},
      {"2101", site, crab, {2101y / 1 / 1, 0}, false},
      {"no 30 February", site, crab, {2024y / 2 / 30, 0}, false},
      {"a whole day of seconds", site, crab, {2024y / 3 / 14, 86400}, false},
      {"negative seconds", site, crab, {2024y / 3 / 14, -1}, false},
      {"latitude 91", {0, 91, 0}, crab, night, false},
      {"elevation not a number", {0, 45, std::nan("")}, crab, night, false},
      {"declination -91", site, {83.633, -91}, night, false},
      {"right ascension infinite", site, {INFINITY, 22}, night, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const BarycentricCorrection v = barycentricCorrection(row.site, row.target, row.instant);
    EXPECT_EQ(v.metresPerSecond.has_value(), row.corrected);
    EXPECT_EQ(v.failure.empty(), row.corrected);
  }
}

}  // namespace
}  // namespace halvic

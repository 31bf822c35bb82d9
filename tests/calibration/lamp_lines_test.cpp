#include "calibration/lamp_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "calibration/line_list.h"

namespace halvic {
namespace {

// The built-in list's lamp lines are air wavelengths from elsewhere: each one the lamp lists also
// hold must come out within 0.015 A of it, which a line left in vacuum (1.6 to 2 A off) or given
// to the wrong element misses. The Hg lines at 6716 and 6907 A and Ne 7024, 7051 and 7059 A are
// not in the lamp lists.
TEST(LampLines, AgreeWithTheBuiltInLampLines) {
  struct Row {
    const char* name;
    LineSource source;
    LampElement element;
    int found;
  };
  const std::vector<Row> rows = {
      {"mercury", LineSource::Mercury, LampElement::Hg, 6},
      {"neon", LineSource::Neon, LampElement::Ne, 24},
      {"argon", LineSource::Argon, LampElement::Ar, 5},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::vector<LampLine> lines = lampLinesOf(std::vector{row.element});
    ASSERT_FALSE(lines.empty());
    int found = 0;
    for (const LineListEntry& entry : lineList()) {
      if (entry.source != row.source) {
        continue;
      }
      const double wavelength = entry.wavelength.value;
      const auto nearest = std::min_element(
          lines.begin(), lines.end(), [wavelength](const LampLine& a, const LampLine& b) {
            return std::abs(a.airA - wavelength) < std::abs(b.airA - wavelength);
          });
      if (std::abs(nearest->airA - wavelength) < 0.1) {
        EXPECT_NEAR(nearest->airA, wavelength, 0.015) << entry.text;
        ++found;
      }
    }
    EXPECT_EQ(found, row.found);
  }
}

// Counts are the rows of the lists; the strongest line is the one of the largest amplitude in
// the lists (Ne 6404.018 A in vacuum for neon with argon), seen through its air wavelength.
TEST(LampLines, GivesTheChosenElementsSortedWithTheirStrengths) {
  struct Row {
    const char* name;
    std::vector<LampElement> elements;
    size_t count;
    double strongestAirA;
    double strongest;
  };
  const std::vector<Row> rows = {
      {"none", {}, 0, 0.0, 0.0},
      {"mercury", {LampElement::Hg}, 12, 4358.3350, 38125.0},
      {"helium", {LampElement::He}, 9, 3888.6480, 2565.0},
      {"neon and argon", {LampElement::Ne, LampElement::Ar}, 204, 6402.2482, 64450.0},
      {"argon named twice", {LampElement::Ar, LampElement::Ar}, 155, 8103.6926, 63969.0},
      {"zinc and cadmium", {LampElement::Zn, LampElement::Cd}, 35, 4810.5255, 49870.0},
      {"all eight", {kLampElements.begin(), kLampElements.end()}, 309, 6402.2482, 64450.0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::vector<LampLine> lines = lampLinesOf(row.elements);
    ASSERT_EQ(lines.size(), row.count);
    EXPECT_TRUE(
        std::is_sorted(lines.begin(), lines.end(),
                       [](const LampLine& a, const LampLine& b) { return a.airA < b.airA; }));
    for (const LampLine& line : lines) {
      EXPECT_NE(std::find(row.elements.begin(), row.elements.end(), line.element),
                row.elements.end());
    }
    if (!lines.empty()) {
      const auto strongest = std::max_element(
          lines.begin(), lines.end(),
          [](const LampLine& a, const LampLine& b) { return a.strength < b.strength; });
      EXPECT_NEAR(strongest->airA, row.strongestAirA, 1e-4);
      EXPECT_EQ(strongest->strength, row.strongest);
    }
  }
}

}  // namespace
}  // namespace halvic

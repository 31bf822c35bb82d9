#include "calibration/lamp_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "calibration/line_list.h"

namespace halvic {
namespace {

const auto byWavelength = [](const LampLine& a, const LampLine& b) { return a.airA < b.airA; };
const auto byStrength = [](const LampLine& a, const LampLine& b) {
  return a.strength < b.strength;
};

// The built-in list's lamp lines are air wavelengths from elsewhere: each one the lamp lists also
// hold must come out within 0.015 A of it, which a line left in vacuum (1.6 to 2 A off) or given
// to the wrong element misses. Hg 6716 and 6907 A and Ne 7024, 7051 and 7059 A are not listed.
TEST(LampLines, AgreeWithTheBuiltInLampLines) {
  struct Row {
    LineSource source;
    LampElement element;
    int found;
  };
  for (const Row& row :
       {Row{LineSource::Mercury, LampElement::Hg, 6}, Row{LineSource::Neon, LampElement::Ne, 24},
        Row{LineSource::Argon, LampElement::Ar, 5}}) {
    SCOPED_TRACE(lampElementSymbol(row.element));
    const std::vector<LampLine> lines = lampLinesOf(std::vector{row.element});
    int found = 0;
    for (const LineListEntry& entry : lineList()) {
      double nearest = 1e9;
      for (const LampLine& line : lines) {
        const double difference = line.airA - entry.wavelength.value;
        nearest = std::abs(difference) < std::abs(nearest) ? difference : nearest;
      }
      if (entry.source == row.source && std::abs(nearest) < 0.1) {
        EXPECT_LE(std::abs(nearest), 0.015) << entry.text;
        ++found;
      }
    }
    EXPECT_EQ(found, row.found);
  }
}

// Counts are the rows of the lists; the strongest line is the one of the largest amplitude in the
// lists (Ne 6404.018 A in vacuum for neon with argon), seen through its air wavelength.
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
      {"neon and argon", {LampElement::Ne, LampElement::Ar}, 204, 6402.2482, 64450.0},
      {"argon named twice", {LampElement::Ar, LampElement::Ar}, 155, 8103.6926, 63969.0},
      {"all eight", {kLampElements.begin(), kLampElements.end()}, 309, 6402.2482, 64450.0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::vector<LampLine> lines = lampLinesOf(row.elements);
    ASSERT_EQ(lines.size(), row.count);
    EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end(), byWavelength));
    for (const LampLine& line : lines) {
      EXPECT_NE(std::find(row.elements.begin(), row.elements.end(), line.element),
                row.elements.end());
    }
    if (!lines.empty()) {
      const LampLine strongest = *std::max_element(lines.begin(), lines.end(), byStrength);
      EXPECT_NEAR(strongest.airA, row.strongestAirA, 1e-4);
      EXPECT_EQ(strongest.strength, row.strongest);
    }
  }
}

}  // namespace
}  // namespace halvic

#include "calibration/line_wavelength.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace halvic {
namespace {

TEST(LineWavelength, TextIsShortestFormOfItsOwnType) {
  struct Row {
    LineWavelength wavelength;
    const char* expected;
  };
  const std::vector<Row> rows = {
      {LineWavelength::fromDouble(6562.852), "6562.852"},
      {LineWavelength::fromDouble(3650.15), "3650.15"},
      {LineWavelength::fromDouble(7024.05), "7024.05"},
      {LineWavelength::fromInt16(4959), "4959"},
      {LineWavelength::fromInt16(-12), "-12"},
      {LineWavelength::fromSingle(5460.753f), "5460.753"},
      {LineWavelength::fromSingle(0.1f), "0.1"},
  };
  int checked = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expected);
    EXPECT_EQ(row.wavelength.text(), row.expected);
    ++checked;
  }
  EXPECT_EQ(checked, 7);
}

TEST(LineWavelength, EqualityIsNumericAcrossTypes) {
  // A manual entry is the float nearest to what was typed, not the list's 64-bit value.
  EXPECT_NE(LineWavelength::fromSingle(5460.753f), LineWavelength::fromDouble(5460.753));
  EXPECT_EQ(LineWavelength::fromSingle(5460.753f),
            LineWavelength::fromDouble(static_cast<double>(5460.753f)));
  EXPECT_EQ(LineWavelength::fromInt16(4959), LineWavelength::fromDouble(4959.0));
  EXPECT_EQ(LineWavelength::fromInt16(5007), LineWavelength::fromSingle(5007.0f));
  EXPECT_NE(LineWavelength::fromInt16(4959), LineWavelength::fromInt16(5007));
}

}  // namespace
}  // namespace halvic

#include "ui/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace halvic::ui {
namespace {

struct FormatRow {
  double value;
  const char* pattern;
  const char* expected;
};

TEST(FormatNumber, FollowsEachPattern) {
  const std::vector<FormatRow> rows = {
      // Digits the pattern always shows, digits shown only when significant.
      {140.0, "#00.00", "140.00"},
      {95.5, "#00.00", "95.50"},
      {5.25, "#00.00", "05.25"},
      {5.25, "#00.000", "05.250"},
      {381.0, "##0.00", "381.00"},
      {381.75, "##0.00", "381.75"},
      {0.5, "##0.00", "0.50"},
      {6562.852, "###0.00", "6562.85"},
      {12345.678, "###0.00", "12345.68"},
      {0.0, "##0", "0"},
      {1234567.0, "######0", "1234567"},
      {1e20, "######0", "100000000000000000000"},
      {472.5, "0.0000", "472.5000"},
      {0.00049, "0.0000", "0.0005"},
      // Rounding carries into new integer digits.
      {0.999, "##0.00", "1.00"},
      {99.9996, "#00.000", "100.000"},
      {9999.996, "###0.00", "10000.00"},
      // Exact binary ties go to the even neighbour.
      {0.125, "##0.00", "0.12"},
      {0.375, "##0.00", "0.38"},
      {2.5, "##0", "2"},
      {3.5, "##0", "4"},
      {0.03125, "0.0000", "0.0312"},
      // Decimal texts that are not ties in binary round by their exact binary value.
      {1.005, "##0.00", "1.00"},    // 1.00499999999999989...
      {2.675, "##0.00", "2.67"},    // 2.67499999999999982...
      {0.045, "##0.00", "0.04"},    // 0.04499999999999999833...
      {1.015, "##0.00", "1.01"},    // 1.01499999999999990...
      {-0.005, "##0.00", "-0.01"},  // -0.005000000000000000104...
      // Negative values.
      {-5.25, "#00.000", "-05.250"},
      {-304.2797, "#00.00", "-304.28"},
      {-217.63055419921875, "0.0000", "-217.6306"},
      {-2.5, "######0", "-2"},
      // A value that rounds to zero has no minus sign.
      {-0.0, "##0.00", "0.00"},
      {-0.004, "##0.00", "0.00"},
      {-0.4, "######0", "0"},
      {-0.5, "##0", "0"},
  };
  int checked = 0;
  for (const FormatRow& row : rows) {
    SCOPED_TRACE(std::string(row.pattern) + " of " + std::to_string(row.value));
    EXPECT_EQ(formatNumber(row.value, row.pattern), row.expected);
    ++checked;
  }
  EXPECT_EQ(checked, 35);
}

TEST(FormatNumber, NonFiniteValuesGiveReadableWords) {
  const double infinity = std::numeric_limits<double>::infinity();
  EXPECT_EQ(formatNumber(std::nan(""), "###0.00"), "NaN");
  EXPECT_EQ(formatNumber(-std::nan(""), "##0"), "NaN");
  EXPECT_EQ(formatNumber(infinity, "#00.00"), "Infinity");
  EXPECT_EQ(formatNumber(-infinity, "0.0000"), "-Infinity");
}

TEST(LabelText, PutsBlankBeforeNonNegativeNumbers) {
  EXPECT_EQ(labelText(5), " 5");
  EXPECT_EQ(labelText(-5), "-5");
  EXPECT_EQ(labelText(0), " 0");
  EXPECT_EQ(labelText(768), " 768");
  EXPECT_EQ(labelText(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
}

}  // namespace
}  // namespace halvic::ui

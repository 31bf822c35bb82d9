#include "output/csv_export.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>
#include <vector>

namespace halvic {
namespace {

ProfileArray profileOf(const std::vector<int32_t>& values) {
  ProfileArray profile;
  for (std::size_t i = 0; i < values.size(); ++i) {
    profile.set(static_cast<int>(i) + 1, values[i]);
  }
  return profile;
}

// Wavelengths of the worked example (9 um, 140 mm, alpha 2.5, 6.666666 um grooves, gamma 6.16)
// by an independent double-precision computation, in Python's shortest round-trip form:
// column 1 7398.619532188577, 2 7394.3709469817095, 3 7390.1223298856785.
TEST(BuildCsvExport, WritesAHeaderAndOneShortestLineAColumn) {
  const GratingModel workedExample{.xPixelSize = 9.0f,
                                   .focalLengthMm = 140.0,
                                   .alphaDeg = 2.5,
                                   .grooveSpacingUm = 6.666666,
                                   .gammaDeg = 6.16,
                                   .degreesPerRadian = 57.29578f};
  struct Row {
    std::string_view name;
    std::vector<int32_t> values;
    int16_t length;
    std::optional<GratingModel> calibration;
    std::string_view bytes;
  };
  const std::vector<Row> rows{
      {"not calibrated", {5, 0, -7}, 3, std::nullopt, "pixel,value\n1,5\n2,0\n3,-7\n"},
      {"calibrated",
       {5, 0, -7},
       3,
       workedExample,
       "wavelength_angstrom,value\n7398.619532188577,5\n7394.3709469817095,0\n"
       "7390.1223298856785,-7\n"},
      // Whole numbers as they are, where a 32-bit float would have rounded 16777217.
      {"large values exactly",
       {16777217, 2147483647},
       2,
       std::nullopt,
       "pixel,value\n1,16777217\n2,2147483647\n"},
      {"columns beyond the values are 0", {7}, 2, std::nullopt, "pixel,value\n1,7\n2,0\n"},
      {"no columns", {5}, 0, std::nullopt, "pixel,value\n"},
      {"no columns, calibrated", {5}, 0, workedExample, "wavelength_angstrom,value\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(buildCsvExport(profileOf(row.values), row.length, row.calibration), row.bytes);
  }
}

}  // namespace
}  // namespace halvic

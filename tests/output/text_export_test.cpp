#include "output/text_export.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/grating_examples.h"

namespace halvic {
namespace {

TEST(TextExportName, ReplacesTheLastThreeCharactersWithTxt) {
  struct Row {
    std::string_view name;
    std::string_view image;
    std::string_view text;
  };
  const std::vector<Row> rows{
      {"three-letter extension", "night1.abc", "night1.txt"},
      {"folders kept", "a/b/img.kr4", "a/b/img.txt"},
      {"longer extension keeps its start", "a/b/img.fits", "a/b/img.ftxt"},
      {"shorter extension loses the dot too", "dir/img.k2", "dir/imgtxt"},
      {"no extension", "/data/frame", "/data/frtxt"},
      {"non-ASCII character removed whole",
       "img.k\xC3\xB6"
       "4",
       "img.txt"},
      {"non-ASCII name kept", "\xC3\xA9t\xC3\xA9.kr4", "\xC3\xA9t\xC3\xA9.txt"},
      {"three characters", "abc", "txt"},
      {"two characters", "ab", "txt"},
      {"one character", "a", "txt"},
      {"a folder's mark among the three: the whole name kept", "sub/ab", "sub/ab.txt"},
      {"one character at the root", "/a", "/a.txt"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(textExportName(row.image), row.text);
  }
}

ProfileArray profileOf(const std::vector<int32_t>& values) {
  ProfileArray profile;
  for (std::size_t i = 0; i < values.size(); ++i) {
    profile.set(static_cast<int>(i) + 1, values[i]);
  }
  return profile;
}

// Wavelengths of the worked example by an independent double-precision computation:
// column 1 7398.6195, 2 7394.3709, 3 7390.1223.
TEST(BuildTextExport, WritesOneQuotedItemOfTabSeparatedLines) {
  struct Row {
    std::string_view name;
    std::vector<int32_t> values;
    int16_t length;
    std::optional<GratingModel> calibration;
    std::string_view bytes;
  };
  const std::vector<Row> rows{
      {"uncalibrated, three columns",
       {5, 0, 1234567},
       3,
       std::nullopt,
       "\"\r\n1\t5\r\n2\t0\r\n3\t1234567\r\n\r\n\"\r\n"},
      {"calibrated, three columns",
       {5, 0, 1234567},
       3,
       test::workedExampleModel(),
       "\"\r\n1\t7398.62\t5\r\n2\t7394.37\t0\r\n3\t7390.12\t1234567\r\n\r\n\"\r\n"},
      // 16777217 and 123456789 have no 32-bit float; the nearest are 16777216 and 123456792.
      {"values through a 32-bit float",
       {16777217, 123456789},
       2,
       std::nullopt,
       "\"\r\n1\t16777216\r\n2\t123456792\r\n\r\n\"\r\n"},
      {"negative value keeps its sign", {-42}, 1, std::nullopt, "\"\r\n1\t-42\r\n\r\n\"\r\n"},
      {"columns beyond the values are 0", {7}, 2, std::nullopt, "\"\r\n1\t7\r\n2\t0\r\n\r\n\"\r\n"},
      {"no columns", {5}, 0, std::nullopt, "\"\r\n\r\n\"\r\n"},
      {"no columns, calibrated", {5}, 0, test::workedExampleModel(), "\"\r\n\r\n\"\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ProfileArray profile = profileOf(row.values);
    const TextExport text =
        buildTextExport({.profile = profile, .length = row.length, .calibration = row.calibration});
    EXPECT_EQ(text.bytes, row.bytes);
    EXPECT_EQ(text.lastEvaluated.has_value(), row.calibration.has_value() && row.length > 0);
  }
}

/** The lines of a text, each without its CR LF; a missing CR LF at the end is a failure. */
std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "text ends without CR LF";
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::vector<std::string> fieldsOf(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', start)) {
    fields.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
  fields.push_back(line.substr(start));
  return fields;
}

TEST(BuildTextExport, A765ColumnProfileGives765LinesOfTwoFields) {
  ProfileArray profile;
  for (int column = 1; column <= 765; ++column) {
    profile.set(column, 1000 + column);
  }
  const std::vector<std::string> lines =
      linesOf(buildTextExport({.profile = profile, .length = 765}).bytes);
  ASSERT_EQ(lines.size(), 1U + 765U + 2U);
  EXPECT_EQ(lines.front(), "\"");
  EXPECT_EQ(lines[765 + 1], "");
  EXPECT_EQ(lines.back(), "\"");
  for (int column = 1; column <= 765; ++column) {
    const std::vector<std::string> fields = fieldsOf(lines[static_cast<std::size_t>(column)]);
    ASSERT_EQ(fields.size(), 2U) << "column " << column;
    EXPECT_EQ(fields[0], std::to_string(column));
    EXPECT_EQ(fields[1], std::to_string(1000 + column));
  }
}

// Hand-worked wavelengths of the worked example: 5782.34 A at column 381 (on the axis, beta =
// alpha) and 6552.59 A at column 200. Columns 5 and 25 sit next to a rounding tie: 7381.6250002 A
// and 7296.6447918 A as 64-bit values, which a 32-bit float would turn into 7381.625 (written
// 7381.62) and 7296.6450195 (written 7296.65).
TEST(BuildTextExport, CalibratedLinesCarryTheWavelengthOfEachWholeColumn) {
  ProfileArray profile;
  for (int column = 1; column <= 381; ++column) {
    profile.set(column, 10 * column);
  }
  const TextExport text = buildTextExport(
      {.profile = profile, .length = 381, .calibration = test::workedExampleModel()});
  const std::vector<std::string> lines = linesOf(text.bytes);
  ASSERT_EQ(lines.size(), 1U + 381U + 2U);
  struct Row {
    std::size_t column;
    std::string_view line;
  };
  const std::vector<Row> rows{
      {1, "1\t7398.62\t10"},       {5, "5\t7381.63\t50"},       {25, "25\t7296.64\t250"},
      {200, "200\t6552.59\t2000"}, {381, "381\t5782.34\t3810"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(lines[row.column], row.line);
  }
  // The usual orientation: the wavelength falls as the column rises.
  double previous = 1e9;
  for (std::size_t column = 1; column <= 381; ++column) {
    const std::vector<std::string> fields = fieldsOf(lines[column]);
    ASSERT_EQ(fields.size(), 3U) << "column " << column;
    const double wavelength = std::strtod(fields[1].c_str(), nullptr);
    EXPECT_LT(wavelength, previous) << "column " << column;
    previous = wavelength;
  }
  ASSERT_TRUE(text.lastEvaluated.has_value());
  EXPECT_NEAR(text.lastEvaluated->wavelength, 5782.34, 0.005);
  EXPECT_EQ(text.lastEvaluated->betaDeg, 2.5);  // exactly: column 381 is on the axis
}

}  // namespace
}  // namespace halvic

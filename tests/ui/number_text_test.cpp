#include "ui/number_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "ui/headless/transcript_text.h"

namespace halvic::ui {
namespace {

TEST(NumberTextTest, ParsesDecimalsAsTypedOrWrittenInAHeader) {
  struct Row {
    std::string text;
    std::optional<double> expected;
  };
  const std::vector<Row> rows{
      {"20", 20.0},          {"  640 ", 640.0},       {"-5", -5.0},
      {"+7", 7.0},           {"0.009", 0.009},        {".5", 0.5},
      {"1.5e3", 1500.0},     {"", std::nullopt},      {"  ", std::nullopt},
      {"12a", std::nullopt}, {"1 2", std::nullopt},   {"inf", std::nullopt},
      {"nan", std::nullopt}, {"1e999", std::nullopt}, {"-", std::nullopt},
      {"1e", std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("'" + row.text + "'");
    EXPECT_EQ(parseDecimal(row.text), row.expected);
  }
  EXPECT_EQ(rows.size(), 16U);
}

TEST(NumberTextTest, WholeNumbersRoundHalfToEvenAndMustFit) {
  constexpr WholeNumberStatus kOk = WholeNumberStatus::Ok;
  constexpr WholeNumber kNotANumber{WholeNumberStatus::NotANumber, 0};
  constexpr WholeNumber kOutOfRange{WholeNumberStatus::OutOfRange, 0};
  struct Row {
    std::string text;
    WholeNumber expected;
  };
  const std::vector<Row> rows{
      {"2.5", {kOk, 2}},         {"3.5", {kOk, 4}},           {"-2.5", {kOk, -2}},
      {"32767", {kOk, 32767}},   {"32767.4", {kOk, 32767}},   {"32767.5", kOutOfRange},
      {"-32768", {kOk, -32768}}, {"-32768.5", {kOk, -32768}}, {"-32769", kOutOfRange},
      {"1e300", kOutOfRange},    {"x", kNotANumber},          {"", kNotANumber},
      {"1e999", kNotANumber},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    const WholeNumber parsed = parseWholeNumber(row.text, -32768, 32767);
    EXPECT_EQ(parsed.status, row.expected.status);
    EXPECT_EQ(parsed.value, row.expected.value);
  }
  EXPECT_EQ(rows.size(), 13U);
}

TEST(NumberTextTest, RoundedToIntRoundsHalfToEvenAndRefusesWhatNoIntHolds) {
  constexpr int kMax = std::numeric_limits<int>::max();  // 2147483647
  constexpr int kMin = std::numeric_limits<int>::min();  // -2147483648
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  struct Row {
    std::string name;
    double value;
    std::optional<int> expected;
  };
  const std::vector<Row> rows{
      {"zero", 0.0, 0},
      {"a half down to even zero", 0.5, 0},
      {"one and a half up to two", 1.5, 2},
      {"two and a half down to two", 2.5, 2},
      {"below a half", 2.4999, 2},
      {"above a half", 2.5001, 3},
      {"negative half to even", -2.5, -2},
      {"negative one and a half", -1.5, -2},
      {"largest int", 2147483647.0, kMax},
      {"just above the largest int, rounded back", 2147483647.4, kMax},
      {"a half above the largest int, rounded out of range", 2147483647.5, std::nullopt},
      {"a half below the largest int, rounded to even", 2147483646.5, 2147483646},
      {"smallest int", -2147483648.0, kMin},
      {"a half below the smallest int, rounded back to even", -2147483648.5, kMin},
      {"one and a half below the smallest int", -2147483649.5, std::nullopt},
      {"far beyond", 1e300, std::nullopt},
      {"positive infinity", kInfinity, std::nullopt},
      {"negative infinity", -kInfinity, std::nullopt},
      {"not a number", std::numeric_limits<double>::quiet_NaN(), std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(roundedToInt(row.value), row.expected);
  }
  EXPECT_EQ(rows.size(), 19U);
}

TEST(TranscriptTextTest, EscapesLineBreaksAndBackslashes) {
  EXPECT_EQ(transcriptText("a\r\nb\\c"), "a\\r\\nb\\\\c");
  EXPECT_EQ(transcriptText("plain"), "plain");
}

}  // namespace
}  // namespace halvic::ui

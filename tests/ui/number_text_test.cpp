#include "ui/number_text.h"

#include <gtest/gtest.h>

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

TEST(TranscriptTextTest, EscapesLineBreaksAndBackslashes) {
  EXPECT_EQ(transcriptText("a\r\nb\\c"), "a\\r\\nb\\\\c");
  EXPECT_EQ(transcriptText("plain"), "plain");
}

}  // namespace
}  // namespace halvic::ui

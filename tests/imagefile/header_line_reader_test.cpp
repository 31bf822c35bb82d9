#include "imagefile/header_line_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace halvic {
namespace {

struct MatchCase {
  std::string pattern;
  std::string text;
  bool found;
};

TEST(StreamingMatcher, FindsPatternsWhosePrefixesRepeat) {
  const std::vector<MatchCase> cases = {
      {"aab", "aaab", true},     {"abab", "abaabab", true},
      {"abab", "abaaba", false}, {"Compressed Image", "xCompressed Imag", false},
      {"aa", "a", false},        {"Compressed Image", "CCompressed Image!", true},
  };
  int checked = 0;
  for (const MatchCase& row : cases) {
    SCOPED_TRACE(row.pattern + " in " + row.text);
    StreamingMatcher matcher(row.pattern);
    for (char character : row.text) {
      matcher.feed(character);
    }
    EXPECT_EQ(matcher.found(), row.found);
    ++checked;
  }
  EXPECT_EQ(checked, 6);
}

TEST(HeaderLineReader, KeepsTheStartOfALongLineAndSearchesAllOfIt) {
  std::stringbuf data(std::string(3'000'000, 'x') + "Compressed Image\n\rnext\n\r", std::ios::in);
  HeaderLineReader reader(data);
  HeaderLine line;

  ASSERT_TRUE(reader.next(line));
  EXPECT_EQ(line.kept, std::string(kMaxKeptLineLength, 'x'));
  EXPECT_EQ(line.length, 3'000'017U);  // the x's, the marker and the line feed
  EXPECT_TRUE(line.isCut());
  EXPECT_TRUE(line.hasCompressedMarker);

  ASSERT_TRUE(reader.next(line));
  EXPECT_EQ(line.kept, "next\n");
  EXPECT_FALSE(line.isCut());
  EXPECT_FALSE(line.hasCompressedMarker);

  EXPECT_FALSE(reader.next(line));
}

}  // namespace
}  // namespace halvic

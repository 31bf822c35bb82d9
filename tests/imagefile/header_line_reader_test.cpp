#include "imagefile/header_line_reader.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace halvic

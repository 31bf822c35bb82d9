// One value of a kept header block, read by the scan's own rules: what follows the key and one
// blank, less the line's last character (the line feed of the usual LF CR ending).

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "imagefile/image_reader.h"
#include "tests/imagefile/image_file_fixtures.h"

namespace halvic {
namespace {

using test::headerBlock;

HeaderBytes kept(const std::string& block) {
  HeaderBytes header{};
  std::copy_n(block.begin(), std::min(block.size(), header.size()), header.begin());
  return header;
}

TEST(HeaderValue, ReadsTheValueOfAKeyUpToTheEndLine) {
  struct Row {
    std::string_view name;
    std::string block;
    std::optional<std::string_view> value;
  };
  const std::vector<Row> rows{
      {"the camera's date", headerBlock({"KR-4 Image", "Height = 20", "Date = 03/14/2024", "End"}),
       "03/14/2024"},
      {"blanks kept", headerBlock({"Date =  3/14/2024 ", "End"}), " 3/14/2024 "},
      {"CR LF endings lose the value's last character",
       headerBlock({"Date = 03/14/2024", "End"}, test::kCrLf), "03/14/202"},
      {"the last line of the key counts",
       headerBlock({"Date = 1/1/2000", "Date = 2/2/2002", "End"}), "2/2/2002"},
      {"after the End line", headerBlock({"Height = 20", "End", "Date = 03/14/2024"}),
       std::nullopt},
      {"no such line", headerBlock({"Height = 20", "End"}), std::nullopt},
      {"the key inside a line", headerBlock({"Old Date = 03/14/2024", "End"}), std::nullopt},
      {"the key without a value", headerBlock({"Date =", "End"}), std::nullopt},
      {"no End line", headerBlock({"Date = 03/14/2024"}), "03/14/2024"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(headerValue(kept(row.block), kDateKey), row.value);
  }
}

}  // namespace
}  // namespace halvic

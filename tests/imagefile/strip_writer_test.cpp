#include "imagefile/strip_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace halvic {
namespace {

HeaderBytes headerOf(const std::string& text) {
  HeaderBytes header{};
  std::copy(text.begin(), text.end(), header.begin());
  return header;
}

std::string text(const HeaderBytes& header, size_t from, size_t count) {
  return std::string(header.begin() + static_cast<std::ptrdiff_t>(from),
                     header.begin() + static_cast<std::ptrdiff_t>(from + count));
}

/** Counts the blanks at the end of the block. */
size_t trailingBlanks(const HeaderBytes& header) {
  size_t count = 0;
  while (count < header.size() && header[header.size() - 1 - count] == ' ') {
    ++count;
  }
  return count;
}

TEST(StripHeaderBlock, RelabelsFromTheFirstLetterIAsAPlainKr4Image) {
  struct Row {
    std::string name;
    std::string source;
    std::string firstLine;  // what the block starts with
    size_t trailingBlanks;
  };
  const std::vector<Row> rows{
      // p = 5: bytes 5 on are copied from byte 5, the zero filler up to the end included.
      {"plain KR-4 source copied unchanged after its first five bytes",
       "KR-4 Image\n\rHeight = 20\n\r", "KR-4 Image\n\rHeight = 20\n\r", 0},
      // p = 16 (the I of "Image" in "ST-7 Compressed Image"): 11 bytes to the left, 11 blanks.
      {"compressed source of another model", "ST-7 Compressed Image\n\rHeight = 20\n\r",
       "KR-4 Image\n\rHeight = 20\n\r", 11},
      // No I among bytes 0 to 29: copied from byte 30, 25 blanks at the end.
      {"no I in the first 30 bytes", "ABCD image without the letter.XYZ\n\r", "KR-4 XYZ\n\r", 25},
      // An image never loaded: a block of zeros, copied from byte 30.
      {"no image loaded", "", std::string("KR-4 ") + std::string(5, '\0'), 25},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const HeaderBytes block = stripHeaderBlock(headerOf(row.source));
    EXPECT_EQ(text(block, 0, row.firstLine.size()), row.firstLine);
    EXPECT_EQ(trailingBlanks(block), row.trailingBlanks);
  }
}

TEST(StripImageFile, RowsRepeatTheProfileOverTwentyHeldTo15Bits) {
  // 39 \ 20 = 1, -5 \ 20 = 0 (truncated, then held at 0), 700000 \ 20 = 35000 held at 32767,
  // 300 \ 20 = 15 (bytes 0x0F 0x00), -25 \ 20 = -1 held at 0.
  const std::vector<int32_t> profile{39, -5, 700000, 300, -25};
  const std::string row("\x01\x00\x00\x00\xFF\x7F\x0F\x00\x00\x00", 10);
  const std::vector<char> file = stripImageFile(HeaderBytes{}, 3, 5, profile);
  ASSERT_EQ(file.size(), 2048U + 3 * 10);
  EXPECT_EQ(std::string(file.begin() + 2048, file.end()), row + row + row);
}

TEST(StripImageFile, HoldsOnlyWhatTheSizesAndTheProfileAllow) {
  struct Row {
    std::string name;
    int16_t height;
    int16_t width;
    size_t profileColumns;
    size_t size;
  };
  const std::vector<Row> rows{
      {"no image loaded: the header block alone", 0, 0, 0, 2048},
      {"768 by 20", 20, 768, 768, 2048 + 20 * 768 * 2},
      {"taller than 20 rows held to 20", 25, 4, 4, 2048 + 20 * 4 * 2},
      {"negative sizes write no rows", -3, -7, 4, 2048},
      {"no more columns than the profile has", 2, 10, 4, 2048 + 2 * 4 * 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::vector<int32_t> profile(row.profileColumns, 400);
    EXPECT_EQ(stripImageFile(HeaderBytes{}, row.height, row.width, profile).size(), row.size);
  }
}

}  // namespace
}  // namespace halvic

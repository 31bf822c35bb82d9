#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "imagefile/image_reader.h"
#include "tests/imagefile/image_file_fixtures.h"

namespace halvic {
namespace {

using test::bytes;
using test::headerBlock;
using test::le16;

constexpr int16_t kUntouched = 1234;

using Rows = std::vector<std::vector<int16_t>>;

struct PixelCase {
  std::string name;
  bool compressed;
  int16_t height;
  int16_t width;
  std::string pixelArea;  // the bytes from offset 2048 on
  ReadStatus status;
  Rows stored;  // what rows 1, 2, ... hold afterwards in their first columns
};

std::string header() {
  return headerBlock({"KR-4 Image", bytes({'N', 'o', 't', 'e', ' ', 0xE9, 0xFF}), "End"});
}

std::string plainRows(int height, int width, int16_t (*value)(int column, int row)) {
  std::string area;
  for (int row = 1; row <= height; ++row) {
    for (int column = 1; column <= width; ++column) {
      area += le16(static_cast<uint16_t>(value(column, row)));
    }
  }
  return area;
}

Rows expectedRows(int height, int width, int16_t (*value)(int column, int row)) {
  Rows rows(static_cast<size_t>(height));
  for (int row = 1; row <= height; ++row) {
    for (int column = 1; column <= width; ++column) {
      rows[static_cast<size_t>(row - 1)].push_back(value(column, row));
    }
  }
  return rows;
}

int16_t patternValue(int column, int row) { return static_cast<int16_t>(column + 1000 * row); }

/** A delta row from 0 going down by 127 per column: below -32768 at column 260. */
PixelCase fallingBelowTheSmallestValue() {
  PixelCase row{"decoded value below -32768", true, 1, 300, {}, ReadStatus::ValueOutOfRange, {{}}};
  std::string body = bytes({0x00, 0x00}) + std::string(299, static_cast<char>(0x81));
  row.pixelArea = le16(static_cast<uint16_t>(body.size())) + body;
  for (int column = 1; column <= 259; ++column) {
    row.stored[0].push_back(static_cast<int16_t>(-127 * (column - 1)));
  }
  return row;
}

// clang-format off
std::vector<PixelCase> pixelCases() {
  return {
      {"plain values clamped to 32767", false, 1, 5, le16(0xFFFF) + le16(0x7FFF) + le16(0x0000) + le16(0x8000) + le16(0x1234), ReadStatus::Ok, {{32767, 32767, 0, 32767, 0x1234}}},
      {"plain rows follow each other without framing", false, 2, 3, le16(1) + le16(2) + le16(3) + le16(4) + le16(5) + le16(6), ReadStatus::Ok, {{1, 2, 3}, {4, 5, 6}}},
      {"400 by 10 leaves the other cells", false, 10, 400, plainRows(10, 400, patternValue), ReadStatus::Ok, expectedRows(10, 400, patternValue)},
      {"768 by 20 fills the array", false, 20, 768, plainRows(20, 768, patternValue), ReadStatus::Ok, expectedRows(20, 768, patternValue)},
      {"plain pixel area ends inside the second row", false, 2, 3, le16(1) + le16(2) + le16(3) + le16(4), ReadStatus::TruncatedFile, {{1, 2, 3}}},
      {"delta bytes, escape never a delta", true, 1, 6, le16(9) + bytes({0xE8, 0x03, 0xFF, 0x7F, 0x81, 0x80, 0x34, 0x12, 0x01}), ReadStatus::Ok, {{1000, 999, 1126, 999, 0x1234, 0x1235}}},
      {"running value above 32767 comes back", true, 1, 3, le16(4) + bytes({0xF8, 0x7F, 0x0A, 0xF6}), ReadStatus::Ok, {{32760, 32767, 32760}}},
      {"escaped value above 32767 is clamped, deltas run on from it", true, 1, 4, le16(7) + bytes({0x00, 0x00, 0x80, 0xFF, 0xFF, 0xFF, 0x81}), ReadStatus::Ok, {{0, 32767, 32767, 32767}}},
      {"raw and delta rows alternate", true, 3, 2, le16(4) + bytes({0x05, 0x00, 0x06, 0x00}) + le16(3) + bytes({0x0A, 0x00, 0x02}) + le16(4) + bytes({0x80, 0x00, 0xFF, 0xFF}), ReadStatus::Ok, {{5, 6}, {10, 12}, {128, 32767}}},
      {"body bytes after the last pixel are skipped", true, 2, 2, le16(6) + bytes({0x10, 0x00, 0x05, 0xAA, 0xBB, 0xCC}) + le16(3) + bytes({0x01, 0x00, 0x01}), ReadStatus::Ok, {{16, 21}, {1, 2}}},
      {"row length 0", true, 2, 2, le16(3) + bytes({0x07, 0x00, 0x01}) + le16(0), ReadStatus::BadRowLength, {{7, 8}}},
      {"negative row length", true, 1, 2, le16(0xFFFF) + bytes({0x07, 0x00, 0x01}), ReadStatus::BadRowLength, {}},
      {"delta body ends before the last pixel", true, 1, 3, le16(3) + bytes({0x01, 0x00, 0x01}), ReadStatus::TruncatedRow, {{1, 2}}},
      {"delta body ends inside an escape", true, 1, 3, le16(4) + bytes({0x01, 0x00, 0x80, 0x05}), ReadStatus::TruncatedRow, {{1}}},
      {"delta body too short for the first pixel", true, 1, 1, le16(1) + bytes({0x01}), ReadStatus::TruncatedRow, {}},
      fallingBelowTheSmallestValue(),
      {"file ends before a row length", true, 2, 1, le16(2) + bytes({0x09, 0x00}), ReadStatus::TruncatedFile, {{9}}},
      {"file ends inside a row body", true, 1, 4, le16(10) + bytes({1, 0, 1, 1}), ReadStatus::TruncatedFile, {}},
      {"no rows", false, 0, 5, "", ReadStatus::Ok, {}},
      {"no columns", true, 3, -2, "", ReadStatus::Ok, {}},
      {"too tall", false, 21, 1, plainRows(21, 1, patternValue), ReadStatus::ValueOutOfRange, {}},
      {"too wide", true, 1, 769, le16(2) + le16(7), ReadStatus::ValueOutOfRange, {}},
  };
}
// clang-format on

/** The expected cell, or kUntouched outside what the case stores. */
int16_t expectedCell(const Rows& stored, int column, int row) {
  if (row > static_cast<int>(stored.size())) {
    return kUntouched;
  }
  const std::vector<int16_t>& values = stored[static_cast<size_t>(row - 1)];
  return column <= static_cast<int>(values.size()) ? values[static_cast<size_t>(column - 1)]
                                                   : kUntouched;
}

int countMismatches(const ImageArray& image, const Rows& stored) {
  int mismatches = 0;
  for (int row = 1; row <= kImageRows; ++row) {
    for (int column = 1; column <= kImageColumns; ++column) {
      const int16_t expected = expectedCell(stored, column, row);
      if (image.at(column, row) != expected) {
        if (mismatches < 5) {
          ADD_FAILURE() << "cell (" << column << ", " << row << ") holds " << image.at(column, row)
                        << ", expected " << expected;
        }
        ++mismatches;
      }
    }
  }
  return mismatches;
}

TEST(ReadImagePixels, DecodesRowsIntoTheirCells) {
  const test::TempDir dir;
  const std::vector<PixelCase> cases = pixelCases();
  int checked = 0;
  for (const PixelCase& row : cases) {
    SCOPED_TRACE(row.name);
    const std::string path =
        dir.write("case" + std::to_string(checked) + ".kr4", header() + row.pixelArea);
    ImageArray image;
    image.fill(kUntouched);
    HeaderBytes headerBytes{};

    EXPECT_EQ(readImagePixels(path, row.compressed, row.height, row.width, image, headerBytes),
              row.status);

    EXPECT_EQ(countMismatches(image, row.stored), 0);
    ++checked;
  }
  EXPECT_EQ(checked, 22);
}

TEST(ReadImagePixels, KeepsTheHeaderBlockVerbatim) {
  const test::TempDir dir;
  const std::string file = header() + le16(0x0102);
  const std::string path = dir.write("header.kr4", file);
  ImageArray image;
  HeaderBytes headerBytes{};

  EXPECT_EQ(readImagePixels(path, false, 1, 1, image, headerBytes), ReadStatus::Ok);

  EXPECT_EQ(std::string(headerBytes.begin(), headerBytes.end()), file.substr(0, kHeaderSize));
  EXPECT_EQ(image.at(1, 1), 0x0102);
}

TEST(ReadImagePixels, ShortOrRefusedFilesLeaveTheHeaderCopy) {
  const test::TempDir dir;
  const std::string shortPath = dir.write("short.kr4", header().substr(0, 2047));
  const std::string fullPath = dir.write("full.kr4", header());
  HeaderBytes headerBytes{};
  headerBytes.fill(0x5A);
  const HeaderBytes before = headerBytes;
  ImageArray image;

  EXPECT_EQ(readImagePixels(shortPath, false, 0, 0, image, headerBytes), ReadStatus::TruncatedFile);
  EXPECT_EQ(readImagePixels(fullPath, false, 1, 769, image, headerBytes),
            ReadStatus::ValueOutOfRange);
  EXPECT_EQ(readImagePixels(dir.path() + "/absent.kr4", false, 1, 1, image, headerBytes),
            ReadStatus::CannotOpen);
  EXPECT_EQ(headerBytes, before);
}

TEST(ReadImagePixels, StreamFormMatchesFileForm) {
  std::istringstream data(header() + le16(4) + bytes({0x02, 0x00, 0x80, 0x03, 0x00}));
  ImageArray image;
  HeaderBytes headerBytes{};
  EXPECT_EQ(readImagePixels(data, true, 1, 3, image, headerBytes), ReadStatus::TruncatedRow);
  EXPECT_EQ(image.at(1, 1), 2);
  EXPECT_EQ(image.at(2, 1), 0);
}

}  // namespace
}  // namespace halvic

namespace halvic {
namespace {

// A refused file says where it went wrong: the header key whose value is bad, or the row that
// ends early, so that a user can look there.
TEST(ReadReasons, NameTheKeyOrTheRow) {
  struct Row {
    std::string name;
    std::string file;
    std::string reason;
  };
  const std::string header = test::headerBlock({"Height = 3", "Width = 2", "End"});
  const std::string compressedHeader =
      test::headerBlock({"KR-4 Compressed Image", "Height = 3", "Width = 4", "End"});
  const std::vector<Row> rows{
      {"a width that is no number", test::headerBlock({"Width = two", "End"}),
       "the value of Width = is not a number"},
      {"a height past 16 bits", test::headerBlock({"Height = 40000", "End"}),
       "the value of Height = is out of range"},
      {"a range without its value", test::headerBlock({"Range =", "End"}), "Range = has no value"},
      {"plain rows ending in row 2", header + test::le16(1) + test::le16(2) + test::le16(3),
       "the file ends early, in row 2"},
      {"a compressed row 2 cut short",
       compressedHeader + test::le16(8) + std::string(8, '\1') + test::le16(3) +
           test::bytes({1, 0, 5}),
       "row 2 ends before its last pixel"},
      {"a compressed row 3 of length 0",
       compressedHeader + test::le16(8) + std::string(8, '\1') + test::le16(8) +
           std::string(8, '\1') + test::le16(0),
       "row 3 has a length below 1"},
  };
  const test::TempDir dir;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = dir.write("image.kr4", row.file);
    ImageHeaderFields fields;
    FileReadStatus read = scanImageHeader(path, fields);
    if (read == ReadStatus::Ok) {
      ImageArray image;
      HeaderBytes bytes{};
      read = readImagePixels(path, fields.compressed, fields.height, fields.width, image, bytes);
    }
    EXPECT_EQ(describe(read), row.reason);
  }
}

}  // namespace
}  // namespace halvic

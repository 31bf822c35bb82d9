// Whole files kept under data/: fuzzer seeds of typical shapes and any input the fuzzer found
// troublesome. Each is read the way a load reads it, and every file there must be listed here.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "imagefile/image_reader.h"
#include "tests/imagefile/image_file_fixtures.h"

namespace halvic {
namespace {

struct StoredInput {
  std::string file;
  ReadStatus scanStatus;
  ReadStatus pixelStatus;  // checked only when the scan succeeds
  int16_t height;
  int16_t width;
  bool compressed;
  std::vector<int16_t> lastRow;  // the first columns of row `height` after the read
};

std::vector<StoredInput> storedInputs() {
  return {
      {"plain_2x3.kr4", ReadStatus::Ok, ReadStatus::Ok, 2, 3, false, {0, 500, 32767}},
      {"compressed_3x4.kr4", ReadStatus::Ok, ReadStatus::Ok, 3, 4, true, {16, 15, 20, 147}},
      {"crlf_header.kr4", ReadStatus::NoEndLine, ReadStatus::Ok, 1, 2, false, {}},
  };
}

std::string dataPath(const std::string& file) {
  return std::string(HALVIC_IMAGEFILE_TEST_DATA) + "/" + file;
}

TEST(RegressionInputs, EveryStoredFileReadsAsRecorded) {
  const std::vector<StoredInput> inputs = storedInputs();
  int checked = 0;
  for (const StoredInput& input : inputs) {
    SCOPED_TRACE(input.file);
    const std::string path = dataPath(input.file);
    ImageHeaderFields fields;

    ASSERT_EQ(scanImageHeader(path, fields), input.scanStatus);

    EXPECT_EQ(fields.height, input.height);
    EXPECT_EQ(fields.width, input.width);
    EXPECT_EQ(fields.compressed, input.compressed);
    if (input.scanStatus == ReadStatus::Ok) {
      ImageArray image;
      HeaderBytes headerBytes{};
      EXPECT_EQ(
          readImagePixels(path, fields.compressed, fields.height, fields.width, image, headerBytes),
          input.pixelStatus);
      std::vector<int16_t> lastRow;
      for (int column = 1; column <= fields.width; ++column) {
        lastRow.push_back(image.at(column, fields.height));
      }
      EXPECT_EQ(lastRow, input.lastRow);
    }
    ++checked;
  }
  EXPECT_EQ(checked, 3);
}

TEST(RegressionInputs, EveryFileUnderDataIsListed) {
  std::set<std::string> present;
  for (const auto& entry : std::filesystem::directory_iterator(HALVIC_IMAGEFILE_TEST_DATA)) {
    present.insert(entry.path().filename().string());
  }
  std::set<std::string> listed;
  for (const StoredInput& input : storedInputs()) {
    listed.insert(input.file);
  }
  EXPECT_EQ(present, listed);
}

}  // namespace
}  // namespace halvic

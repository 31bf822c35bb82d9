#include "tools/samplegen/camera_image_encoder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "imagefile/image_reader.h"

namespace halvic::samplegen {
namespace {

CameraImageHeader smallHeader(int16_t height, int16_t width) {
  CameraImageHeader header;
  header.height = height;
  header.width = width;
  header.background = 120;
  header.range = 3500;
  header.xPixelSizeMm = "0.009";
  header.date = "01/02/2024";
  header.time = "03:04:05";
  return header;
}

std::string writeTemporary(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = ::testing::TempDir() + "/encoder_test_" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return path;
}

struct ReadBack {
  ReadStatus headerStatus = ReadStatus::CannotOpen;
  ReadStatus pixelStatus = ReadStatus::CannotOpen;
  ImageHeaderFields fields;
  ImageArray image;
};

ReadBack readBack(const std::string& path) {
  ReadBack result;
  result.headerStatus = scanImageHeader(path, result.fields).status;
  HeaderBytes headerBytes{};
  result.pixelStatus = readImagePixels(path, result.fields.compressed, result.fields.height,
                                       result.fields.width, result.image, headerBytes)
                           .status;
  return result;
}

/** The byte count L of each compressed row record, in row order. */
std::vector<int> recordLengths(const std::vector<uint8_t>& pixelArea, int height) {
  std::vector<int> lengths;
  size_t offset = 0;
  for (int row = 1; row <= height && offset + 1 < pixelArea.size(); ++row) {
    const int length = pixelArea[offset] | (pixelArea[offset + 1] << 8);
    lengths.push_back(length);
    offset += 2 + static_cast<size_t>(length);
  }
  EXPECT_EQ(offset, pixelArea.size()) << "records must fill the pixel area exactly";
  return lengths;
}

TEST(CameraImageEncoderTest, DeltaBytesAndEscapes) {
  struct Row {
    int first, second;
    std::vector<uint8_t> body;  // first pixel little-endian, then the coded second pixel
  };
  const std::vector<Row> rows = {
      {100, 100, {0x64, 0x00, 0x00}},
      {100, 227, {0x64, 0x00, 0x7F}},              // +127, the largest one-byte step
      {227, 100, {0xE3, 0x00, 0x81}},              // -127
      {5, 4, {0x05, 0x00, 0xFF}},                  // -1
      {100, 228, {0x64, 0x00, 0x80, 0xE4, 0x00}},  // +128 needs the escape
      {228, 100, {0xE4, 0x00, 0x80, 0x64, 0x00}},  // -128 would be 0x80 itself: escape
      {0, 32767, {0x00, 0x00, 0x80, 0xFF, 0x7F}},  // the full range in one step
      {32767, 32700, {0xFF, 0x7F, 0xBD}},          // -67
      {300, 30000, {0x2C, 0x01, 0x80, 0x30, 0x75}},
  };
  int checked = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.first) + " -> " + std::to_string(row.second));
    ImageArray image;
    image.set(1, 1, static_cast<int16_t>(row.first));
    image.set(2, 1, static_cast<int16_t>(row.second));
    EXPECT_EQ(encodeDeltaRowBody(image, 1, 2), row.body);
    ++checked;
  }
  EXPECT_EQ(checked, 9);
}

TEST(CameraImageEncoderTest, HeaderBlockReadsBackThroughTheReader) {
  struct Case {
    PixelForm form;
    std::string firstLine;
  };
  const std::vector<Case> cases = {{PixelForm::Plain, "KR-4 Image\n\r"},
                                   {PixelForm::Compressed, "KR-4 Compressed Image\n\r"}};
  int checked = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.firstLine);
    const auto block = encodeHeaderBlock(smallHeader(3, 4), c.form);
    ASSERT_TRUE(block.has_value());
    ASSERT_EQ(block->size(), static_cast<size_t>(kHeaderSize));
    EXPECT_EQ(std::string(block->begin(), block->begin() + static_cast<long>(c.firstLine.size())),
              c.firstLine);
    EXPECT_EQ(block->back(), 0);  // filler

    const std::string path = writeTemporary("header", *block);
    ImageHeaderFields fields;
    ASSERT_EQ(scanImageHeader(path, fields), ReadStatus::Ok);
    EXPECT_EQ(fields.compressed, c.form == PixelForm::Compressed);
    EXPECT_EQ(fields.height, 3);
    EXPECT_EQ(fields.width, 4);
    EXPECT_EQ(fields.background, 120);
    EXPECT_EQ(fields.range, 3500);
    EXPECT_EQ(fields.xPixelSize, 9.0f);
    EXPECT_EQ(fields.caption, path + " captured on 01/02/2024 at 03:04:05");
    ++checked;
  }
  EXPECT_EQ(checked, 2);
}

TEST(CameraImageEncoderTest, HeaderTooLongForItsBlockIsRefused) {
  CameraImageHeader header = smallHeader(1, 1);
  header.date = std::string(2100, 'x');
  EXPECT_FALSE(encodeHeaderBlock(header, PixelForm::Plain).has_value());
  EXPECT_FALSE(encodeCameraImage(header, ImageArray{}, PixelForm::Plain, nullptr).has_value());
}

TEST(CameraImageEncoderTest, CompressedRowsPickRawOrDeltaAndDecodeAlike) {
  constexpr int kWidth = 8;
  constexpr int kHeight = 4;
  const std::vector<std::vector<int>> pixelRows = {
      {100, 110, 90, 300, 310, 305, 32767, 32760},  // two escapes: delta, 13 bytes
      {500, 501, 502, 503, 504, 505, 506, 507},     // smooth: delta, 9 bytes
      {7, 8, 9, 10, 11, 12, 13, 14},                // smooth, but asked to be raw
      {0, 1000, 0, 1000, 0, 1000, 0, 1000},         // all escapes: delta would be 23 bytes, raw
  };
  ImageArray image;
  for (int row = 1; row <= kHeight; ++row) {
    for (int column = 1; column <= kWidth; ++column) {
      image.set(column, row,
                static_cast<int16_t>(
                    pixelRows[static_cast<size_t>(row - 1)][static_cast<size_t>(column - 1)]));
    }
  }
  const auto storeRaw = [](int row) { return row == 3; };
  const std::vector<uint8_t> area = encodeCompressedPixels(image, kHeight, kWidth, storeRaw);
  EXPECT_EQ(recordLengths(area, kHeight), (std::vector<int>{13, 9, 16, 16}));

  const auto file =
      encodeCameraImage(smallHeader(kHeight, kWidth), image, PixelForm::Compressed, storeRaw);
  ASSERT_TRUE(file.has_value());
  const ReadBack decoded = readBack(writeTemporary("rows.kr4", *file));
  ASSERT_EQ(decoded.headerStatus, ReadStatus::Ok);
  ASSERT_EQ(decoded.pixelStatus, ReadStatus::Ok);
  EXPECT_EQ(decoded.image, image);
}

TEST(CameraImageEncoderTest, PlainAndCompressedFilesDecodeToTheSamePixels) {
  constexpr int kWidth = 768;
  constexpr int kHeight = 20;
  ImageArray image;
  for (int row = 1; row <= kHeight; ++row) {
    for (int column = 1; column <= kWidth; ++column) {
      // Steps of every size, both signs, across the whole 0..32767 range.
      image.set(column, row, static_cast<int16_t>((column * column * 37 + row * 1013) % 32768));
    }
  }
  const auto everyThird = [](int row) { return row % 3 == 0; };
  int checked = 0;
  for (PixelForm form : {PixelForm::Plain, PixelForm::Compressed}) {
    SCOPED_TRACE(form == PixelForm::Plain ? "plain" : "compressed");
    const auto file = encodeCameraImage(smallHeader(kHeight, kWidth), image, form, everyThird);
    ASSERT_TRUE(file.has_value());
    if (form == PixelForm::Plain) {
      EXPECT_EQ(file->size(), static_cast<size_t>(kHeaderSize + 2 * kWidth * kHeight));
    }
    const ReadBack decoded = readBack(writeTemporary("full.kr4", *file));
    ASSERT_EQ(decoded.headerStatus, ReadStatus::Ok);
    ASSERT_EQ(decoded.pixelStatus, ReadStatus::Ok);
    EXPECT_EQ(decoded.image, image);
    ++checked;
  }
  EXPECT_EQ(checked, 2);
}

}  // namespace
}  // namespace halvic::samplegen

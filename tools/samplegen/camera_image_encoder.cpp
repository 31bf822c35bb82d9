#include "tools/samplegen/camera_image_encoder.h"

#include <string_view>

namespace halvic::samplegen {

namespace {

constexpr uint8_t kDeltaEscape = 0x80;
constexpr int kLargestDelta = 127;

void appendLittleEndian16(std::vector<uint8_t>& bytes, int value) {
  const auto bits = static_cast<uint16_t>(value);
  bytes.push_back(static_cast<uint8_t>(bits & 0xFFU));
  bytes.push_back(static_cast<uint8_t>(bits >> 8U));
}

std::vector<uint8_t> encodeRawRowBody(const ImageArray& image, int row, int width) {
  std::vector<uint8_t> body;
  body.reserve(static_cast<size_t>(2 * width));
  for (int column = 1; column <= width; ++column) {
    appendLittleEndian16(body, image.at(column, row));
  }
  return body;
}

}  // namespace

std::vector<uint8_t> encodePlainPixels(const ImageArray& image, int height, int width) {
  std::vector<uint8_t> bytes;
  bytes.reserve(static_cast<size_t>(2 * width * height));
  for (int row = 1; row <= height; ++row) {
    const std::vector<uint8_t> body = encodeRawRowBody(image, row, width);
    bytes.insert(bytes.end(), body.begin(), body.end());
  }
  return bytes;
}

std::vector<uint8_t> encodeDeltaRowBody(const ImageArray& image, int row, int width) {
  std::vector<uint8_t> body;
  if (width < 1) {
    return body;
  }
  int previous = image.at(1, row);
  appendLittleEndian16(body, previous);
  for (int column = 2; column <= width; ++column) {
    const int value = image.at(column, row);
    const int difference = value - previous;
    if (difference >= -kLargestDelta && difference <= kLargestDelta) {
      // Two's complement byte: -1 is 0xFF, -127 is 0x81; 0x80 (-128) is never produced here.
      body.push_back(static_cast<uint8_t>(difference & 0xFF));
    } else {
      body.push_back(kDeltaEscape);
      appendLittleEndian16(body, value);
    }
    previous = value;
  }
  return body;
}

std::vector<uint8_t> encodeCompressedPixels(const ImageArray& image, int height, int width,
                                            const std::function<bool(int row)>& storeRaw) {
  std::vector<uint8_t> bytes;
  const size_t rawLength = static_cast<size_t>(2 * width);
  for (int row = 1; row <= height; ++row) {
    std::vector<uint8_t> body = encodeDeltaRowBody(image, row, width);
    if ((storeRaw && storeRaw(row)) || body.size() >= rawLength) {
      body = encodeRawRowBody(image, row, width);
    }
    appendLittleEndian16(bytes, static_cast<int>(body.size()));
    bytes.insert(bytes.end(), body.begin(), body.end());
  }
  return bytes;
}

std::optional<std::vector<uint8_t>> encodeCameraImage(
    const CameraImageHeader& header, const ImageArray& image, PixelForm form,
    const std::function<bool(int row)>& storeRaw) {
  std::optional<std::vector<uint8_t>> bytes = encodeHeaderBlock(header, form);
  if (!bytes) {
    return std::nullopt;
  }
  const std::vector<uint8_t> pixels =
      form == PixelForm::Compressed
          ? encodeCompressedPixels(image, header.height, header.width, storeRaw)
          : encodePlainPixels(image, header.height, header.width);
  bytes->insert(bytes->end(), pixels.begin(), pixels.end());
  return bytes;
}

}  // namespace halvic::samplegen

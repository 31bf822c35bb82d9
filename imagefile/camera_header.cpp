#include "imagefile/camera_header.h"

#include "imagefile/image_reader.h"

namespace halvic {

namespace {

// Header lines end with line feed, then carriage return: the reader drops the last character
// before each carriage return, which is the line feed.
constexpr std::string_view kLineEnd = "\n\r";

void appendLine(std::string& text, std::string_view line) {
  text.append(line);
  text.append(kLineEnd);
}

void appendKeyLine(std::string& text, std::string_view key, std::string_view value) {
  text.append(key);
  text.push_back(' ');
  appendLine(text, value);
}

void appendKnownLine(std::string& text, std::string_view key,
                     const std::optional<std::string>& value) {
  if (value) {
    appendKeyLine(text, key, *value);
  }
}

}  // namespace

std::optional<std::vector<uint8_t>> encodeHeaderBlock(const CameraImageHeader& header,
                                                      PixelForm form) {
  std::string text;
  appendLine(text, form == PixelForm::Compressed ? "KR-4 Compressed Image" : "KR-4 Image");
  appendLine(text, "Height = " + std::to_string(header.height));
  appendLine(text, "Width = " + std::to_string(header.width));
  appendLine(text, "Background = " + std::to_string(header.background));
  appendLine(text, "Range = " + std::to_string(header.range));
  appendLine(text, "X_pixel_size = " + header.xPixelSizeMm);
  appendKnownLine(text, kDateKey, header.date);
  appendKnownLine(text, kTimeKey, header.time);
  appendKnownLine(text, kExposureKey, header.exposureSeconds);
  appendLine(text, "End");
  if (text.size() > static_cast<size_t>(kHeaderSize)) {
    return std::nullopt;
  }
  std::vector<uint8_t> block(static_cast<size_t>(kHeaderSize), 0);
  for (size_t i = 0; i < text.size(); ++i) {
    block[i] = static_cast<uint8_t>(text[i]);
  }
  return block;
}

}  // namespace halvic

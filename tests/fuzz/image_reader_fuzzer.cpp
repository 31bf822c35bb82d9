// Feeds arbitrary bytes to the camera image reader as a whole file: the header scan first, then
// the pixel decoding with the scanned size and form (or, when the scan fails, a size taken from
// the input so the decoder is reached anyway). Aborts when a read writes outside the rows and
// columns it was given or changes the header copy without reading a full header block.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "imagefile/image_reader.h"

namespace {

constexpr int16_t kUntouched = -4321;

void require(bool condition) {
  if (!condition) {
    std::abort();
  }
}

struct PixelRequest {
  bool compressed;
  int16_t height;
  int16_t width;
};

/** Sizes from the first bytes, reaching a little past the array's bounds on both sides. */
PixelRequest requestFromInput(const uint8_t* data, size_t size) {
  if (size < 3) {
    return {false, 1, 1};
  }
  return {(data[0] & 1U) != 0, static_cast<int16_t>(data[1] % 24 - 2),
          static_cast<int16_t>((data[2] * 4) % 780 - 4)};
}

/** Only the first width columns of the first height rows may have changed. */
void checkCellsOutsideUntouched(const halvic::ImageArray& image, int16_t height, int16_t width) {
  halvic::ImageArray expected;
  expected.fill(kUntouched);
  for (int row = 1; row <= std::min<int>(height, halvic::kImageRows); ++row) {
    for (int column = 1; column <= std::min<int>(width, halvic::kImageColumns); ++column) {
      expected.set(column, row, image.at(column, row));
    }
  }
  require(image == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);

  std::istringstream headerData(file);
  halvic::ImageHeaderFields fields;
  const halvic::ReadStatus scanStatus = halvic::scanImageHeader(headerData, "fuzz", fields);
  require(fields.caption.size() <= halvic::kMaxCaptionLength);

  PixelRequest request = requestFromInput(data, size);
  if (scanStatus == halvic::ReadStatus::Ok) {
    request = {fields.compressed, fields.height, fields.width};
  }

  std::istringstream pixelData(file);
  halvic::ImageArray image;
  image.fill(kUntouched);
  halvic::HeaderBytes headerBytes{};
  headerBytes.fill(0xA5);
  const halvic::ReadStatus pixelStatus = halvic::readImagePixels(
      pixelData, request.compressed, request.height, request.width, image, headerBytes);

  checkCellsOutsideUntouched(image, request.height, request.width);
  const bool headerRead = size >= static_cast<size_t>(halvic::kHeaderSize) &&
                          request.height <= halvic::kImageRows &&
                          request.width <= halvic::kImageColumns;
  if (headerRead) {
    require(std::equal(headerBytes.begin(), headerBytes.end(), data));
  } else {
    require(pixelStatus != halvic::ReadStatus::Ok);
    require(std::all_of(headerBytes.begin(), headerBytes.end(),
                        [](uint8_t byte) { return byte == 0xA5; }));
  }
  return 0;
}

#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "imagefile/camera_header.h"
#include "imagefile/image_array.h"

namespace halvic::samplegen {

/**
 * The plain pixel area: rows 1..height, columns 1..width, 16-bit little-endian each. Pixel
 * values are expected in 0..32767.
 */
std::vector<uint8_t> encodePlainPixels(const ImageArray& image, int height, int width);

/**
 * The delta-coded body of one row: the first pixel as 16-bit little-endian, then one signed byte
 * per difference in -127..127, or the escape byte 0x80 and the full 16-bit value for any other
 * difference.
 */
std::vector<uint8_t> encodeDeltaRowBody(const ImageArray& image, int row, int width);

/**
 * The compressed pixel area: one record per row, a 16-bit little-endian byte count L and the
 * body. A row is stored raw (L = 2 x width) when storeRaw says so for its row number, or when its
 * delta body would not be shorter than the raw row (a delta body of exactly 2 x width bytes would
 * be read as raw).
 */
std::vector<uint8_t> encodeCompressedPixels(const ImageArray& image, int height, int width,
                                            const std::function<bool(int row)>& storeRaw);

/**
 * A whole camera image file: header block and pixel area of header.height rows and header.width
 * columns. In compressed form storeRaw picks the rows stored raw (see encodeCompressedPixels);
 * it is not consulted in plain form. nullopt when the header does not fit its block.
 */
std::optional<std::vector<uint8_t>> encodeCameraImage(const CameraImageHeader& header,
                                                      const ImageArray& image, PixelForm form,
                                                      const std::function<bool(int row)>& storeRaw);

}  // namespace halvic::samplegen

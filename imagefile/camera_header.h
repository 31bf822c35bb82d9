#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "imagefile/image_array.h"

namespace halvic {

/** How the pixel area of a camera image file is stored. */
enum class PixelForm { Plain, Compressed };

/** The header key of the exposure, in seconds; the reader keeps it only in the header block. */
inline constexpr std::string_view kExposureKey = "Exposure =";

/** The header values written into a camera image file, each on its own line. */
struct CameraImageHeader {
  int16_t height = 0;
  int16_t width = 0;
  int16_t background = 0;
  int32_t range = 0;
  std::string xPixelSizeMm;  // written as it stands, e.g. "0.009"
  std::optional<std::string> date;
  std::optional<std::string> time;
  std::optional<std::string> exposureSeconds;
};

/**
 * The 2048-byte header block: "KR-4 Image" or "KR-4 Compressed Image", the key lines (date, time
 * and exposure only when they are given), "End", each line ended by LF CR, then zero filler.
 * nullopt when the text does not fit the block.
 */
std::optional<std::vector<uint8_t>> encodeHeaderBlock(const CameraImageHeader& header,
                                                      PixelForm form);

}  // namespace halvic

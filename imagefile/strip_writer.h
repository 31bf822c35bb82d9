#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "imagefile/image_array.h"

namespace halvic {

/** The model word every strip image file starts with, a blank included. */
inline constexpr std::string_view kStripModelWord = "KR-4 ";

/**
 * The header block of a strip image file made from the header block of its source image: "KR-4 "
 * in bytes 0 to 4, then the source from its first "I" among bytes 0 to 29 (byte 30 when there is
 * none), padded with blanks to 2048 bytes. Copying from the I of "Image" (or of the "Image" in
 * "Compressed Image") makes the first line "KR-4 Image", a plain image, and moves the rest of the
 * header text left by the same number of bytes; the key lines stay those of the source.
 */
HeaderBytes stripHeaderBlock(const HeaderBytes& source);

/**
 * A whole strip image file: the header block above, then `height` plain rows of `width` pixels,
 * every row the same: each profile value divided by 20 (truncating toward zero), held to
 * 0..32767, as 16-bit little-endian. profile holds columns 1..width in order. height is held to
 * 0..20 and width to 0..768 and to the values given, so that no more is written than there is.
 */
std::vector<char> stripImageFile(const HeaderBytes& source, int16_t height, int16_t width,
                                 std::span<const int32_t> profile);

}  // namespace halvic

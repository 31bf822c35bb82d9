#pragma once

#include <optional>
#include <string>

namespace halvic::fits {

/**
 * Why the header that starts headerStart bytes into the file open as descriptor must not be
 * handed to cfitsio, or nullopt when it may. cfitsio 4.2 works out a unit as it moves to it and
 * fails on some damage there: it copies a TTYPEn value of 70 characters into 70 bytes (only a
 * value without quotes can be that long), writes past its message buffer when a whole-number
 * key's value of 29 characters or more cannot be read, and divides by a tile size of 0. So every
 * TTYPEn must be a quoted text; every occurrence of a key cfitsio reads as a whole number
 * (BITPIX, NAXISn, PCOUNT, ZTILEn, ZVALn, ...) a number of fewer than 29 characters; none of
 * these keys, nor those naming a unit's type, columns and compression, may appear twice, since
 * which of two cfitsio finds depends on the order of its reads ("its header is damaged"). When
 * the unit is a tile-compressed image (ZIMAGE = T), ZNAXIS must be 1 to 6, each ZNAXISn and any
 * ZTILEn 1 to kMaxFitsPixels, ZBITPIX a FITS BITPIX and any ZDITHER0 1 to 10000 ("its compressed
 * image's header is damaged"). The header is read card by card up to its END card or the end of
 * the file; nothing of it is kept.
 */
std::optional<std::string> unitHeaderRefusal(int descriptor, long long headerStart);

}  // namespace halvic::fits

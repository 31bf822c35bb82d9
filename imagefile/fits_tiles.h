#pragma once

#include <fitsio.h>

#include <optional>
#include <string>

namespace halvic::fits {

/**
 * Why the tile-compressed image of the current unit of file, of width x height pixels, must not
 * be decompressed, or nullopt when it may. Only RICE_1, GZIP_1, GZIP_2 and NOCOMPRESS are read
 * ("its compression (HCOMPRESS_1) is not read"); the table and its heap must lie inside the
 * file's fileSize bytes ("the file ends early"); every tile's array must lie inside the heap, a
 * RICE_1 tile's code must end within its bytes and its block size be 1 or more, and a GZIP
 * stream must end within 8 bytes a pixel ("its compressed tiles are damaged"). cfitsio 4.2
 * allocates what a tile claims, its RICE_1 decoder reads past a damaged tile's bytes and its GZIP
 * decoder runs for ever on a stream cut short, so each of these would cost memory, crash or hang.
 */
std::optional<std::string> compressedTilesRefusal(fitsfile* file, long long fileSize, int width,
                                                  int height);

}  // namespace halvic::fits

#pragma once

#include <fitsio.h>

#include <optional>
#include <string>

namespace halvic::fits {

/**
 * Why the tile-compressed image of the current unit of file, of width x height pixels, must not
 * be decompressed, or nullopt when it may: its table and heap do not lie inside the file's
 * fileSize bytes ("the file ends early"), a tile's array lies outside the heap, a RICE_1 tile's
 * code runs past its bytes or its block size is below 1, a GZIP tile's stream does not end
 * within 8 bytes a pixel ("its compressed tiles are damaged"), or it is compressed as a mask
 * (PLIO_1). cfitsio 4.2 allocates what a tile claims, its RICE_1 and PLIO_1 decoders read past a
 * damaged tile's bytes and its GZIP decoder runs for ever on a stream cut short, so each of these
 * would cost memory, crash or hang.
 */
std::optional<std::string> compressedTilesRefusal(fitsfile* file, long long fileSize, int width,
                                                  int height);

}  // namespace halvic::fits

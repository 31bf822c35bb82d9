#include "imagefile/fits_tiles.h"

#include <strings.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "imagefile/fits_keys.h"

namespace halvic::fits {

namespace {

constexpr const char* kDamaged = "its compressed tiles are damaged";

/** A tile's array in the heap: its length in elements and its place from the heap's start. */
struct Descriptor {
  LONGLONG length = 0;
  LONGLONG offset = 0;
};

/** The table of tiles: its size, its heap, and where the heap starts after the rows. */
struct TileTable {
  LONGLONG rowBytes = 0;
  LONGLONG rows = 0;
  LONGLONG dataBytes = 0;
  LONGLONG heapStart = 0;
};

std::optional<TileTable> tableInsideFile(fitsfile* file, LONGLONG fileSize) {
  const LONGLONG rowBytes = wholeKey(file, "NAXIS1").value_or(-1);
  const LONGLONG rows = wholeKey(file, "NAXIS2").value_or(-1);
  const LONGLONG heapBytes = wholeKey(file, "PCOUNT").value_or(-1);
  LONGLONG headerStart = 0;
  LONGLONG dataStart = 0;
  LONGLONG dataEnd = 0;
  int status = 0;
  fits_get_hduaddrll(file, &headerStart, &dataStart, &dataEnd, &status);
  forget(status);
  const LONGLONG room = fileSize - dataStart;
  if (status != 0 || rowBytes < 0 || rows < 0 || heapBytes < 0 ||
      (rowBytes > 0 && rows > room / rowBytes) || rowBytes * rows + heapBytes > room) {
    return std::nullopt;
  }
  const LONGLONG heapStart = wholeKey(file, "THEAP").value_or(rowBytes * rows);
  return TileTable{rowBytes, rows, rowBytes * rows + heapBytes, heapStart};
}

bool arraysInsideHeap(fitsfile* file, const TileTable& table) {
  int columns = 0;
  int status = 0;
  fits_get_num_cols(file, &columns, &status);
  for (int column = 1; column <= columns && status == 0; ++column) {
    int type = 0;
    LONGLONG repeat = 0;
    LONGLONG elementBytes = 0;
    fits_get_coltypell(file, column, &type, &repeat, &elementBytes, &status);
    for (LONGLONG row = 1; type < 0 && row <= table.rows && status == 0; ++row) {
      Descriptor tile;
      fits_read_descriptll(file, column, row, &tile.length, &tile.offset, &status);
      const LONGLONG room = table.dataBytes - table.heapStart - tile.offset;
      if (tile.length < 0 || tile.offset < 0 || room < 0 ||
          tile.length > room / std::max<LONGLONG>(elementBytes, 1)) {
        return false;
      }
    }
  }
  forget(status);
  return status == 0;
}

/** Reads bits from the most significant of each byte on, never past the last byte. */
class BitReader {
 public:
  explicit BitReader(std::span<const uint8_t> bytes) : bytes_(bytes), end_(bytes.size() * 8) {}

  bool skip(std::size_t bits) {
    position_ += bits;
    return position_ <= end_;
  }

  std::optional<unsigned> read(int bits) {
    if (position_ + static_cast<std::size_t>(bits) > end_) {
      return std::nullopt;
    }
    unsigned value = 0;
    for (int i = 0; i < bits; ++i, ++position_) {
      const unsigned bit = (unsigned{bytes_[position_ / 8]} >> (7U - position_ % 8U)) & 1U;
      value = value << 1U | bit;
    }
    return value;
  }

  /** Skips the zeros up to the next one bit and that bit; false when the bytes end first. */
  bool skipUnary() {
    while (position_ < end_) {
      const auto shift = static_cast<unsigned>(position_ % 8);
      const auto rest = static_cast<uint8_t>(bytes_[position_ / 8] << shift);
      if (rest != 0) {
        position_ += static_cast<std::size_t>(std::countl_zero(rest)) + 1;
        return true;
      }
      position_ += 8 - shift;
    }
    return false;
  }

 private:
  std::span<const uint8_t> bytes_;
  std::size_t end_;
  std::size_t position_ = 0;
};

/** The widths of a RICE_1 code for pixels of bytePix bytes, as cfitsio decodes them. */
struct RiceCode {
  int bytePix;
  int fsBits;
  int fsMax;
  int rawBits;
};

RiceCode riceCodeFor(long long bytePix) {
  if (bytePix == 1) {
    return {1, 3, 6, 8};
  }
  if (bytePix == 2) {
    return {2, 4, 14, 16};
  }
  return {4, 5, 25, 32};
}

// The first pixel whole, then blocks of a code each: all differences zero, raw differences, or
// each difference as a run of zeros ended by a one and fs more bits.
bool riceCodeFits(std::span<const uint8_t> bytes, LONGLONG pixels, LONGLONG block,
                  const RiceCode& code) {
  BitReader reader(bytes);
  if (!reader.skip(static_cast<std::size_t>(8 * code.bytePix))) {
    return false;
  }
  for (LONGLONG done = 0; done < pixels; done += block) {
    const LONGLONG inBlock = std::min(block, pixels - done);
    const std::optional<unsigned> split = reader.read(code.fsBits);
    if (!split) {
      return false;
    }
    const int fs = static_cast<int>(*split) - 1;
    if (fs == code.fsMax) {
      if (!reader.skip(static_cast<std::size_t>(inBlock * code.rawBits))) {
        return false;
      }
    } else if (fs >= 0) {
      for (LONGLONG i = 0; i < inBlock; ++i) {
        if (!reader.skipUnary() || !reader.skip(static_cast<std::size_t>(fs))) {
          return false;
        }
      }
    }
  }
  return true;
}

/** The image's size and its tiles' (ZTILE1 x ZTILE2), which run along its rows, then up. */
struct TileGrid {
  LONGLONG width = 0;
  LONGLONG height = 0;
  LONGLONG tileWidth = 0;
  LONGLONG tileHeight = 0;

  /** The pixels of the tile of a table row; the last tile of a row or column may be cut. */
  LONGLONG pixelsOfRow(LONGLONG row) const {
    const LONGLONG across = (width + tileWidth - 1) / tileWidth;
    const LONGLONG x = (row - 1) % across * tileWidth;
    const LONGLONG y = (row - 1) / across * tileHeight;
    return std::max<LONGLONG>(0, std::min(tileWidth, width - x)) *
           std::max<LONGLONG>(0, std::min(tileHeight, height - y));
  }
};

// cfitsio's GZIP decoder goes on for ever on a stream that stops short. A tile's stream must end
// within the most bytes its pixels can take, 8 a pixel.
bool gzipStreamEnds(std::span<const uint8_t> bytes, LONGLONG pixels) {
  constexpr int kGzipOrZlibHeader = 15 + 32;
  constexpr LONGLONG kLargestPixel = 8;
  z_stream stream{};
  if (inflateInit2(&stream, kGzipOrZlibHeader) != Z_OK) {
    return false;
  }
  // zlib reads its input through a pointer to mutable bytes, but never writes them.
  stream.next_in = const_cast<Bytef*>(bytes.data());
  stream.avail_in = static_cast<uInt>(bytes.size());
  std::array<Bytef, 16384> out{};
  LONGLONG produced = 0;
  int result = Z_OK;
  while (result == Z_OK && produced <= pixels * kLargestPixel) {
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    result = inflate(&stream, Z_NO_FLUSH);
    produced += static_cast<LONGLONG>(out.size() - stream.avail_out);
  }
  inflateEnd(&stream);
  return result == Z_STREAM_END && produced <= pixels * kLargestPixel;
}

using TileCheck = std::function<bool(std::span<const uint8_t> bytes, LONGLONG pixels)>;

/** Whether every tile of the byte column named column passes check; true when it is missing. */
bool everyTilePasses(fitsfile* file, const TileTable& table, const TileGrid& grid,
                     std::string column, const TileCheck& check) {
  int number = 0;
  int type = 0;
  LONGLONG repeat = 0;
  LONGLONG elementBytes = 0;
  int status = 0;
  if (fits_get_colnum(file, CASEINSEN, column.data(), &number, &status) != 0) {
    forget(status);
    return true;
  }
  fits_get_coltypell(file, number, &type, &repeat, &elementBytes, &status);
  if (status != 0 || type != -TBYTE || grid.tileWidth < 1 || grid.tileHeight < 1) {
    forget(status);
    return false;
  }
  std::vector<uint8_t> bytes;
  for (LONGLONG row = 1; row <= table.rows && status == 0; ++row) {
    Descriptor tile;
    fits_read_descriptll(file, number, row, &tile.length, &tile.offset, &status);
    // A tile of no bytes here is kept in another column, as cfitsio does with some float tiles.
    if (status != 0 || tile.length == 0) {
      continue;
    }
    bytes.resize(static_cast<std::size_t>(tile.length));
    fits_read_col(file, TBYTE, number, row, 1, tile.length, nullptr, bytes.data(), nullptr,
                  &status);
    if (status == 0 && !check(bytes, grid.pixelsOfRow(row))) {
      return false;
    }
  }
  forget(status);
  return status == 0;
}

// The parameters as cfitsio 4.2 takes them, by place rather than by name: the block size is ZVAL1;
// the bytes a pixel are ZVAL2 (4 when it is missing or ZNAME2 is NOISEBIT, as in files written
// before BYTEPIX), the two swapped when the block is below 16 and the bytes above 8.
TileCheck riceCheck(fitsfile* file) {
  constexpr long long kUnnamedBytes = 4;
  LONGLONG block = wholeKey(file, "ZVAL1").value_or(0);
  const std::optional<std::string> secondName = textKey(file, "ZNAME2");
  const bool noiseBits = secondName && strcasecmp(secondName->c_str(), "NOISEBIT") == 0;
  LONGLONG bytes = noiseBits ? kUnnamedBytes : wholeKey(file, "ZVAL2").value_or(kUnnamedBytes);
  if (block < 16 && bytes > 8) {
    std::swap(block, bytes);
  }
  const RiceCode code = riceCodeFor(bytes);
  return [code, block](std::span<const uint8_t> tile, LONGLONG pixels) {
    return block >= 1 && riceCodeFits(tile, pixels, block, code);
  };
}

/** Whether each tile's code holds its pixels, for the codes whose decoders trust it. */
bool tilesDecode(fitsfile* file, const TileTable& table, int width, int height,
                 const std::optional<std::string>& compression) {
  const TileGrid grid{width, height, wholeKey(file, "ZTILE1").value_or(width),
                      wholeKey(file, "ZTILE2").value_or(1)};
  const bool gzip = compression == "GZIP_1" || compression == "GZIP_2";
  if (compression == "RICE_1" &&
      !everyTilePasses(file, table, grid, "COMPRESSED_DATA", riceCheck(file))) {
    return false;
  }
  if (gzip && !everyTilePasses(file, table, grid, "COMPRESSED_DATA", gzipStreamEnds)) {
    return false;
  }
  // Float tiles that could not be quantized are kept whole, compressed with GZIP.
  return everyTilePasses(file, table, grid, "GZIP_COMPRESSED_DATA", gzipStreamEnds);
}

// cfitsio 4.2's decoders of PLIO_1 (masks) and HCOMPRESS_1 (lossy, for sky surveys' archives)
// read past a damaged tile or lose memory on it, and no camera writes them: only the codes whose
// tiles are checked above are read.
bool isCheckedCompression(const std::optional<std::string>& compression) {
  return compression == "RICE_1" || compression == "GZIP_1" || compression == "GZIP_2" ||
         compression == "NOCOMPRESS";
}

}  // namespace

std::optional<std::string> compressedTilesRefusal(fitsfile* file, long long fileSize, int width,
                                                  int height) {
  const std::optional<std::string> compression = textKey(file, "ZCMPTYPE");
  if (!isCheckedCompression(compression)) {
    return "its compression (" + compression.value_or("none named") + ") is not read";
  }
  const std::optional<TileTable> table = tableInsideFile(file, fileSize);
  if (!table) {
    return reasonOf(END_OF_FILE);
  }
  if (!arraysInsideHeap(file, *table)) {
    return kDamaged;
  }
  if (!tilesDecode(file, *table, width, height, compression)) {
    return kDamaged;
  }
  return std::nullopt;
}

}  // namespace halvic::fits

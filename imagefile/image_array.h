#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace halvic {

inline constexpr int kImageColumns = 768;
inline constexpr int kImageRows = 20;
inline constexpr int kHeaderSize = 2048;

/**
 * The pixels of one image: 768 columns by 20 rows of 16-bit values, addressed (column, row) from
 * 1, the column varying fastest in memory. Reading outside the array gives 0 and writing there
 * does nothing, so no caller can reach beyond it.
 */
class ImageArray {
 public:
  int16_t at(int column, int row) const {
    return inside(column, row) ? cells_[index(column, row)] : int16_t{0};
  }
  void set(int column, int row, int16_t value) {
    if (inside(column, row)) {
      cells_[index(column, row)] = value;
    }
  }
  void fill(int16_t value) { cells_.fill(value); }

  friend bool operator==(const ImageArray&, const ImageArray&) = default;

 private:
  static bool inside(int column, int row) {
    return column >= 1 && column <= kImageColumns && row >= 1 && row <= kImageRows;
  }
  static std::size_t index(int column, int row) {
    return static_cast<std::size_t>((row - 1) * kImageColumns + (column - 1));
  }

  std::array<int16_t, static_cast<std::size_t>(kImageColumns) * kImageRows> cells_{};
};

/** The 2048-byte header block of a camera image file, kept verbatim. */
using HeaderBytes = std::array<uint8_t, kHeaderSize>;

}  // namespace halvic

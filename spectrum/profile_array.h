#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace halvic {

inline constexpr int kProfileColumns = 768;

/**
 * One value a pixel column: 768 32-bit entries addressed from 1. Reading outside gives 0 and
 * writing there does nothing.
 */
class ProfileArray {
 public:
  int32_t at(int column) const { return inside(column) ? values_[index(column)] : 0; }
  void set(int column, int32_t value) {
    if (inside(column)) {
      values_[index(column)] = value;
    }
  }
  void fill(int32_t value) { values_.fill(value); }

  friend bool operator==(const ProfileArray&, const ProfileArray&) = default;

 private:
  static bool inside(int column) { return column >= 1 && column <= kProfileColumns; }
  static std::size_t index(int column) { return static_cast<std::size_t>(column - 1); }

  std::array<int32_t, kProfileColumns> values_{};
};

}  // namespace halvic

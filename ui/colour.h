#pragma once

#include <cstdint>

namespace halvic::ui {

/** An RGB colour of 8-bit channels. */
struct Rgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kGreen{0, 255, 0};
inline constexpr Rgb kWindowGrey{192, 192, 192};

}  // namespace halvic::ui

#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "calibration/line_wavelength.h"

namespace halvic {

/** One entry of the line list: its text in the list and the wavelength a choice stores. */
struct LineListEntry {
  std::string_view text;
  LineWavelength wavelength;
};

/**
 * The built-in lamp and sky lines in list order (not sorted by wavelength), without the last
 * entry "Manual Entry", which asks for its wavelength.
 */
std::span<const LineListEntry> lineList();

inline constexpr std::string_view kManualEntryText = "Manual Entry";

/** One entry of the centroid width list: its text and the width in pixels. */
struct WidthListEntry {
  std::string_view text;
  int16_t width;
};

/** The six centroid window widths, 3 to 13 pixels. */
std::span<const WidthListEntry> centroidWidthList();

}  // namespace halvic

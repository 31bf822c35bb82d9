#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "calibration/line_wavelength.h"

namespace halvic {

/** What emits a line of the list: a lamp gas, or an object or the sky. */
enum class LineSource { Mercury, Neon, Argon, Hydrogen, Oxygen };

/** Mercury, neon and argon lines come from the calibration lamps; the others from objects. */
constexpr bool isLampLine(LineSource source) {
  return source == LineSource::Mercury || source == LineSource::Neon || source == LineSource::Argon;
}

/** The chemical symbol of a line's source: "Hg", "Ne", "Ar", "H", "O". */
constexpr std::string_view elementSymbol(LineSource source) {
  switch (source) {
    case LineSource::Mercury:
      return "Hg";
    case LineSource::Neon:
      return "Ne";
    case LineSource::Argon:
      return "Ar";
    case LineSource::Hydrogen:
      return "H";
    case LineSource::Oxygen:
      return "O";
  }
  return {};
}

/** One entry of the line list: its text in the list and the wavelength a choice stores. */
struct LineListEntry {
  std::string_view text;
  LineWavelength wavelength;
  LineSource source;
};

namespace detail {
constexpr LineListEntry listed(std::string_view text, double wavelength, LineSource source) {
  return LineListEntry{text, LineWavelength::fromDouble(wavelength), source};
}
constexpr LineListEntry wholeNumber(std::string_view text, int16_t wavelength, LineSource source) {
  return LineListEntry{text, LineWavelength::fromInt16(wavelength), source};
}
}  // namespace detail

/**
 * The built-in lamp and sky lines in list order (not sorted by wavelength), without the last
 * entry "Manual Entry", which asks for its wavelength. The stored wavelength is held apart from
 * the text: 3650.150 stores 3650.15, and the two [O III] lines store whole numbers. Entry 41 is a
 * hydrogen line although its text says "(Hg)".
 */
// clang-format off
inline constexpr std::array kLineList{
    detail::listed("3650.150 (Hg)", 3650.15, LineSource::Mercury),
    detail::listed("4046.572 (Hg)", 4046.572, LineSource::Mercury),
    detail::listed("4358.337 (Hg)", 4358.337, LineSource::Mercury),
    detail::listed("5460.753 (Hg)", 5460.753, LineSource::Mercury),
    detail::listed("5769.598 (Hg)", 5769.598, LineSource::Mercury),
    detail::listed("5790.663 (Hg)", 5790.663, LineSource::Mercury),
    detail::listed("6716.429 (Hg)", 6716.429, LineSource::Mercury),
    detail::listed("6907.461 (Hg)", 6907.461, LineSource::Mercury),
    detail::listed("5852.488 (Ne)", 5852.488, LineSource::Neon),
    detail::listed("5881.895 (Ne)", 5881.895, LineSource::Neon),
    detail::listed("5944.834 (Ne)", 5944.834, LineSource::Neon),
    detail::listed("5975.534 (Ne)", 5975.534, LineSource::Neon),
    detail::listed("6029.997 (Ne)", 6029.997, LineSource::Neon),
    detail::listed("6074.338 (Ne)", 6074.338, LineSource::Neon),
    detail::listed("6096.163 (Ne)", 6096.163, LineSource::Neon),
    detail::listed("6143.063 (Ne)", 6143.063, LineSource::Neon),
    detail::listed("6163.594 (Ne)", 6163.594, LineSource::Neon),
    detail::listed("6217.281 (Ne)", 6217.281, LineSource::Neon),
    detail::listed("6266.495 (Ne)", 6266.495, LineSource::Neon),
    detail::listed("6304.789 (Ne)", 6304.789, LineSource::Neon),
    detail::listed("6334.428 (Ne)", 6334.428, LineSource::Neon),
    detail::listed("6382.992 (Ne)", 6382.992, LineSource::Neon),
    detail::listed("6402.246 (Ne)", 6402.246, LineSource::Neon),
    detail::listed("6506.528 (Ne)", 6506.528, LineSource::Neon),
    detail::listed("6532.882 (Ne)", 6532.882, LineSource::Neon),
    detail::listed("6598.953 (Ne)", 6598.953, LineSource::Neon),
    detail::listed("6678.276 (Ne)", 6678.276, LineSource::Neon),
    detail::listed("6717.043 (Ne)", 6717.043, LineSource::Neon),
    detail::listed("6929.467 (Ne)", 6929.467, LineSource::Neon),
    detail::listed("7024.050 (Ne)", 7024.05, LineSource::Neon),
    detail::listed("7032.413 (Ne)", 7032.413, LineSource::Neon),
    detail::listed("7051.292 (Ne)", 7051.292, LineSource::Neon),
    detail::listed("7059.107 (Ne)", 7059.107, LineSource::Neon),
    detail::listed("7173.938 (Ne)", 7173.938, LineSource::Neon),
    detail::listed("7245.167 (Ne)", 7245.167, LineSource::Neon),
    detail::listed("6965.431 (Ar)", 6965.431, LineSource::Argon),
    detail::listed("7067.218 (Ar)", 7067.218, LineSource::Argon),
    detail::listed("7147.042 (Ar)", 7147.042, LineSource::Argon),
    detail::listed("7272.936 (Ar)", 7272.936, LineSource::Argon),
    detail::listed("7383.980 (Ar)", 7383.98, LineSource::Argon),
    detail::listed("4101.74  (Hs)", 4101.74, LineSource::Hydrogen),
    detail::listed("4340.47  (Hg)", 4340.47, LineSource::Hydrogen),
    detail::listed("4861.33  (Hb)", 4861.33, LineSource::Hydrogen),
    detail::listed("6562.852 (Ha)", 6562.852, LineSource::Hydrogen),
    detail::wholeNumber("4959     (O III)", 4959, LineSource::Oxygen),
    detail::wholeNumber("5007     (O III)", 5007, LineSource::Oxygen),
    detail::listed("5577.34  (O I)", 5577.34, LineSource::Oxygen),
};
// clang-format on

inline std::span<const LineListEntry> lineList() { return kLineList; }

inline constexpr std::string_view kManualEntryText = "Manual Entry";

/** The entry chosen at start-up: "5460.753 (Hg)". */
inline constexpr int kStartLineIndex = 3;
inline constexpr LineWavelength kStartLineWavelength = kLineList[kStartLineIndex].wavelength;

/** One entry of the centroid width list: its text and the width in pixels. */
struct WidthListEntry {
  std::string_view text;
  int16_t width;
};

/** The six centroid window widths, 3 to 13 pixels. */
inline constexpr std::array kCentroidWidthList{
    WidthListEntry{" 3 ", 3}, WidthListEntry{" 5 ", 5},  WidthListEntry{" 7 ", 7},
    WidthListEntry{"9 ", 9},  WidthListEntry{"11 ", 11}, WidthListEntry{"13 ", 13},
};

inline std::span<const WidthListEntry> centroidWidthList() { return kCentroidWidthList; }

/** The width chosen at start-up: " 5 ". */
inline constexpr int kStartWidthIndex = 1;
inline constexpr int16_t kStartCentroidWidth = kCentroidWidthList[kStartWidthIndex].width;

}  // namespace halvic

#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace halvic::realarcs {

/** The counts of the lowest and of the highest flux once scaled. */
inline constexpr int kBiasCounts = 100;
inline constexpr int kPeakCounts = 30000;

/**
 * The flux scaled linearly so that its lowest value becomes kBiasCounts and its highest
 * kPeakCounts, each rounded to the nearest whole count (a half to even). A flat flux gives
 * kBiasCounts everywhere; no flux gives no counts.
 */
std::vector<uint16_t> scaledCounts(std::span<const double> flux);

/** The header's display levels of a strip of counts. */
struct DisplayLevels {
  int16_t background = 0;
  int32_t range = 0;
};

/**
 * Levels that show a lamp strip well: the background at the median count (the lamp's continuum),
 * the range a fifth of the way from there to the highest count, so that faint lines show and
 * only the strongest saturate. No counts give zeros.
 */
DisplayLevels displayLevels(std::span<const uint16_t> counts);

}  // namespace halvic::realarcs

#include "tools/realarcs/arc_counts.h"

#include <algorithm>

#include "ui/number_text.h"

namespace halvic::realarcs {

namespace {

constexpr int kRangeFraction = 5;

}  // namespace

std::vector<uint16_t> scaledCounts(std::span<const double> flux) {
  std::vector<uint16_t> counts;
  if (flux.empty()) {
    return counts;
  }
  const auto [lowest, highest] = std::minmax_element(flux.begin(), flux.end());
  const double span = *highest - *lowest;
  const double scale = span > 0.0 ? (kPeakCounts - kBiasCounts) / span : 0.0;
  counts.reserve(flux.size());
  for (const double value : flux) {
    counts.push_back(
        static_cast<uint16_t>(ui::roundHalfEven(kBiasCounts + (value - *lowest) * scale)));
  }
  return counts;
}

DisplayLevels displayLevels(std::span<const uint16_t> counts) {
  if (counts.empty()) {
    return {};
  }
  std::vector<uint16_t> sorted(counts.begin(), counts.end());
  std::sort(sorted.begin(), sorted.end());
  const int median = sorted[sorted.size() / 2];
  const int highest = sorted.back();
  return {static_cast<int16_t>(median), std::max(1, (highest - median) / kRangeFraction)};
}

}  // namespace halvic::realarcs

#include "output/linear_resampling.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace halvic {

namespace {

bool strictlyMonotonic(std::span<const double> positions) {
  const auto ascending = std::adjacent_find(positions.begin(), positions.end(),
                                            [](double a, double b) { return !(a < b); });
  const auto descending = std::adjacent_find(positions.begin(), positions.end(),
                                             [](double a, double b) { return !(a > b); });
  return ascending == positions.end() || descending == positions.end();
}

/** The value at x between positions xs (ascending) and their values ys, ends held beyond. */
double interpolate(const std::vector<double>& xs, const std::vector<double>& ys, double x) {
  if (x <= xs.front()) {
    return ys.front();
  }
  if (x >= xs.back()) {
    return ys.back();
  }
  const auto upper = std::upper_bound(xs.begin(), xs.end(), x);
  const auto right = static_cast<size_t>(std::distance(xs.begin(), upper));
  const size_t left = right - 1;
  const double slope = (ys[right] - ys[left]) / (xs[right] - xs[left]);
  return slope * (x - xs[left]) + ys[left];
}

}  // namespace

std::optional<LinearGrid> linearGridOver(std::span<const double> positions) {
  if (positions.size() < 2 ||
      !std::all_of(positions.begin(), positions.end(), [](double x) { return std::isfinite(x); }) ||
      !strictlyMonotonic(positions)) {
    return std::nullopt;
  }
  const auto [smallest, largest] = std::minmax_element(positions.begin(), positions.end());
  const auto count = static_cast<int>(positions.size());
  return LinearGrid{*smallest, (*largest - *smallest) / (count - 1), count};
}

std::vector<float> resampleLinearly(std::span<const double> positions,
                                    std::span<const double> values, const LinearGrid& grid) {
  std::vector<double> xs(positions.begin(), positions.end());
  std::vector<double> ys(values.begin(), values.end());
  if (xs.front() > xs.back()) {
    std::reverse(xs.begin(), xs.end());
    std::reverse(ys.begin(), ys.end());
  }
  std::vector<float> resampled;
  resampled.reserve(static_cast<size_t>(grid.count));
  for (int k = 0; k < grid.count; ++k) {
    resampled.push_back(static_cast<float>(interpolate(xs, ys, grid.at(k))));
  }
  return resampled;
}

}  // namespace halvic

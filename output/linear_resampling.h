#pragma once

#include <optional>
#include <span>
#include <vector>

namespace halvic {

/** An evenly spaced, ascending axis: point k (from 0) lies at start + k * step. */
struct LinearGrid {
  double start = 0.0;
  double step = 0.0;
  int count = 0;

  double at(int k) const { return start + k * step; }
};

/**
 * The grid of as many points as there are positions, from the smallest position to the largest.
 * nullopt for fewer than two positions, or positions that are not finite or do not change
 * strictly one way (ascending or descending), since then no one value belongs to a position.
 */
std::optional<LinearGrid> linearGridOver(std::span<const double> positions);

/**
 * The values, given at strictly monotonic positions (ascending or descending), at every point of
 * the grid by linear interpolation between the two neighbouring positions, computed in 64 bits
 * and rounded once to a 32-bit float. A point beyond the first or last position takes the value
 * there. positions and values are equally long, at least two.
 */
std::vector<float> resampleLinearly(std::span<const double> positions,
                                    std::span<const double> values, const LinearGrid& grid);

}  // namespace halvic

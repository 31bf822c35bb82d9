#pragma once

#include <array>

namespace halvic {

/** A grating of the table the two-line solve chooses from by the dispersion it estimates. */
struct TableGrating {
  double linesPerMm;
  /** As the table writes it: 6.666666, not 1000 / 150. */
  double grooveSpacingUm;
  /** The grating is chosen for an absolute dispersion above this, in Angstroms per mm. */
  double dispersionAbove;
};

/**
 * The table, coarsest grating first; a boundary value belongs to the finer grating (200 A/mm
 * gives 600 lines/mm), and the last row takes everything below.
 */
inline constexpr std::array<TableGrating, 4> kGratingTable{{
    {150.0, 6.666666, 200.0},
    {600.0, 1.666666, 90.0},
    {1200.0, 0.8333333, 50.0},
    {1800.0, 0.555555, -1.0},
}};

}  // namespace halvic

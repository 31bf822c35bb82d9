#pragma once

#include <optional>
#include <string_view>

#include "calibration/barycentric_correction.h"

namespace halvic {

/**
 * The middle of an exposure: DATE-OBS, its UTC start as ISO 8601 ("2024-03-14T21:12:40", the
 * seconds with a fraction or not), plus half of exposureSeconds; crossing midnight moves the date
 * on. nullopt when DATE-OBS is not of that form or not a real date and time of day, when the
 * exposure is negative or not finite, or when the middle falls outside the years
 * kFirstCorrectedYear to kLastCorrectedYear.
 */
std::optional<UtcInstant> midExposureOf(std::string_view dateObs, double exposureSeconds);

}  // namespace halvic

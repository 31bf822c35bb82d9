#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace halvic {

/** A place on the Earth: WGS84 geodetic coordinates. */
struct Observatory {
  double eastLongitudeDeg = 0.0;
  double latitudeDeg = 0.0;
  double elevationM = 0.0;
};

/** A direction on the sky: ICRS (J2000) right ascension and declination in degrees. */
struct SkyPosition {
  double rightAscensionDeg = 0.0;
  double declinationDeg = 0.0;
};

/** An instant in UTC: a calendar day and the seconds since its midnight, from 0 up to 86400. */
struct UtcInstant {
  std::chrono::year_month_day date;
  double secondsOfDay = 0.0;

  friend bool operator==(const UtcInstant&, const UtcInstant&) = default;
};

/** The years the correction is computed for, both included. */
inline constexpr int kFirstCorrectedYear = 1900;
inline constexpr int kLastCorrectedYear = 2100;

/** The correction, or why there is none (failure empty exactly when metresPerSecond is set). */
struct BarycentricCorrection {
  std::optional<double> metresPerSecond;
  std::string failure;
};

/**
 * The radial-velocity correction to the solar system barycentre of an observation of target from
 * site at instant: the velocity to add to a radial velocity measured there, in m/s, so that a
 * wavelength observed there is lambda * (1 + v / c) at the barycentre. It is the relativistic
 * redshift of the observer's barycentric motion towards the target's catalogue direction, divided
 * by the gravitational redshift of the Sun and the Earth at the site. UT1 is taken as UTC and the
 * pole as fixed, which moves the result by well under 0.1 m/s.
 *
 * failure names the reason when an input is not finite or not a place or instant (latitude or
 * declination beyond 90 degrees, seconds of the day outside 0 to 86400, not a calendar date), the
 * year lies outside kFirstCorrectedYear to kLastCorrectedYear, or the Earth's motion cannot be
 * worked out for the date.
 */
BarycentricCorrection barycentricCorrection(const Observatory& site, const SkyPosition& target,
                                            const UtcInstant& instant);

}  // namespace halvic

#include "calibration/barycentric_correction.h"

#include <erfa.h>
#include <erfam.h>

#include <array>
#include <cmath>
#include <utility>

namespace halvic {

namespace {

/** The Earth's G M in m^3/s^2, the IAU's nominal value. */
constexpr double kEarthGravitationalParameter = 3.986004e14;
constexpr double kSecondsPerHour = 3600.0;
constexpr double kSecondsPerMinute = 60.0;
constexpr double kSecondsPerDay = 86400.0;
constexpr double kRightAngleDeg = 90.0;

BarycentricCorrection refused(std::string reason) { return {std::nullopt, std::move(reason)}; }

bool isPlace(const Observatory& site) {
  return std::isfinite(site.eastLongitudeDeg) && std::isfinite(site.elevationM) &&
         std::abs(site.latitudeDeg) <= kRightAngleDeg;
}

bool isDirection(const SkyPosition& target) {
  return std::isfinite(target.rightAscensionDeg) &&
         std::abs(target.declinationDeg) <= kRightAngleDeg;
}

bool isInstant(const UtcInstant& instant) {
  return instant.date.ok() && instant.secondsOfDay >= 0.0 && instant.secondsOfDay < kSecondsPerDay;
}

bool isCorrectedYear(const UtcInstant& instant) {
  const int year = static_cast<int>(instant.date.year());
  return year >= kFirstCorrectedYear && year <= kLastCorrectedYear;
}

/** ERFA's two-part quasi Julian date of the instant, or nullopt when ERFA refuses it. */
std::optional<std::array<double, 2>> utcJulianDate(const UtcInstant& instant) {
  const int hour = static_cast<int>(instant.secondsOfDay / kSecondsPerHour);
  const double afterHour = instant.secondsOfDay - hour * kSecondsPerHour;
  const int minute = static_cast<int>(afterHour / kSecondsPerMinute);
  const double second = afterHour - minute * kSecondsPerMinute;
  std::array<double, 2> date{};
  const int status = eraDtf2d("UTC", static_cast<int>(instant.date.year()),
                              static_cast<int>(static_cast<unsigned>(instant.date.month())),
                              static_cast<int>(static_cast<unsigned>(instant.date.day())), hour,
                              minute, second, &date[0], &date[1]);
  // A positive status only says that UTC before 1960 or after ERFA's leap-second table is not
  // known exactly; the seconds that makes are nothing at this precision.
  return status < 0 ? std::nullopt : std::optional(date);
}

/**
 * The Sun's and the Earth's gravitational potential at the site over c^2 (positive). ERFA_SRS is
 * the Sun's 2 G M / c^2 in au, and sunDistanceAu comes from the same ephemeris. The Moon and
 * Jupiter add less than a millimetre a second together and are left out.
 */
double potentialOverCSquared(double sunDistanceAu, const std::array<double, 3>& geocentricM) {
  const double earthDistanceM = std::hypot(geocentricM[0], geocentricM[1], geocentricM[2]);
  return ERFA_SRS / 2.0 / sunDistanceAu +
         kEarthGravitationalParameter / (ERFA_CMPS * ERFA_CMPS * earthDistanceM);
}

}  // namespace

BarycentricCorrection barycentricCorrection(const Observatory& site, const SkyPosition& target,
                                            const UtcInstant& instant) {
  if (!isPlace(site)) {
    return refused("The site is not a place on the Earth.");
  }
  if (!isDirection(target)) {
    return refused("The object's position is not a direction on the sky.");
  }
  if (!isInstant(instant)) {
    return refused("The time is not a date and a time of day.");
  }
  if (!isCorrectedYear(instant)) {
    return refused("The date is not in the years " + std::to_string(kFirstCorrectedYear) + " to " +
                   std::to_string(kLastCorrectedYear) + ".");
  }
  const double longitude = site.eastLongitudeDeg * ERFA_DD2R;
  const double latitude = site.latitudeDeg * ERFA_DD2R;
  const std::optional<std::array<double, 2>> utc = utcJulianDate(instant);
  eraASTROM observer{};
  double equationOfOrigins = 0.0;
  std::array<double, 3> geocentric{};
  // UT1 = UTC, no polar motion and no refraction: the observer's velocity moves by centimetres a
  // second at most.
  if (!utc ||
      eraApco13((*utc)[0], (*utc)[1], 0.0, longitude, latitude, site.elevationM, 0.0, 0.0, 0.0, 0.0,
                0.0, 0.0, &observer, &equationOfOrigins) < 0 ||
      eraGd2gc(ERFA_WGS84, longitude, latitude, site.elevationM, geocentric.data()) != 0) {
    return refused("The Earth's motion could not be worked out for this date and site.");
  }
  // The catalogue direction, not the aberrated one the moving observer sees: the formula's
  // beta . n is taken in the barycentre's frame.
  std::array<double, 3> direction{};
  eraS2c(target.rightAscensionDeg * ERFA_DD2R, target.declinationDeg * ERFA_DD2R, direction.data());
  // observer.v is the observer's barycentric velocity over c, observer.bm1 its 1 / gamma.
  const double towards = eraPdp(observer.v, direction.data());
  const double redshift =
      (1.0 + towards) / observer.bm1 / (1.0 - potentialOverCSquared(observer.em, geocentric));
  return {(redshift - 1.0) * ERFA_CMPS, {}};
}

}  // namespace halvic

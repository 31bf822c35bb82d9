#pragma once

#include <optional>
#include <string_view>

namespace halvic {

/**
 * Right ascension in degrees, from what a user types or an image header holds: degrees
 * ("83.633") or hours, minutes and seconds apart by colons or blanks ("05:34:31.9",
 * "05 34 31.9"; "05:34.5" leaves the seconds out). nullopt for anything else, for minutes or
 * seconds of 60 or more and for a right ascension outside 0 (included) to 360 degrees (24 hours).
 * Blanks around the text do not count.
 */
std::optional<double> rightAscensionOf(std::string_view text);

/**
 * Declination in degrees: degrees ("-5.39") or degrees, minutes and seconds with an optional sign
 * that applies to all three ("+22:00:52", "-05 23 28", "-00:30"). nullopt for anything else, for
 * minutes or seconds of 60 or more and for a declination outside -90 to 90 degrees.
 */
std::optional<double> declinationOf(std::string_view text);

}  // namespace halvic

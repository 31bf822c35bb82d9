#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace halvic::ui {

/**
 * Reads a decimal number as typed by a user or written in a header: blanks around it, an optional
 * sign, digits with an optional fraction, an optional exponent ("1.5e3"). Returns nullopt for an
 * empty text, anything else, or a value too large for a double.
 */
std::optional<double> parseDecimal(std::string_view text);

/** Rounds to the nearest whole number, a half to the even neighbour (2.5 gives 2, 3.5 gives 4). */
double roundHalfEven(double value);

/**
 * value rounded half to even as an int, or nullopt when value is not a number or rounds to a
 * whole number outside int's range (infinities included). Such values are refused, not clamped:
 * a clamped coordinate would put a point somewhere it was never meant to be. Printer coordinates
 * are rounded by this rule.
 */
std::optional<int> roundedToInt(double value);

/** parseDecimal, rounded half to even, when the result fits in [minimum, maximum]. */
std::optional<int64_t> parseWholeNumber(std::string_view text, int64_t minimum, int64_t maximum);

}  // namespace halvic::ui

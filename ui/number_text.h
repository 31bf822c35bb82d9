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

/** Whether parseWholeNumber found a value, and if not, why. */
enum class WholeNumberStatus { Ok, NotANumber, OutOfRange };

/** A whole number read from text; value is 0 unless status is Ok. */
struct WholeNumber {
  WholeNumberStatus status = WholeNumberStatus::NotANumber;
  int64_t value = 0;

  friend bool operator==(const WholeNumber&, const WholeNumber&) = default;
};

/**
 * parseDecimal, rounded half to even, when the result fits in [minimum, maximum]. NotANumber when
 * parseDecimal finds no number, OutOfRange when the rounded number lies outside the bounds.
 */
WholeNumber parseWholeNumber(std::string_view text, int64_t minimum, int64_t maximum);

}  // namespace halvic::ui

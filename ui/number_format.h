#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace halvic::ui {

/**
 * Formats a number with a display pattern such as "##0.00": "0" is a digit always shown, "#" a
 * digit shown only when significant, and the value is rounded to the pattern's decimals. A
 * negative value gets a leading minus sign.
 *
 * The pattern is made of '#' and '0' with at most one '.'; the number of characters after the
 * point is the number of decimals, and the zeros before it the least number of integer digits.
 * Integer digits beyond the pattern are all shown (1234567 with "##0" gives "1234567").
 * Rounding is of the exact binary value, correct to the last digit; an exact tie (0.125 to two
 * decimals, 2.5 to none) goes to the even neighbour, so 0.125 gives "0.12" and 2.5 gives "2".
 * A value that rounds to zero never shows a minus sign (-0.001 with "##0.00" gives "0.00").
 * The decimal separator is always '.', whatever the locale. NaN gives "NaN", the infinities
 * "Infinity" and "-Infinity".
 */
std::string formatNumber(double value, std::string_view pattern);

/** The shortest text that reads back to the same value of its own type ("5460.753"). */
std::string shortestText(double value);
std::string shortestText(float value);

/** The text form of numbers in labels and text boxes: one blank before a non-negative number. */
std::string labelText(int64_t value);

}  // namespace halvic::ui

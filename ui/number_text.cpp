#include "ui/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace halvic::ui {

namespace {

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
    text.remove_suffix(1);
  }
  return text;
}

// from_chars accepts no leading '+' and also "inf" and "nan"; only plain decimals are numbers here.
bool looksDecimal(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    ++i;
  }
  size_t digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    ++i;
    ++digits;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      ++i;
      ++digits;
    }
  }
  if (digits == 0) {
    return false;
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      ++i;
    }
    size_t exponentDigits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      ++i;
      ++exponentDigits;
    }
    if (exponentDigits == 0) {
      return false;
    }
  }
  return i == text.size();
}

}  // namespace

std::optional<double> parseDecimal(std::string_view text) {
  text = trimBlanks(text);
  if (!looksDecimal(text)) {
    return std::nullopt;
  }
  if (text.front() == '+') {
    text.remove_prefix(1);
  }
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

double roundHalfEven(double value) {
  // nearbyint follows the rounding mode, which is round-to-nearest-even unless changed.
  return std::nearbyint(value);
}

std::optional<int> roundedToInt(double value) {
  const double rounded = roundHalfEven(value);
  // Both limits are exact in a double; NaN fails both comparisons and is refused with them.
  if (!(rounded >= static_cast<double>(std::numeric_limits<int>::min()) &&
        rounded <= static_cast<double>(std::numeric_limits<int>::max()))) {
    return std::nullopt;
  }
  return static_cast<int>(rounded);
}

WholeNumber parseWholeNumber(std::string_view text, int64_t minimum, int64_t maximum) {
  const std::optional<double> value = parseDecimal(text);
  if (!value) {
    return {WholeNumberStatus::NotANumber};
  }
  const double rounded = roundHalfEven(*value);
  if (rounded < static_cast<double>(minimum) || rounded > static_cast<double>(maximum)) {
    return {WholeNumberStatus::OutOfRange};
  }
  return {WholeNumberStatus::Ok, static_cast<int64_t>(rounded)};
}

}  // namespace halvic::ui

#include "ui/number_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace halvic::ui {

namespace {

struct PatternShape {
  size_t minIntegerDigits = 0;
  size_t decimals = 0;
  size_t minDecimals = 0;
};

PatternShape shapeOf(std::string_view pattern) {
  PatternShape shape;
  const size_t point = pattern.find('.');
  const std::string_view integerPart = pattern.substr(0, point);
  shape.minIntegerDigits =
      static_cast<size_t>(std::count(integerPart.begin(), integerPart.end(), '0'));
  if (point == std::string_view::npos) {
    return shape;
  }
  const std::string_view fraction = pattern.substr(point + 1);
  shape.decimals = fraction.size();
  const size_t lastZero = fraction.rfind('0');
  shape.minDecimals = lastZero == std::string_view::npos ? 0 : lastZero + 1;
  return shape;
}

// to_chars with a precision rounds the exact binary value correctly, ties to even, and never
// looks at the locale.
std::string fixedText(double magnitude, size_t decimals) {
  // A double has at most 309 integer digits.
  std::string buffer(320 + decimals, '\0');
  const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                          std::chars_format::fixed, static_cast<int>(decimals));
  if (error != std::errc()) {
    return "0";
  }
  buffer.resize(static_cast<size_t>(end - buffer.data()));
  return buffer;
}

std::string nonFiniteText(double value) {
  if (std::isnan(value)) {
    return "NaN";
  }
  return value < 0 ? "-Infinity" : "Infinity";
}

bool allZeros(std::string_view digits) {
  return std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0'; });
}

}  // namespace

std::string formatNumber(double value, std::string_view pattern) {
  if (!std::isfinite(value)) {
    return nonFiniteText(value);
  }
  const PatternShape shape = shapeOf(pattern);
  const std::string fixed = fixedText(std::fabs(value), shape.decimals);
  const size_t point = fixed.find('.');
  std::string integerDigits = fixed.substr(0, point);
  std::string fractionDigits = point == std::string::npos ? "" : fixed.substr(point + 1);

  const bool roundsToZero = allZeros(integerDigits) && allZeros(fractionDigits);
  integerDigits.erase(0, integerDigits.find_first_not_of('0'));
  if (integerDigits.size() < shape.minIntegerDigits) {
    integerDigits.insert(0, shape.minIntegerDigits - integerDigits.size(), '0');
  }
  while (fractionDigits.size() > shape.minDecimals && fractionDigits.back() == '0') {
    fractionDigits.pop_back();
  }
  if (integerDigits.empty() && fractionDigits.empty()) {
    integerDigits.push_back('0');  // an all-'#' pattern still shows something for zero
  }

  std::string text;
  if (value < 0 && !roundsToZero) {
    text += '-';
  }
  text += integerDigits;
  if (!fractionDigits.empty()) {
    text += '.';
    text += fractionDigits;
  }
  return text;
}

std::string labelText(int64_t value) {
  const std::string digits = std::to_string(value);
  return value < 0 ? digits : " " + digits;
}

namespace {

template <typename Float>
std::string shortestFloatText(Float value) {
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

}  // namespace

std::string shortestText(double value) { return shortestFloatText(value); }

std::string shortestText(float value) { return shortestFloatText(value); }

}  // namespace halvic::ui

#include "output/sky_position.h"

#include <cmath>
#include <vector>

#include "ui/number_text.h"

namespace halvic {

namespace {

constexpr double kFullCircleDeg = 360.0;
constexpr double kRightAngleDeg = 90.0;
constexpr double kDegreesPerHour = 15.0;
constexpr double kSixty = 60.0;

std::string_view trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

/** The parts between colons, or else between runs of blanks; the text has no blanks around it. */
std::vector<std::string_view> sexagesimalParts(std::string_view text) {
  const std::string_view separators = text.find(':') == std::string_view::npos ? " \t" : ":";
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (true) {
    const size_t end = text.find_first_of(separators, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string_view::npos) {
      return parts;
    }
    start = separators == ":" ? end + 1 : text.find_first_not_of(separators, end);
  }
}

/** A part without sign or exponent; only the last may have a fraction. */
std::optional<double> sexagesimalPart(std::string_view part, bool last) {
  if (part.find_first_of(last ? "+-eE" : "+-eE.") != std::string_view::npos) {
    return std::nullopt;
  }
  return ui::parseDecimal(part);
}

/** An unsigned value of two or three parts in units of the first, minutes and seconds below 60. */
std::optional<double> sexagesimalOf(std::string_view text) {
  const std::vector<std::string_view> parts = sexagesimalParts(text);
  if (parts.size() < 2 || parts.size() > 3) {
    return std::nullopt;
  }
  double value = 0.0;
  double unit = 1.0;
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::optional<double> part = sexagesimalPart(parts[i], i + 1 == parts.size());
    if (!part || (i > 0 && *part >= kSixty)) {
      return std::nullopt;
    }
    value += *part / unit;
    unit *= kSixty;
  }
  return value;
}

}  // namespace

std::optional<double> rightAscensionOf(std::string_view text) {
  std::optional<double> degrees = ui::parseDecimal(text);
  if (!degrees) {
    const std::optional<double> hours = sexagesimalOf(trimmed(text));
    degrees = hours ? std::optional(*hours * kDegreesPerHour) : std::nullopt;
  }
  return degrees && *degrees >= 0.0 && *degrees < kFullCircleDeg ? degrees : std::nullopt;
}

std::optional<double> declinationOf(std::string_view text) {
  std::optional<double> degrees = ui::parseDecimal(text);
  if (!degrees) {
    std::string_view unsignedText = trimmed(text);
    const bool south = !unsignedText.empty() && unsignedText.front() == '-';
    if (!unsignedText.empty() && (south || unsignedText.front() == '+')) {
      unsignedText.remove_prefix(1);
    }
    const std::optional<double> magnitude = sexagesimalOf(unsignedText);
    degrees = magnitude ? std::optional(south ? -*magnitude : *magnitude) : std::nullopt;
  }
  return degrees && std::abs(*degrees) <= kRightAngleDeg ? degrees : std::nullopt;
}

}  // namespace halvic

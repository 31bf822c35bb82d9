#include "output/csv_export.h"

#include <array>
#include <charconv>

namespace halvic {

namespace {

constexpr std::string_view kCalibratedHeader = "wavelength_angstrom,value\n";
constexpr std::string_view kUncalibratedHeader = "pixel,value\n";
// A double's shortest text is at most 24 characters; two of them, a comma and LF fit.
constexpr size_t kLongestLine = 64;

/** std::to_chars's shortest text, which never depends on the locale. */
template <typename Number>
void appendNumber(std::string& text, Number value) {
  std::array<char, kLongestLine> digits{};
  const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
  text.append(digits.data(), result.ptr);
}

}  // namespace

std::string buildCsvExport(const ProfileArray& profile, int16_t length,
                           const std::optional<GratingModel>& calibration) {
  std::string text(calibration ? kCalibratedHeader : kUncalibratedHeader);
  if (length > 0) {
    text.reserve(text.size() + static_cast<size_t>(length) * kLongestLine / 2);
  }
  for (int column = 1; column <= length; ++column) {
    if (calibration) {
      double betaDeg = 0.0;
      appendNumber(text, evaluateGratingModel(*calibration, column, betaDeg));
    } else {
      appendNumber(text, column);
    }
    text += ',';
    appendNumber(text, profile.at(column));
    text += '\n';
  }
  return text;
}

}  // namespace halvic

#include "output/mid_exposure.h"

#include <charconv>
#include <cmath>

#include "ui/number_text.h"

namespace halvic {

namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr double kSecondsPerHour = 3600.0;
constexpr double kSecondsPerMinute = 60.0;
/** "YYYY-MM-DDThh:mm:" before the seconds. */
constexpr std::string_view kDateTimeShape = "dddd-dd-ddTdd:dd:";

/** The whole number of the digits at [at, at + count) of text. */
int digitsAt(std::string_view text, size_t at, size_t count) {
  int value = 0;
  std::from_chars(text.data() + at, text.data() + at + count, value);
  return value;
}

bool hasDateTimeShape(std::string_view text) {
  if (text.size() < kDateTimeShape.size()) {
    return false;
  }
  for (size_t i = 0; i < kDateTimeShape.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kDateTimeShape[i] == 'd' ? !digit : text[i] != kDateTimeShape[i]) {
      return false;
    }
  }
  return true;
}

/** Seconds as "ss" or "ss.fff": two digits, then a fraction or nothing. */
std::optional<double> secondsOf(std::string_view text) {
  const bool twoDigits = text.size() >= 2 && text.find_first_not_of("0123456789") >= 2;
  const bool fraction = text.size() == 2 || (text.size() > 3 && text[2] == '.');
  if (!twoDigits || !fraction || text.find_first_of("eE+-") != std::string_view::npos) {
    return std::nullopt;
  }
  const std::optional<double> seconds = ui::parseDecimal(text);
  return seconds && *seconds < kSecondsPerMinute ? seconds : std::nullopt;
}

std::optional<UtcInstant> startOf(std::string_view dateObs) {
  if (!hasDateTimeShape(dateObs)) {
    return std::nullopt;
  }
  const std::chrono::year_month_day date{
      std::chrono::year(digitsAt(dateObs, 0, 4)),
      std::chrono::month(static_cast<unsigned>(digitsAt(dateObs, 5, 2))),
      std::chrono::day(static_cast<unsigned>(digitsAt(dateObs, 8, 2)))};
  const int hours = digitsAt(dateObs, 11, 2);
  const int minutes = digitsAt(dateObs, 14, 2);
  const std::optional<double> seconds = secondsOf(dateObs.substr(kDateTimeShape.size()));
  if (!date.ok() || hours > 23 || minutes > 59 || !seconds) {
    return std::nullopt;
  }
  return UtcInstant{date, hours * kSecondsPerHour + minutes * kSecondsPerMinute + *seconds};
}

}  // namespace

std::optional<UtcInstant> midExposureOf(std::string_view dateObs, double exposureSeconds) {
  const std::optional<UtcInstant> start = startOf(dateObs);
  if (!start || !(exposureSeconds >= 0.0) || !std::isfinite(exposureSeconds)) {
    return std::nullopt;
  }
  const double seconds = start->secondsOfDay + exposureSeconds / 2.0;
  const double daysOn = std::floor(seconds / kSecondsPerDay);
  const std::chrono::sys_days lastDay{std::chrono::year(kLastCorrectedYear) /
                                      std::chrono::December / std::chrono::last};
  const std::chrono::sys_days startDay{start->date};
  if (daysOn > static_cast<double>((lastDay - startDay).count())) {
    return std::nullopt;
  }
  const std::chrono::year_month_day middle{startDay + std::chrono::days(static_cast<int>(daysOn))};
  const int year = static_cast<int>(middle.year());
  if (year < kFirstCorrectedYear || year > kLastCorrectedYear) {
    return std::nullopt;
  }
  return UtcInstant{middle, seconds - daysOn * kSecondsPerDay};
}

}  // namespace halvic

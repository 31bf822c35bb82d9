#include "output/observing_details.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>

#include "ui/number_text.h"

namespace halvic {

namespace {

/** The longest string value of a header line without continuation lines. */
constexpr size_t kLongestHeaderText = 68;

constexpr int kSecondsPerHour = 3600;
constexpr int kLastYear = 9999;

std::string_view trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && blank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

/** The length of a text in a FITS header, where a quote is written twice. */
size_t headerLength(std::string_view text) {
  return text.size() + static_cast<size_t>(std::count(text.begin(), text.end(), '\''));
}

bool isHeaderText(std::string_view text) {
  return headerLength(text) <= kLongestHeaderText &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= ' ' && c <= '~'; });
}

bool isAcceptedNumber(const ObservingField& rule, std::string_view text) {
  if (text.empty()) {
    return !rule.required;
  }
  const std::optional<double> value = ui::parseDecimal(text);
  return value && *value >= rule.smallest && *value <= rule.largest;
}

bool isAccepted(const ObservingField& rule, std::string_view value) {
  const std::string_view text = trimmed(value);
  return rule.isNumber ? isAcceptedNumber(rule, text) : isHeaderText(text);
}

std::string_view valueOf(const std::vector<ui::FormField>& fields, std::string_view key) {
  const auto field = std::find_if(fields.begin(), fields.end(),
                                  [key](const ui::FormField& f) { return f.name == key; });
  return field == fields.end() ? std::string_view() : std::string_view(field->value);
}

/** Reads one or two digits up to the separator (or the end); nullopt for anything else. */
std::optional<int> smallNumber(std::string_view& text, char separator, size_t maxDigits) {
  const size_t end = separator == '\0' ? text.size() : text.find(separator);
  if (end == std::string_view::npos || end == 0 || end > maxDigits) {
    return std::nullopt;
  }
  int value = 0;
  const auto [stop, error] = std::from_chars(text.data(), text.data() + end, value);
  if (error != std::errc() || stop != text.data() + end || value < 0) {
    return std::nullopt;
  }
  text.remove_prefix(separator == '\0' ? end : end + 1);
  return value;
}

std::optional<std::chrono::sys_days> cameraDay(std::string_view text) {
  const std::optional<int> month = smallNumber(text, '/', 2);
  const std::optional<int> day = month ? smallNumber(text, '/', 2) : std::nullopt;
  if (!day || text.size() != 4) {
    return std::nullopt;
  }
  const std::optional<int> year = smallNumber(text, '\0', 4);
  if (!year) {
    return std::nullopt;
  }
  const std::chrono::year_month_day date{std::chrono::year(*year),
                                         std::chrono::month(static_cast<unsigned>(*month)),
                                         std::chrono::day(static_cast<unsigned>(*day))};
  if (!date.ok()) {
    return std::nullopt;
  }
  return std::chrono::sys_days(date);
}

std::optional<std::chrono::seconds> cameraTimeOfDay(std::string_view text) {
  const std::optional<int> hours = smallNumber(text, ':', 2);
  const std::optional<int> minutes = hours ? smallNumber(text, ':', 2) : std::nullopt;
  const std::optional<int> seconds = minutes ? smallNumber(text, '\0', 2) : std::nullopt;
  if (!seconds || *hours > 23 || *minutes > 59 || *seconds > 59) {
    return std::nullopt;
  }
  return std::chrono::hours(*hours) + std::chrono::minutes(*minutes) +
         std::chrono::seconds(*seconds);
}

}  // namespace

std::vector<ui::FormField> observingFormFields() {
  std::vector<ui::FormField> fields;
  for (const ObservingField& field : kObservingFields) {
    fields.push_back(ui::FormField{
        .name = std::string(field.key),
        .label = std::string(field.label),
        .kind = ui::FormField::Kind::Text,
        .value = field.key == kClockOffsetKey ? std::string(kNoClockOffset) : std::string()});
  }
  fields.push_back(ui::FormField{.name = std::string(kVacuumField),
                                 .label = "Wavelengths in vacuum",
                                 .kind = ui::FormField::Kind::Check,
                                 .value = "0"});
  return fields;
}

bool vacuumRequested(const std::vector<ui::FormField>& fields) {
  return valueOf(fields, kVacuumField) == "1";
}

std::optional<std::string> observingFormRefusal(const std::vector<ui::FormField>& fields) {
  for (const ObservingField& rule : kObservingFields) {
    if (!isAccepted(rule, valueOf(fields, rule.key))) {
      return std::string(rule.refusal);
    }
  }
  return std::nullopt;
}

ObservingDetails observingDetailsOf(const std::vector<ui::FormField>& fields) {
  ObservingDetails details;
  for (const ObservingField& rule : kObservingFields) {
    const std::string_view text = trimmed(valueOf(fields, rule.key));
    if (rule.key == kClockOffsetKey) {
      details.utcOffsetHours = ui::parseDecimal(text).value_or(0.0);
    } else if (rule.isNumber) {
      details.numbers.push_back({rule.key, ui::parseDecimal(text)});
    } else {
      details.texts.push_back({rule.key, std::string(text)});
    }
  }
  return details;
}

std::optional<std::string> dateObsOf(std::string_view cameraDate, std::string_view cameraTime,
                                     double utcOffsetHours) {
  const std::optional<std::chrono::sys_days> day = cameraDay(trimmed(cameraDate));
  const std::optional<std::chrono::seconds> time = cameraTimeOfDay(trimmed(cameraTime));
  if (!day || !time || !std::isfinite(utcOffsetHours)) {
    return std::nullopt;
  }
  const std::chrono::seconds offset(std::llround(utcOffsetHours * kSecondsPerHour));
  const std::chrono::sys_seconds utc = *day + *time + offset;
  const std::chrono::sys_days utcDay = std::chrono::floor<std::chrono::days>(utc);
  const std::chrono::year_month_day date(utcDay);
  const std::chrono::hh_mm_ss clock(utc - utcDay);
  const int year = static_cast<int>(date.year());
  if (year < 0 || year > kLastYear) {
    return std::nullopt;
  }
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%04d-%02u-%02uT%02d:%02d:%02d", year,
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()));
  return std::string(text.data());
}

}  // namespace halvic

#include "imagefile/fits_camera_header.h"

#include <algorithm>
#include <charconv>
#include <chrono>

#include "imagefile/camera_header.h"
#include "ui/number_format.h"

namespace halvic {

namespace {

constexpr double kMillimetresPerMicrometre = 0.001;

/** The number written in exactly count decimal digits from text[at] on, or nullopt. */
std::optional<int> digitsAt(std::string_view text, std::size_t at, std::size_t count) {
  if (text.size() < at + count) {
    return std::nullopt;
  }
  const std::string_view digits = text.substr(at, count);
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  int value = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return value;
}

std::string twoDigits(int value) {
  std::string text = value < 10 ? "0" : "";
  return text.append(std::to_string(value));
}

/** "YYYY-MM-DD" of a real day as "MM/DD/YYYY". */
std::optional<std::string> cameraDate(std::string_view text) {
  const std::optional<int> year = digitsAt(text, 0, 4);
  const std::optional<int> month = digitsAt(text, 5, 2);
  const std::optional<int> day = digitsAt(text, 8, 2);
  if (!year || !month || !day || text[4] != '-' || text[7] != '-') {
    return std::nullopt;
  }
  const std::chrono::year_month_day date{std::chrono::year(*year),
                                         std::chrono::month(static_cast<unsigned>(*month)),
                                         std::chrono::day(static_cast<unsigned>(*day))};
  if (!date.ok()) {
    return std::nullopt;
  }
  return twoDigits(*month) + "/" + twoDigits(*day) + "/" + std::string(text.substr(0, 4));
}

/** "hh:mm:ss", with or without a fraction after it, of a real time of day. */
std::optional<std::string> cameraTime(std::string_view text) {
  const std::optional<int> hours = digitsAt(text, 0, 2);
  const std::optional<int> minutes = digitsAt(text, 3, 2);
  const std::optional<int> seconds = digitsAt(text, 6, 2);
  if (!hours || !minutes || !seconds || text[2] != ':' || text[5] != ':' || *hours > 23 ||
      *minutes > 59 || *seconds > 59) {
    return std::nullopt;
  }
  if (text.size() > 8 && text[8] != '.') {
    return std::nullopt;
  }
  return std::string(text.substr(0, 8));
}

}  // namespace

CameraDateTime cameraDateTimeOf(std::string_view dateObs) {
  constexpr std::size_t kDateLength = 10;
  CameraDateTime result;
  result.date = cameraDate(dateObs);
  if (!result.date) {
    return result;
  }
  if (dateObs.size() > kDateLength + 1 && dateObs[kDateLength] == 'T') {
    result.time = cameraTime(dateObs.substr(kDateLength + 1));
  }
  if (dateObs.size() > kDateLength && !result.time) {
    // Anything after the date but a readable time leaves the whole value in doubt.
    result.date.reset();
  }
  return result;
}

HeaderBytes reducedImageHeader(const ReducedStrip& strip, const FitsHeaderValues& header) {
  CameraImageHeader camera;
  camera.height = strip.height;
  camera.width = strip.width;
  camera.background = strip.background;
  camera.range = strip.range;
  camera.xPixelSizeMm = ui::shortestText(static_cast<double>(strip.pixelSizeUm.value_or(0.0f)) *
                                         kMillimetresPerMicrometre);
  if (header.dateObs) {
    const CameraDateTime when = cameraDateTimeOf(*header.dateObs);
    camera.date = when.date;
    camera.time = when.time;
  }
  if (header.exposureSeconds) {
    camera.exposureSeconds = ui::shortestText(*header.exposureSeconds);
  }
  // Every line is a few dozen characters at most, far less than the block holds.
  const std::vector<uint8_t> block = *encodeHeaderBlock(camera, PixelForm::Plain);
  HeaderBytes bytes{};
  std::copy(block.begin(), block.end(), bytes.begin());
  return bytes;
}

}  // namespace halvic

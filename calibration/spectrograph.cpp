#include "calibration/spectrograph.h"

#include <cctype>
#include <vector>

#include "imagefile/image_reader.h"
#include "ui/number_format.h"
#include "ui/number_text.h"

namespace halvic {

namespace {

constexpr std::string_view kBadGrating =
    "Grating must be empty (automatic) or a density from 10 to 10000 lines/mm.";
constexpr std::string_view kBadDeviation =
    "Deviation must be empty (0) or an angle from -150 to 150 degrees.";
constexpr std::string_view kBadPixel =
    "Pixel size must be empty (from the image header) or 0.5 to 1000 micrometres.";
constexpr std::string_view kAutomaticWord = "automatic";

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())) != 0) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())) != 0) {
    text.remove_suffix(1);
  }
  return text;
}

/** An empty text is nothing set; a number within [low, high] is that setting; else invalid. */
struct Setting {
  bool valid = false;
  std::optional<double> value;
};

Setting settingOf(std::string_view text, double low, double high) {
  const std::string_view word = trimmed(text);
  if (word.empty()) {
    return Setting{true, std::nullopt};
  }
  const std::optional<double> number = ui::parseDecimal(word);
  if (!number || !(*number >= low && *number <= high)) {
    return Setting{};
  }
  return Setting{true, *number};
}

template <typename Number>
std::string textOf(const std::optional<Number>& value) {
  return value ? ui::shortestText(*value) : std::string();
}

}  // namespace

SpectrographTexts spectrographTexts(const Spectrograph& spectrograph) {
  return {textOf(spectrograph.linesPerMm), textOf(spectrograph.deviationDeg),
          textOf(spectrograph.pixelSizeUm)};
}

SpectrographRead readSpectrograph(const SpectrographTexts& texts) {
  const std::string_view grating = trimmed(texts.grating);
  const Setting lines = grating == kAutomaticWord
                            ? Setting{true, std::nullopt}
                            : settingOf(grating, kFewestSetLinesPerMm, kMostSetLinesPerMm);
  if (!lines.valid) {
    return {std::nullopt, std::string(kBadGrating)};
  }
  const Setting deviation =
      settingOf(texts.deviation, -kLargestSetDeviationDeg, kLargestSetDeviationDeg);
  if (!deviation.valid) {
    return {std::nullopt, std::string(kBadDeviation)};
  }
  const Setting pixel = settingOf(texts.pixel, kSmallestPixelSizeUm, kLargestPixelSizeUm);
  if (!pixel.valid) {
    return {std::nullopt, std::string(kBadPixel)};
  }
  Spectrograph spectrograph{lines.value, deviation.value, std::nullopt};
  if (pixel.value) {
    spectrograph.pixelSizeUm = static_cast<float>(*pixel.value);
  }
  return {spectrograph, {}};
}

std::string spectrographSettingsLine(const Spectrograph& spectrograph) {
  std::vector<std::string> set;
  if (spectrograph.linesPerMm) {
    set.push_back("grating " + ui::shortestText(*spectrograph.linesPerMm) + " lines/mm");
  }
  if (spectrograph.deviationDeg) {
    set.push_back("deviation " + ui::shortestText(*spectrograph.deviationDeg) + " deg");
  }
  if (spectrograph.pixelSizeUm) {
    set.push_back("pixel " + ui::shortestText(*spectrograph.pixelSizeUm) + " um");
  }
  std::string line;
  for (const std::string& part : set) {
    line += line.empty() ? "Set: " + part : ", " + part;
  }
  return line;
}

}  // namespace halvic

#include "calibration/line_check.h"

#include <algorithm>
#include <cmath>

#include "calibration/line_list.h"

namespace halvic {

namespace {

constexpr int kBisectionSteps = 60;

double wavelengthAt(const GratingModel& model, double pixel) {
  double betaDeg = 0.0;
  return evaluateGratingModel(model, pixel, betaDeg);
}

bool isBlended(const std::vector<std::optional<double>>& predicted, size_t index, double width) {
  const double reach = kBlendWidths * width;
  for (size_t other = 0; other < predicted.size(); ++other) {
    if (other != index && predicted[other] &&
        std::fabs(*predicted[other] - *predicted[index]) < reach) {
      return true;
    }
  }
  return false;
}

bool isNearAnEnd(double pixel, const LineCheckInputs& in) {
  const auto reach = static_cast<double>(measurementReach(in.lineWidth));
  return std::round(pixel) - reach < 1.0 || std::round(pixel) + reach > in.length;
}

CheckedLine checkLine(const LineCheckInputs& in, const LampProfile& lamp, double noise,
                      const LineWavelength& wavelength, double predicted, bool blended) {
  CheckedLine line;
  line.wavelength = wavelength;
  line.predictedPixel = predicted;
  const bool nearAnEnd = isNearAnEnd(predicted, in);
  std::optional<MeasuredLine> measured;
  if (!nearAnEnd) {
    measured = measureLineNear(lamp, predicted, in.lineWidth, in.lineWidth, noise);
  }
  if (nearAnEnd) {
    line.status = LineStatus::Edge;
  } else if (lineWindowHoldsFullScale(lamp, predicted, in.lineWidth) ||
             (measured && measured->saturated)) {
    line.status = LineStatus::Saturated;
  } else if (blended) {
    line.status = LineStatus::Blended;
  } else if (!measured) {
    line.status = LineStatus::NoLine;
    return line;
  } else {
    line.status = LineStatus::Used;
  }
  if (measured.has_value()) {
    const double pixel = measured.value().pixel;
    line.measuredPixel = static_cast<float>(pixel);
    line.residualA = wavelengthAt(in.model, pixel) - wavelength.value;
    line.residualPx = pixel - predicted;
    line.residualKms = kSpeedOfLightKmPerS * *line.residualA / wavelength.value;
  }
  return line;
}

void addRms(LineCheck& check) {
  double sumA = 0.0;
  double sumKms = 0.0;
  for (const CheckedLine& line : check.lines) {
    if (line.status == LineStatus::Used) {
      sumA += *line.residualA * *line.residualA;
      sumKms += *line.residualKms * *line.residualKms;
      check.fromA = check.used == 0 ? line.wavelength.value : check.fromA;
      check.toA = line.wavelength.value;
      ++check.used;
    }
  }
  if (check.used > 0) {
    check.rmsA = std::sqrt(sumA / check.used);
    check.rmsKms = std::sqrt(sumKms / check.used);
  }
}

}  // namespace

std::string_view lineStatusWord(LineStatus status) {
  switch (status) {
    case LineStatus::Used:
      return "used";
    case LineStatus::Blended:
      return "blended";
    case LineStatus::NoLine:
      return "no-line";
    case LineStatus::Saturated:
      return "saturated";
    case LineStatus::Edge:
      return "edge";
  }
  return {};
}

std::vector<LineWavelength> listedLampWavelengths(std::span<const LampElement> elements) {
  if (elements.empty()) {
    return lampLineWavelengths();
  }
  std::vector<LineWavelength> wavelengths;
  for (const LampLine& line : lampLinesOf(elements)) {
    wavelengths.push_back(LineWavelength::fromDouble(line.airA));
  }
  return wavelengths;
}

std::vector<LineWavelength> lampLineWavelengths() {
  std::vector<LineWavelength> lamps;
  for (const LineListEntry& entry : lineList()) {
    if (isLampLine(entry.source)) {
      lamps.push_back(entry.wavelength);
    }
  }
  std::sort(lamps.begin(), lamps.end(),
            [](const LineWavelength& a, const LineWavelength& b) { return a.value < b.value; });
  return lamps;
}

std::optional<double> modelPixelOf(const GratingModel& model, double wavelength, int16_t length) {
  if (length < 2) {
    return std::nullopt;
  }
  double low = 1.0;
  double high = static_cast<double>(length);
  const double lowOffset = wavelengthAt(model, low) - wavelength;
  const double highOffset = wavelengthAt(model, high) - wavelength;
  if (lowOffset == 0.0 || highOffset == 0.0) {
    return lowOffset == 0.0 ? low : high;
  }
  if (!std::isfinite(lowOffset) || !std::isfinite(highOffset) ||
      (lowOffset > 0.0) == (highOffset > 0.0)) {
    return std::nullopt;
  }
  const bool risingFromLow = lowOffset < 0.0;
  for (int step = 0; step < kBisectionSteps; ++step) {
    const double middle = 0.5 * (low + high);
    const bool belowWavelength = wavelengthAt(model, middle) < wavelength;
    if (belowWavelength == risingFromLow) {
      low = middle;
    } else {
      high = middle;
    }
  }
  return 0.5 * (low + high);
}

LineCheck checkCalibration(const LineCheckInputs& inputs, std::span<const LineWavelength> lamps) {
  std::vector<std::optional<double>> predicted;
  predicted.reserve(lamps.size());
  for (const LineWavelength& lamp : lamps) {
    predicted.push_back(modelPixelOf(inputs.model, lamp.value, inputs.length));
  }
  const LampProfile lamp{inputs.profile, inputs.length, inputs.image, inputs.cropRow1,
                         inputs.cropRow2};
  const double noise = profileNoise(lamp);
  LineCheck check;
  for (size_t index = 0; index < lamps.size(); ++index) {
    if (predicted[index]) {
      check.lines.push_back(checkLine(inputs, lamp, noise, lamps[index], *predicted[index],
                                      isBlended(predicted, index, inputs.lineWidth)));
    }
  }
  std::stable_sort(check.lines.begin(), check.lines.end(),
                   [](const CheckedLine& a, const CheckedLine& b) {
                     return a.wavelength.value < b.wavelength.value;
                   });
  addRms(check);
  return check;
}

}  // namespace halvic

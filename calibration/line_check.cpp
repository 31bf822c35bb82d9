#include "calibration/line_check.h"

#include <algorithm>
#include <cmath>

#include "calibration/centroid.h"
#include "calibration/line_list.h"

namespace halvic {

namespace {

constexpr int kBisectionSteps = 60;

double wavelengthAt(const GratingModel& model, double pixel) {
  double betaDeg = 0.0;
  return evaluateGratingModel(model, pixel, betaDeg);
}

int16_t nearestColumn(double pixel, int16_t length) {
  const double clamped = std::clamp(std::round(pixel), 1.0, static_cast<double>(length));
  return static_cast<int16_t>(clamped);
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : 0.5 * (values[middle - 1] + values[middle]);
}

/** The columns of a window of `width` starting at `start`, limited to the profile. */
struct Window {
  int start = 0;
  int width = 0;
};

Window windowAt(int16_t length, int16_t cursor, int16_t width) {
  return Window{centroidWindowStart(length, cursor, width), width};
}

bool holdsFullScale(const LineCheckInputs& in, const Window& window) {
  const int firstRow = std::min(in.cropRow1, in.cropRow2);
  const int lastRow = std::max(in.cropRow1, in.cropRow2);
  for (int column = window.start; column < window.start + window.width; ++column) {
    for (int row = firstRow; row <= lastRow; ++row) {
      if (in.image.at(column, row) >= kSaturatedCount) {
        return true;
      }
    }
  }
  return false;
}

/** Whether the window's highest value stands clear of the noise of the columns either side. */
bool standsAboveNoise(const LineCheckInputs& in, const Window& window) {
  std::vector<double> flanks;
  for (int offset = 1; offset <= kNoiseFlankColumns; ++offset) {
    for (const int column : {window.start - offset, window.start + window.width - 1 + offset}) {
      if (column >= 1 && column <= in.length) {
        flanks.push_back(in.profile.at(column));
      }
    }
  }
  if (flanks.empty()) {
    return false;
  }
  const double background = median(flanks);
  std::vector<double> deviations;
  deviations.reserve(flanks.size());
  for (const double value : flanks) {
    deviations.push_back(std::fabs(value - background));
  }
  const double noise = median(deviations);
  double peak = in.profile.at(window.start);
  for (int column = window.start; column < window.start + window.width; ++column) {
    peak = std::max(peak, static_cast<double>(in.profile.at(column)));
  }
  const double height = peak - background;
  return height > 0.0 && height >= kLineNoiseMultiple * noise;
}

// Two lines blend when their windows overlap: the other line's light then falls into this line's
// window or onto the background columns beside it, and pulls the centroid.
bool isBlended(const std::vector<std::optional<double>>& predicted, size_t index, int16_t width) {
  const auto reach = static_cast<double>(width);
  for (size_t other = 0; other < predicted.size(); ++other) {
    if (other != index && predicted[other] &&
        std::fabs(*predicted[other] - *predicted[index]) < reach) {
      return true;
    }
  }
  return false;
}

bool isNearAnEnd(double pixel, const LineCheckInputs& in) {
  return pixel - 1.0 < in.width || static_cast<double>(in.length) - pixel < in.width;
}

/** The centroid at the predicted pixel, re-centred once; the window of the last measurement. */
struct Measurement {
  std::optional<float> pixel;
  Window firstWindow;
  Window lastWindow;
};

/** Lamp lines are emission lines; a window centroidLine weighs as absorption holds none in its
 * middle. */
bool weighsAsEmission(const LineCheckInputs& in, const Window& window) {
  return halvic::weighsAsEmission(in.profile, window.start, static_cast<int16_t>(window.width));
}

Measurement measure(const LineCheckInputs& in, double predicted) {
  const int16_t firstCursor = nearestColumn(predicted, in.length);
  Measurement result{std::nullopt, windowAt(in.length, firstCursor, in.width),
                     windowAt(in.length, firstCursor, in.width)};
  const Centroid first = centroidLine(in.profile, in.length, firstCursor, in.width);
  if (first.status != CentroidStatus::Ok || !weighsAsEmission(in, result.firstWindow)) {
    return result;
  }
  const int16_t secondCursor = nearestColumn(static_cast<double>(first.pixel), in.length);
  result.lastWindow = windowAt(in.length, secondCursor, in.width);
  const Centroid second = centroidLine(in.profile, in.length, secondCursor, in.width);
  // Unclipped weights may carry a centroid out of its window, onto whatever lies there.
  const double reach = static_cast<double>(in.width) / 2.0;
  if (second.status == CentroidStatus::Ok && weighsAsEmission(in, result.lastWindow) &&
      std::fabs(static_cast<double>(second.pixel) - predicted) <= reach) {
    result.pixel = second.pixel;
  }
  return result;
}

CheckedLine checkLine(const LineCheckInputs& in, const LineWavelength& wavelength, double predicted,
                      bool blended) {
  CheckedLine line;
  line.wavelength = wavelength;
  line.predictedPixel = predicted;
  const Measurement measured = measure(in, predicted);
  if (isNearAnEnd(predicted, in)) {
    line.status = LineStatus::Edge;
  } else if (holdsFullScale(in, measured.firstWindow) || holdsFullScale(in, measured.lastWindow)) {
    line.status = LineStatus::Saturated;
  } else if (blended) {
    line.status = LineStatus::Blended;
  } else if (!measured.pixel || !standsAboveNoise(in, measured.lastWindow)) {
    line.status = LineStatus::NoLine;
    return line;
  } else {
    line.status = LineStatus::Used;
  }
  if (measured.pixel) {
    const double pixel = static_cast<double>(*measured.pixel);
    line.measuredPixel = measured.pixel;
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
  LineCheck check;
  for (size_t index = 0; index < lamps.size(); ++index) {
    if (predicted[index]) {
      check.lines.push_back(checkLine(inputs, lamps[index], *predicted[index],
                                      isBlended(predicted, index, inputs.width)));
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

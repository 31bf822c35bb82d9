#include "calibration/line_measurement.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>

namespace halvic {

namespace {

constexpr double kMadToSigma = 1.4826;
/** Counts are whole numbers: no profile is quieter than one count. */
constexpr double kLeastNoise = 1.0;
/** The strongest lines whose widths give the lamp's. */
constexpr size_t kWidthLines = 10;
/** A line measured for the width has no other line this many columns either side. */
constexpr int kIsolationColumns = 10;
/** Its background: the median of the columns this far out either side. */
constexpr int kWidthFlankNear = 10;
constexpr int kWidthFlankFar = 20;
/** Lines weaker than this many times the noise give no width. */
constexpr double kWidthLineNoiseMultiple = 10.0;

double median(std::vector<double> values) {
  if (values.empty()) {
    return 0.0;
  }
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : 0.5 * (values[middle - 1] + values[middle]);
}

double at(const LampProfile& lamp, int column) { return lamp.profile.at(column); }

bool isLocalMaximum(const LampProfile& lamp, int column) {
  return column > 1 && column < lamp.length && at(lamp, column) > at(lamp, column - 1) &&
         at(lamp, column) >= at(lamp, column + 1);
}

/** The median of the columns from near to far either side of column, those inside the profile. */
double flankMedian(const LampProfile& lamp, int column, int near, int far) {
  std::vector<double> flanks;
  for (int offset = near; offset <= far; ++offset) {
    for (const int flank : {column - offset, column + offset}) {
      if (flank >= 1 && flank <= lamp.length) {
        flanks.push_back(at(lamp, flank));
      }
    }
  }
  return median(std::move(flanks));
}

/** Where the profile falls through level going from column in steps of direction, interpolated. */
std::optional<double> halfWay(const LampProfile& lamp, int column, int direction, double level) {
  for (int next = column + direction; next >= 1 && next <= lamp.length; next += direction) {
    const double inner = at(lamp, next - direction);
    const double outer = at(lamp, next);
    if (outer < level) {
      return (next - direction) + direction * (inner - level) / (inner - outer);
    }
  }
  return std::nullopt;
}

bool holdsFullScale(const LampProfile& lamp, int first, int last) {
  const int firstRow = std::min(lamp.cropRow1, lamp.cropRow2);
  const int lastRow = std::max(lamp.cropRow1, lamp.cropRow2);
  for (int column = first; column <= last; ++column) {
    for (int row = firstRow; row <= lastRow; ++row) {
      if (lamp.image.at(column, row) >= kSaturatedCount) {
        return true;
      }
    }
  }
  return false;
}

/** The line's window and background around a peak column, for a line of that width. */
struct Window {
  int first = 0;
  int last = 0;
  double background = 0.0;
};

int halfWindow(double width) { return std::max(1, static_cast<int>(std::lround(width))); }

/**
 * The columns either side of a line's middle that its Gaussian is fitted to. A wide line's wings
 * are often skewed by the camera's optics and pull the centre away from the peak, so a wide line
 * gives only its core; at least nine columns, though, for the four parameters to stay well fixed,
 * and a line narrower than that keeps its whole window.
 */
int coreHalfWindow(double width) {
  constexpr double kCoreWidths = 0.75;
  constexpr int kLeastCoreHalf = 4;
  return std::min(halfWindow(width),
                  std::max(kLeastCoreHalf, static_cast<int>(std::lround(kCoreWidths * width))));
}

std::optional<Window> windowAround(const LampProfile& lamp, int column, double width) {
  const int half = halfWindow(width);
  const int near = std::max(half + 1, static_cast<int>(std::lround(2.0 * width)));
  const int far = measurementReach(width);
  if (column - far < 1 || column + far > lamp.length) {
    return std::nullopt;
  }
  return Window{column - half, column + half, flankMedian(lamp, column, near, far)};
}

std::optional<double> centroidIn(const LampProfile& lamp, const Window& window) {
  double weighted = 0.0;
  double weights = 0.0;
  for (int column = window.first; column <= window.last; ++column) {
    const double weight = std::max(0.0, at(lamp, column) - window.background);
    weighted += column * weight;
    weights += weight;
  }
  if (!(weights > 0.0)) {
    return std::nullopt;
  }
  return weighted / weights;
}

/** A Gaussian on a flat background: height, centre, sigma, background. */
using GaussianParameters = Eigen::Vector4d;

constexpr int kMostGaussianSteps = 100;
/** A millionth of a column is far below what any line's centre is good to. */
constexpr double kCentreTolerance = 1e-6;

/** The window's sum of squared residuals, and its gradient and Gauss-Newton matrix. */
struct GaussianFitTerms {
  double cost = 0.0;
  Eigen::Matrix4d normal = Eigen::Matrix4d::Zero();
  Eigen::Vector4d gradient = Eigen::Vector4d::Zero();
};

GaussianFitTerms gaussianFitTerms(const LampProfile& lamp, const Window& window,
                                  const GaussianParameters& p) {
  GaussianFitTerms terms;
  for (int column = window.first; column <= window.last; ++column) {
    const double z = (column - p[1]) / p[2];
    const double shape = std::exp(-0.5 * z * z);
    const double residual = p[0] * shape + p[3] - at(lamp, column);
    const Eigen::Vector4d slope(shape, p[0] * shape * z / p[2], p[0] * shape * z * z / p[2], 1.0);
    terms.cost += residual * residual;
    terms.normal += slope * slope.transpose();
    terms.gradient += residual * slope;
  }
  return terms;
}

/**
 * Levenberg-Marquardt on the four parameters with fixed-size matrices: a check measures every
 * listed line, so each fit must cost microseconds, not the allocations of a general solver.
 */
GaussianParameters fitGaussian(const LampProfile& lamp, const Window& window,
                               GaussianParameters p) {
  double damping = 1e-3;
  GaussianFitTerms terms = gaussianFitTerms(lamp, window, p);
  for (int step = 0; step < kMostGaussianSteps; ++step) {
    Eigen::Matrix4d damped = terms.normal;
    damped.diagonal() *= 1.0 + damping;
    const Eigen::Vector4d delta = damped.ldlt().solve(-terms.gradient);
    if (!delta.allFinite()) {
      break;
    }
    const GaussianParameters next = p + delta;
    const GaussianFitTerms nextTerms = gaussianFitTerms(lamp, window, next);
    if (nextTerms.cost <= terms.cost) {
      p = next;
      terms = nextTerms;
      damping *= 0.1;
      if (std::fabs(delta[1]) < kCentreTolerance) {
        break;
      }
    } else {
      damping *= 10.0;
    }
  }
  return p;
}

/**
 * The centre of the Gaussian that fits the window's core best, started from the centroid: the
 * peak's own position, which the line's wings and a faint neighbour pull far less than they pull
 * a centroid. nullopt when the fit puts the centre outside the window or is no peak at all.
 */
std::optional<double> gaussianCentre(const LampProfile& lamp, const Window& window, double centroid,
                                     double width) {
  constexpr double kFwhmToSigma = 0.4246609;  // 1 / (2 sqrt(2 ln 2))
  const int middle = (window.first + window.last) / 2;
  const int half = coreHalfWindow(width);
  const Window core{middle - half, middle + half, window.background};
  const double peak = at(lamp, static_cast<int>(std::lround(centroid)));
  const GaussianParameters p = fitGaussian(
      lamp, core, {peak - window.background, centroid, width * kFwhmToSigma, window.background});
  const bool sound =
      p.allFinite() && p[0] > 0.0 && p[2] > 0.0 && p[1] >= window.first && p[1] <= window.last;
  return sound ? std::optional<double>(p[1]) : std::nullopt;
}

}  // namespace

int measurementReach(double width) {
  const int near = std::max(halfWindow(width) + 1, static_cast<int>(std::lround(2.0 * width)));
  return std::max(near + 1, static_cast<int>(std::lround(3.0 * width)));
}

bool lineWindowHoldsFullScale(const LampProfile& lamp, double pixel, double width) {
  const int column = static_cast<int>(std::lround(pixel));
  const int half = halfWindow(width);
  return holdsFullScale(lamp, std::max(1, column - half),
                        std::min(static_cast<int>(lamp.length), column + half));
}

double profileNoise(const LampProfile& lamp) {
  std::vector<double> steps;
  for (int column = 1; column < lamp.length; ++column) {
    steps.push_back(std::fabs(at(lamp, column + 1) - at(lamp, column)));
  }
  return std::max(kLeastNoise, kMadToSigma * median(std::move(steps)) / std::sqrt(2.0));
}

double lampLineWidth(const LampProfile& lamp) {
  const double noise = profileNoise(lamp);
  struct Peak {
    int column;
    double height;
    double background;
  };
  std::vector<Peak> peaks;
  for (int column = 2; column < lamp.length; ++column) {
    if (isLocalMaximum(lamp, column)) {
      const double background = flankMedian(lamp, column, kWidthFlankNear, kWidthFlankFar);
      peaks.push_back({column, at(lamp, column) - background, background});
    }
  }
  std::vector<Peak> isolated;
  for (const Peak& peak : peaks) {
    const bool alone = std::none_of(peaks.begin(), peaks.end(), [&peak, noise](const Peak& other) {
      return other.column != peak.column &&
             std::abs(other.column - peak.column) <= kIsolationColumns &&
             other.height > kLineNoiseMultiple * noise;
    });
    if (alone && peak.height >= kWidthLineNoiseMultiple * noise) {
      isolated.push_back(peak);
    }
  }
  std::sort(isolated.begin(), isolated.end(),
            [](const Peak& a, const Peak& b) { return a.height > b.height; });
  std::vector<double> widths;
  for (size_t i = 0; i < isolated.size() && widths.size() < kWidthLines; ++i) {
    const Peak& peak = isolated[i];
    const double level = peak.background + 0.5 * peak.height;
    const std::optional<double> left = halfWay(lamp, peak.column, -1, level);
    const std::optional<double> right = halfWay(lamp, peak.column, +1, level);
    if (left && right) {
      widths.push_back(*right - *left);
    }
  }
  return widths.empty() ? kDefaultLineWidthPx : median(std::move(widths));
}

std::optional<MeasuredLine> measureLineNear(const LampProfile& lamp, double near, double reach,
                                            double width, double noise) {
  std::optional<int> peak;
  for (int column = static_cast<int>(std::ceil(near - reach));
       column <= static_cast<int>(std::floor(near + reach)); ++column) {
    if (isLocalMaximum(lamp, column) &&
        (!peak || std::fabs(column - near) < std::fabs(*peak - near))) {
      peak = column;
    }
  }
  if (!peak) {
    return std::nullopt;
  }
  std::optional<Window> window = windowAround(lamp, *peak, width);
  if (!window || at(lamp, *peak) - window->background < kLineNoiseMultiple * noise) {
    return std::nullopt;
  }
  std::optional<double> centroid = centroidIn(lamp, *window);
  // Once more around the centroid: a window that was off the line's middle weighs it unevenly.
  const std::optional<Window> again =
      centroid ? windowAround(lamp, static_cast<int>(std::lround(*centroid)), width) : std::nullopt;
  if (again) {
    window = again;
    centroid = centroidIn(lamp, *window);
  }
  const std::optional<double> centre =
      centroid ? gaussianCentre(lamp, *window, *centroid, width) : std::nullopt;
  if (!centre) {
    return std::nullopt;
  }
  return MeasuredLine{*centre, at(lamp, *peak) - window->background,
                      holdsFullScale(lamp, window->first, window->last)};
}

std::vector<MeasuredLine> findLines(const LampProfile& lamp, double width, double noise) {
  std::vector<MeasuredLine> lines;
  for (int column = 2; column < lamp.length; ++column) {
    if (isLocalMaximum(lamp, column)) {
      const std::optional<MeasuredLine> line = measureLineNear(lamp, column, 0.0, width, noise);
      if (!line) {
        continue;
      }
      // Two maxima on one line (a flat or a noisy top) measure the same line twice.
      if (!lines.empty() && std::fabs(line->pixel - lines.back().pixel) < 0.5 * width) {
        if (line->height > lines.back().height) {
          lines.back() = *line;
        }
        continue;
      }
      lines.push_back(*line);
    }
  }
  return lines;
}

}  // namespace halvic

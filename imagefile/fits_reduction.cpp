#include "imagefile/fits_reduction.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <tuple>

#include "ui/number_text.h"

namespace halvic {

namespace {

// The share of a profile taken as its background: low enough that a trace or a lamp's slit
// covering most of it still stands above it.
constexpr double kBackgroundQuantile = 0.1;
// A trace ends where it falls below this share of its height above the background.
constexpr double kTraceEdgeLevel = 0.1;

/** A run of pixels along one axis, counted from 0. */
struct Run {
  int start = 0;
  int length = 0;
};

/** The band and window of a reduction, with the steps between neighbours in the pixel array. */
struct Layout {
  Run along;   // the window along the spectrum
  Run across;  // the band across it
  std::size_t alongStep = 1;
  std::size_t acrossStep = 1;
};

Layout layoutOf(const FitsImage& image, const Reduction& reduction) {
  const Run rows{reduction.firstRow - 1, reduction.rows};
  const Run columns{reduction.firstColumn - 1, reduction.columns};
  const auto rowStep = static_cast<std::size_t>(image.width);
  if (reduction.axis == DispersionAxis::Rows) {
    return {columns, rows, 1, rowStep};
  }
  return {rows, columns, rowStep, 1};
}

float pixelAt(const FitsImage& image, const Layout& layout, int along, int across) {
  return image.pixels[static_cast<std::size_t>(layout.along.start + along) * layout.alongStep +
                      static_cast<std::size_t>(layout.across.start + across) * layout.acrossStep];
}

// ---- Checks ----

std::string capitalised(std::string_view noun) {
  std::string text(noun);
  text[0] = static_cast<char>(text[0] - 'a' + 'A');
  return text;
}

void checkRun(std::vector<ReductionProblem>& problems, std::string_view firstField,
              std::string_view countField, int64_t first, int64_t count, int64_t last,
              std::string_view noun) {
  const std::string lastText = std::to_string(last);
  const bool firstInside = first >= 1 && first <= last;
  if (!firstInside) {
    problems.push_back(
        {firstField, "First " + std::string(noun) + " must be from 1 to " + lastText + "."});
  }
  if (count < 1) {
    problems.push_back({countField, capitalised(noun) + "s must be 1 or more."});
  } else if (firstInside && first + count - 1 > last) {
    problems.push_back({countField, capitalised(noun) + "s " + std::to_string(first) + " to " +
                                        std::to_string(first + count - 1) +
                                        " run past the image's last " + std::string(noun) + ", " +
                                        lastText + "."});
  }
}

void checkBin(std::vector<ReductionProblem>& problems, const Reduction& reduction) {
  if (reduction.bin < 1) {
    problems.push_back({reduction_field::kBin, "Bin must be 1 or more."});
    return;
  }
  const bool alongRows = reduction.axis == DispersionAxis::Rows;
  const int length = alongRows ? reduction.columns : reduction.rows;
  if (length < 1) {
    return;
  }
  const int binned = length / reduction.bin;
  const std::string window = "Binned by " + std::to_string(reduction.bin) + ", the " +
                             std::to_string(length) + (alongRows ? " columns" : " rows") +
                             " along the spectrum make ";
  if (binned == 0) {
    problems.push_back({reduction_field::kBin, window + "no strip column."});
  } else if (binned > kImageColumns) {
    problems.push_back({reduction_field::kBin, window + std::to_string(binned) +
                                                   " strip columns, more than " +
                                                   std::to_string(kImageColumns) + "."});
  }
}

// ---- Proposal ----

/** The value below which the given share of values lies (values is reordered). */
double quantile(std::vector<double> values, double share) {
  if (values.empty()) {
    return 0.0;
  }
  const auto at = static_cast<std::ptrdiff_t>(share * static_cast<double>(values.size() - 1));
  std::nth_element(values.begin(), values.begin() + at, values.end());
  return values[static_cast<std::size_t>(at)];
}

/** Each row's and each column's mean over the pixels that are not blank (0 when all are). */
struct MeanProfiles {
  std::vector<double> ofRows;
  std::vector<double> ofColumns;
};

// Blank pixels count as 0 here and are left out of the counts the sums are divided by. The row's
// sum is gathered in four interleaved parts, so that the additions need not wait on each other.
MeanProfiles meanProfiles(const FitsImage& image) {
  const auto width = static_cast<std::size_t>(image.width);
  std::vector<double> columnSums(width, 0.0);
  std::vector<int64_t> columnCounts(width, 0);
  MeanProfiles profiles{std::vector<double>(static_cast<std::size_t>(image.height), 0.0), {}};
  for (std::size_t row = 0; row < profiles.ofRows.size(); ++row) {
    const float* pixel = image.pixels.data() + row * width;
    std::array<double, 4> rowSums{};
    int64_t rowCount = 0;
    for (std::size_t column = 0; column < width; ++column) {
      const float value = pixel[column];
      const bool counted = !std::isnan(value);
      const double kept = counted ? double{value} : 0.0;
      rowSums[column % 4] += kept;
      rowCount += counted ? 1 : 0;
      columnSums[column] += kept;
      columnCounts[column] += counted ? 1 : 0;
    }
    const double rowSum = (rowSums[0] + rowSums[1]) + (rowSums[2] + rowSums[3]);
    profiles.ofRows[row] = rowCount > 0 ? rowSum / static_cast<double>(rowCount) : 0.0;
  }
  profiles.ofColumns.resize(width);
  for (std::size_t column = 0; column < width; ++column) {
    profiles.ofColumns[column] =
        columnCounts[column] > 0 ? columnSums[column] / static_cast<double>(columnCounts[column])
                                 : 0.0;
  }
  return profiles;
}

// A bad row or column is one sample wide; a median of three removes it before a trace is looked
// for, while any trace wider than a pixel stays.
std::vector<double> medianOfThree(const std::vector<double>& profile) {
  std::vector<double> smoothed = profile;
  for (std::size_t i = 1; i + 1 < profile.size(); ++i) {
    const double a = profile[i - 1];
    const double b = profile[i];
    const double c = profile[i + 1];
    smoothed[i] = std::max(std::min(a, b), std::min(std::max(a, b), c));
  }
  return smoothed;
}

/** How far the light above the background spreads along a profile: its standard deviation. */
double spreadOfLight(const std::vector<double>& profile) {
  const double background = quantile(profile, kBackgroundQuantile);
  double total = 0.0;
  double first = 0.0;
  for (std::size_t i = 0; i < profile.size(); ++i) {
    const double light = std::max(0.0, profile[i] - background);
    total += light;
    first += light * static_cast<double>(i);
  }
  if (!(total > 0.0)) {
    return 0.0;
  }
  const double centre = first / total;
  double second = 0.0;
  for (std::size_t i = 0; i < profile.size(); ++i) {
    const double offset = static_cast<double>(i) - centre;
    second += std::max(0.0, profile[i] - background) * offset * offset;
  }
  return std::sqrt(second / total);
}

/** The band around the brightest trace of a profile across the spectrum. */
Run bandAroundBrightestTrace(const std::vector<double>& profile) {
  const int length = static_cast<int>(profile.size());
  const double background = quantile(profile, kBackgroundQuantile);
  const auto peakAt = std::max_element(profile.begin(), profile.end());
  const int peak = static_cast<int>(peakAt - profile.begin());
  const double height = *peakAt - background;
  if (!(height > 0.0)) {
    return {0, length};
  }
  const double edge = background + kTraceEdgeLevel * height;
  int low = peak;
  while (low > 0 && profile[static_cast<std::size_t>(low - 1)] > edge) {
    --low;
  }
  int high = peak;
  while (high + 1 < length && profile[static_cast<std::size_t>(high + 1)] > edge) {
    ++high;
  }
  // Centred between the trace's edges rather than on its highest sample, which the median of
  // three may have moved by one; as much sky again as the trace's half width lies beyond it on
  // either side.
  const int centre = (low + high) / 2;
  const int halfWidth = (high - low) / 2 + 1;
  const int start = std::max(0, centre - 2 * halfWidth);
  const int end = std::min(length - 1, centre + 2 * halfWidth);
  return {start, end - start + 1};
}

int smallestFittingBin(int length) { return (length + kImageColumns - 1) / kImageColumns; }

// ---- Strip ----

/** The level at or above which a pixel is saturated; infinity when nothing says. */
float saturationLevelOf(const FitsImage& image) {
  double level = image.storedMaximum.value_or(std::numeric_limits<float>::infinity());
  if (image.header.saturationLevel) {
    level = std::min(level, *image.header.saturationLevel);
  }
  // Beyond a float's range the level is beyond every pixel: no float conversion is undefined.
  return static_cast<float>(std::clamp(level, -double{std::numeric_limits<float>::max()},
                                       double{std::numeric_limits<float>::infinity()}));
}

/** The median of the values that are not blank (the upper middle one of an even count). */
float medianOfUnblank(const FitsImage& image, const Layout& layout, int alongLength) {
  std::vector<float> values;
  for (int across = 0; across < layout.across.length; ++across) {
    for (int along = 0; along < alongLength; ++along) {
      if (const float value = pixelAt(image, layout, along, across); !std::isnan(value)) {
        values.push_back(value);
      }
    }
  }
  if (values.empty()) {
    return 0.0f;
  }
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

int64_t blanksIn(const FitsImage& image, const Layout& layout, int alongLength) {
  int64_t blanks = 0;
  for (int across = 0; across < layout.across.length; ++across) {
    for (int along = 0; along < alongLength; ++along) {
      blanks += std::isnan(pixelAt(image, layout, along, across)) ? 1 : 0;
    }
  }
  return blanks;
}

/** The strip before scaling: each cell's mean and whether it took in a saturated pixel. */
struct StripMeans {
  int width = 0;
  int height = 0;
  std::vector<double> means;  // row by row
  std::vector<bool> saturated;
};

StripMeans averageIntoStrip(const FitsImage& image, const Layout& layout, int bin,
                            float blankValue) {
  const int bandLength = layout.across.length;
  StripMeans strip;
  strip.width = layout.along.length / bin;
  strip.height = std::min(bandLength, kImageRows);
  const auto cells = static_cast<std::size_t>(strip.width * strip.height);
  strip.means.assign(cells, 0.0);
  strip.saturated.assign(cells, false);
  std::vector<int> runLength(static_cast<std::size_t>(strip.height), 0);
  const float saturation = saturationLevelOf(image);
  const int usedLength = strip.width * bin;
  for (int across = 0; across < bandLength; ++across) {
    // The strip row whose run of band rows holds this one: the largest k with
    // floor(k H / S) <= across.
    const int stripRow = static_cast<int>((int64_t{across + 1} * strip.height - 1) / bandLength);
    ++runLength[static_cast<std::size_t>(stripRow)];
    const auto rowStart = static_cast<std::size_t>(stripRow * strip.width);
    for (int along = 0; along < usedLength; ++along) {
      const float value = pixelAt(image, layout, along, across);
      const std::size_t cell = rowStart + static_cast<std::size_t>(along / bin);
      strip.means[cell] += std::isnan(value) ? blankValue : value;
      if (value >= saturation) {
        strip.saturated[cell] = true;
      }
    }
  }
  for (std::size_t cell = 0; cell < cells; ++cell) {
    const int row = static_cast<int>(cell) / strip.width;
    strip.means[cell] /= static_cast<double>(runLength[static_cast<std::size_t>(row)] * bin);
  }
  return strip;
}

int16_t scaledValue(double mean, double factor) {
  const double scaled = ui::roundHalfEven(mean * factor);
  return static_cast<int16_t>(std::clamp(scaled, 0.0, double{kLargestUnsaturatedStripValue}));
}

/** The strip's values: saturated cells at 32767, the rest scaled so that the largest is 30000. */
void scaleIntoStrip(const StripMeans& means, bool flip, ReducedStrip& strip) {
  double largest = 0.0;
  for (std::size_t cell = 0; cell < means.means.size(); ++cell) {
    if (!means.saturated[cell]) {
      largest = std::max(largest, means.means[cell]);
    }
  }
  const double factor = largest > 0.0 ? kLargestUnsaturatedStripValue / largest : 1.0;
  for (int row = 0; row < means.height; ++row) {
    for (int column = 0; column < means.width; ++column) {
      const auto cell = static_cast<std::size_t>(row * means.width + column);
      const int stripColumn = flip ? means.width - column : column + 1;
      const bool saturated = means.saturated[cell];
      strip.saturatedStripPixels += saturated ? 1 : 0;
      strip.image.set(stripColumn, row + 1,
                      saturated ? kSaturatedStripValue : scaledValue(means.means[cell], factor));
    }
  }
}

/** Background at the strip's median, range up to the largest unsaturated value. */
void setDisplayLevels(ReducedStrip& strip) {
  std::vector<int16_t> values;
  for (int row = 1; row <= strip.height; ++row) {
    for (int column = 1; column <= strip.width; ++column) {
      values.push_back(strip.image.at(column, row));
    }
  }
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  strip.background = *middle;
  strip.range = std::max(1, kLargestUnsaturatedStripValue - strip.background);
}

}  // namespace

std::vector<ReductionProblem> checkReduction(const FitsImage& image, const Reduction& reduction) {
  std::vector<ReductionProblem> problems;
  checkRun(problems, reduction_field::kFirstRow, reduction_field::kRows, reduction.firstRow,
           reduction.rows, image.height, "row");
  checkRun(problems, reduction_field::kFirstColumn, reduction_field::kColumns,
           reduction.firstColumn, reduction.columns, image.width, "column");
  checkBin(problems, reduction);
  return problems;
}

Reduction proposeReduction(const FitsImage& image,
                           const std::optional<Reduction>& objectReduction) {
  if (objectReduction && checkReduction(image, *objectReduction).empty()) {
    return *objectReduction;
  }
  const MeanProfiles profiles = meanProfiles(image);
  const std::vector<double> ofRows = medianOfThree(profiles.ofRows);
  const std::vector<double> ofColumns = medianOfThree(profiles.ofColumns);
  Reduction reduction;
  reduction.axis = spreadOfLight(ofColumns) >= spreadOfLight(ofRows) ? DispersionAxis::Rows
                                                                     : DispersionAxis::Columns;
  if (reduction.axis == DispersionAxis::Rows) {
    const Run band = bandAroundBrightestTrace(ofRows);
    reduction.firstRow = band.start + 1;
    reduction.rows = band.length;
    reduction.columns = image.width;
    reduction.bin = smallestFittingBin(image.width);
  } else {
    const Run band = bandAroundBrightestTrace(ofColumns);
    reduction.firstColumn = band.start + 1;
    reduction.columns = band.length;
    reduction.rows = image.height;
    reduction.bin = smallestFittingBin(image.height);
  }
  return reduction;
}

StripReduction reduceToStrip(const FitsImage& image, const Reduction& reduction,
                             std::optional<float> pixelSizeUm) {
  if (const std::vector<ReductionProblem> problems = checkReduction(image, reduction);
      !problems.empty()) {
    return {std::nullopt, problems.front().reason};
  }
  const Layout layout = layoutOf(image, reduction);
  const int usedLength = layout.along.length / reduction.bin * reduction.bin;
  ReducedStrip strip;
  strip.blankPixelsReplaced = blanksIn(image, layout, usedLength);
  const float blankValue =
      strip.blankPixelsReplaced > 0 ? medianOfUnblank(image, layout, usedLength) : 0.0f;
  const StripMeans means = averageIntoStrip(image, layout, reduction.bin, blankValue);
  strip.width = static_cast<int16_t>(means.width);
  strip.height = static_cast<int16_t>(means.height);
  scaleIntoStrip(means, reduction.flip, strip);
  setDisplayLevels(strip);
  if (pixelSizeUm) {
    strip.pixelSizeUm = *pixelSizeUm * static_cast<float>(reduction.bin);
  }
  return {std::move(strip), ""};
}

double originalPixelOf(const Reduction& reduction, int stripWidth, int stripColumn) {
  const int unflipped = reduction.flip ? stripWidth + 1 - stripColumn : stripColumn;
  return reduction.firstColumn + (unflipped - 1) * static_cast<double>(reduction.bin) +
         (reduction.bin - 1) / 2.0;
}

bool mapsColumnsAlike(const Reduction& first, const Reduction& second) {
  const auto mapping = [](const Reduction& reduction) {
    return std::tuple(reduction.axis, reduction.firstColumn, reduction.bin, reduction.flip,
                      reduction.columns / std::max(reduction.bin, 1));
  };
  return mapping(first) == mapping(second);
}

}  // namespace halvic

#include "spectrum/profile_extraction.h"

#include <algorithm>
#include <array>
#include <utility>

#include "ui/number_text.h"

namespace halvic {

namespace {

/** The crop box as a band of rows, first <= last, both inside 1..20. */
struct CropBand {
  int first;
  int last;
  int rows() const { return last - first + 1; }
  bool contains(int row) const { return row >= first && row <= last; }
};

/** The values of one column, index row - 1. */
using Column = std::array<int32_t, kImageRows>;

int limitedWidth(int16_t width) { return std::clamp<int>(width, 0, kProfileColumns); }

CropBand limitedCrop(int16_t row1, int16_t row2) {
  int first = std::clamp<int>(row1, 1, kImageRows);
  int last = std::clamp<int>(row2, 1, kImageRows);
  if (first > last) {
    std::swap(first, last);
  }
  return {first, last};
}

int32_t median(int32_t a, int32_t b, int32_t c, int32_t d) {
  return medianOfFour(static_cast<int16_t>(a), static_cast<int16_t>(b), static_cast<int16_t>(c),
                      static_cast<int16_t>(d));
}

/** A pixel that differs from the mean of its neighbours gives way to their median. */
int32_t keptOrMedian(int32_t pixel, int32_t reference, int32_t neighbourMedian) {
  return pixel == reference ? pixel : neighbourMedian;
}

Column pixelsOf(const ImageArray& image, int column) {
  Column pixels{};
  for (int row = 1; row <= kImageRows; ++row) {
    pixels[static_cast<size_t>(row - 1)] = image.at(column, row);
  }
  return pixels;
}

/**
 * An inner column through the neighbour median filter, computed from the unfiltered columns
 * either side and itself, so no filtered value feeds another. The edge rows lack one neighbour;
 * there the pixel itself stands in for it among the four values.
 */
Column medianFiltered(const Column& left, const Column& centre, const Column& right) {
  constexpr size_t kLast = kImageRows - 1;
  Column filtered{};
  filtered[0] = keptOrMedian(centre[0], (left[0] + right[0] + centre[1]) / 3,
                             median(left[0], right[0], centre[0], centre[1]));
  for (size_t i = 1; i < kLast; ++i) {
    filtered[i] = keptOrMedian(centre[i], (left[i] + right[i] + centre[i - 1] + centre[i + 1]) / 4,
                               median(left[i], right[i], centre[i - 1], centre[i + 1]));
  }
  filtered[kLast] =
      keptOrMedian(centre[kLast], (left[kLast] + right[kLast] + centre[kLast - 1]) / 3,
                   median(left[kLast], right[kLast], centre[kLast], centre[kLast - 1]));
  return filtered;
}

/** The crop's sum scaled to 20 rows, the sky of the same number of rows taken off if asked. */
int32_t normalisedToTwentyRows(int32_t objectSum, int32_t skySum, int cropRows,
                               bool filterAirglow) {
  if (cropRows == kImageRows) {
    return objectSum;
  }
  int32_t signal = objectSum;
  if (filterAirglow) {
    signal -= skySum * cropRows / (kImageRows - cropRows);
  }
  const int32_t scaled = signal * kImageRows;
  return static_cast<int32_t>(
      ui::roundHalfEven(static_cast<double>(scaled) / static_cast<double>(cropRows)));
}

int32_t normalisedColumn(const Column& values, CropBand crop, bool filterAirglow) {
  int32_t objectSum = 0;
  int32_t skySum = 0;
  for (int row = 1; row <= kImageRows; ++row) {
    const int32_t value = values[static_cast<size_t>(row - 1)];
    if (crop.contains(row)) {
      objectSum += value;
    } else {
      skySum += value;
    }
  }
  return normalisedToTwentyRows(objectSum, skySum, crop.rows(), filterAirglow);
}

/** Columns 1..width before smoothing; each image column is read once. */
ProfileArray unsmoothedDataProfile(const ImageArray& image, int width, CropBand crop,
                                   ExtractionOptions options) {
  ProfileArray values;
  Column left{};
  Column centre = pixelsOf(image, 1);
  for (int column = 1; column <= width; ++column) {
    const Column right = pixelsOf(image, column + 1);
    const bool filtered = options.useMedian && column > 1 && column < width;
    values.set(column, normalisedColumn(filtered ? medianFiltered(left, centre, right) : centre,
                                        crop, options.filterAirglow));
    left = centre;
    centre = right;
  }
  return values;
}

/**
 * Five-point (2, 5, 10, 5, 2) / 24 smoothing of columns 3..width-2, every term taken from the
 * unsmoothed profile.
 */
void smoothProfile(ProfileArray& profile, int width) {
  if (width < 5) {
    return;
  }
  std::array<int32_t, kProfileColumns + 1> smoothed{};
  for (int column = 3; column <= width - 2; ++column) {
    const int32_t weighted = 2 * profile.at(column - 2) + 5 * profile.at(column - 1) +
                             10 * profile.at(column) + 5 * profile.at(column + 1) +
                             2 * profile.at(column + 2);
    smoothed[static_cast<size_t>(column)] = weighted / 24;
  }
  for (int column = 3; column <= width - 2; ++column) {
    profile.set(column, smoothed[static_cast<size_t>(column)]);
  }
}

/**
 * Negatives become 0; the extremes are of the clipped values, max never below 0. A profile of no
 * columns has both extremes 0, so that nothing shows a value below it.
 */
ExtractedProfile finishedProfile(ProfileArray values, int width) {
  ExtractedProfile result;
  if (width == 0) {
    result.min = 0;
  }
  for (int column = 1; column <= width; ++column) {
    const int32_t value = std::max(values.at(column), int32_t{0});
    values.set(column, value);
    result.max = std::max(result.max, value);
    result.min = std::min(result.min, value);
  }
  result.values = values;
  result.length = static_cast<int16_t>(width);
  return result;
}

}  // namespace

int16_t medianOfFour(int16_t a, int16_t b, int16_t c, int16_t d) {
  // Sorting the pairs (a, b) and (c, d) leaves the two middle values as the larger of the lows
  // and the smaller of the highs; without branches this stays fast on noisy pixels.
  const int32_t secondLowest = std::max(std::min(a, b), std::min(c, d));
  const int32_t secondHighest = std::min(std::max(a, b), std::max(c, d));
  return static_cast<int16_t>((secondLowest + secondHighest) / 2);
}

ExtractedProfile extractDataProfile(const ImageArray& dataImage, int16_t dataWidth,
                                    int16_t dataCropRow1, int16_t dataCropRow2,
                                    ExtractionOptions options) {
  const int width = limitedWidth(dataWidth);
  const CropBand crop = limitedCrop(dataCropRow1, dataCropRow2);
  ProfileArray values = unsmoothedDataProfile(dataImage, width, crop, options);
  if (options.smoothing) {
    smoothProfile(values, width);
  }
  return finishedProfile(values, width);
}

ExtractedProfile extractCalProfile(const ImageArray& calImage, int16_t calWidth,
                                   int16_t calCropRow1, int16_t calCropRow2, bool smoothing) {
  const int width = limitedWidth(calWidth);
  const CropBand crop = limitedCrop(calCropRow1, calCropRow2);
  ProfileArray values;
  for (int column = 1; column <= width; ++column) {
    int32_t sum = 0;
    for (int row = crop.first; row <= crop.last; ++row) {
      sum += calImage.at(column, row);
    }
    values.set(column, sum);
  }
  if (smoothing) {
    smoothProfile(values, width);
  }
  return finishedProfile(values, width);
}

}  // namespace halvic

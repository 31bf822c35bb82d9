#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "imagefile/image_array.h"
#include "spectrum/profile_array.h"

namespace halvic {

/** Where lamp lines are measured: the lamp's profile and, for saturation, its image and crop. */
struct LampProfile {
  const ProfileArray& profile;
  int16_t length = 0;
  const ImageArray& image;
  int16_t cropRow1 = 1;
  int16_t cropRow2 = kImageRows;
};

/** A lamp line as the profile shows it. */
struct MeasuredLine {
  double pixel = 0.0;      // the centre, fractional, counted from 1
  double height = 0.0;     // the peak above the line's own background
  bool saturated = false;  // a crop-row pixel under the line reads full scale
};

/** A peak above its background must reach this many times the noise to count as a line. */
inline constexpr double kLineNoiseMultiple = 3.0;
/** The count a camera pixel reads at full scale. */
inline constexpr int16_t kSaturatedCount = 32767;

/** The line width taken when the profile shows no line clear enough to measure one. */
inline constexpr double kDefaultLineWidthPx = 2.5;
/** Two lines closer than this many line widths pull each other's measurement. */
inline constexpr double kBlendWidths = 2.0;

/**
 * The lamp's line width in columns: the median full width at half maximum of its strongest
 * isolated lines (local maxima standing clear of the noise with no other line within four
 * widths), each found by linear interpolation where the profile falls to half the peak's height
 * above its background. kDefaultLineWidthPx when no such line is there.
 */
double lampLineWidth(const LampProfile& lamp);

/**
 * The noise of the profile, as a standard deviation: the median absolute difference of
 * neighbouring columns over sqrt(2), times 1.4826, which lines hardly touch.
 */
double profileNoise(const LampProfile& lamp);

/**
 * The line whose peak (a local maximum) lies nearest `near` within `reach` columns, measured at
 * the lamp's line width: the centre of a Gaussian on a flat background fitted to the line's core
 * (the columns within one width, or within three quarters of a width but at least four columns
 * for a line wider than that), started from the centroid of the columns within one width (weighed
 * by the height above the line's background, the median of the columns two to three widths out
 * either side, and taken again around itself once). nullopt when no local maximum is within
 * reach, the peak does not stand kLineNoiseMultiple times the noise above its background, its
 * window or background columns leave the profile, or the Gaussian's centre leaves the window.
 */
std::optional<MeasuredLine> measureLineNear(const LampProfile& lamp, double near, double reach,
                                            double width, double noise);

/**
 * The columns either side of a line's peak that its measurement at `width` reads (out to the far
 * edge of its background): a line nearer either end of the profile cannot be measured fairly.
 */
int measurementReach(double width);

/**
 * Whether a crop-row pixel of the image reads full scale in the columns a line at pixel is
 * measured on (within one width, rounded, either side).
 */
bool lineWindowHoldsFullScale(const LampProfile& lamp, double pixel, double width);

/**
 * Every line of the profile: each local maximum that measureLineNear takes, in column order; two
 * measured within half a width of each other are one line, the taller measurement.
 */
std::vector<MeasuredLine> findLines(const LampProfile& lamp, double width, double noise);

}  // namespace halvic

#pragma once

#include <cstdint>

#include "spectrum/profile_array.h"

namespace halvic {

/** Why a centroid could not be measured. */
enum class CentroidStatus {
  Ok,
  NoProfile,  // fewer than width + 2 columns: the window and its two background columns do not fit
  NoLine,     // the weights sum to zero (a flat window, or a background equal to its mean)
};

struct Centroid {
  CentroidStatus status = CentroidStatus::NoProfile;
  float pixel = 0.0f;  // the centroid column, fractional, counted from 1; 0 unless Ok
};

/**
 * The first column of the window centroidLine measures: half = width \ 2 columns left of the
 * cursor but not left of column 2, or profileLength - width when cursor + half reaches the last
 * column.
 */
int centroidWindowStart(int16_t profileLength, int16_t cursor, int16_t width);

/**
 * Whether centroidLine weighs the window of `width` columns from `start` as an emission line:
 * its background, the mean of the two columns just outside it (their 32-bit sum halved, kept as
 * a 32-bit float), is at most its middle column. Otherwise it weighs it as an absorption line.
 */
bool weighsAsEmission(const ProfileArray& profile, int start, int16_t width);

/**
 * The background-subtracted centroid of the line under the cursor, over a window of `width`
 * columns of profile 1..profileLength.
 *
 * The window starts half = width \ 2 columns left of the cursor, but not left of column 2; when
 * cursor + half reaches the last column it starts at profileLength - width instead, so that the
 * window and the background columns either side of it stay inside the profile. The background is
 * the mean of the two columns just outside the window (their 32-bit sum halved in floating point,
 * kept as a 32-bit float). The line is an emission line when the background is at most the
 * window's middle column, and every column weighs its value minus the background; otherwise an
 * absorption line, weighing the background minus its value. Weights are not clipped, so a column
 * on the wrong side of the background weighs against the line, and the centroid may fall outside
 * its window. The weighted mean of the column numbers is formed in 64-bit floating point and
 * returned as a 32-bit float.
 *
 * NoProfile when profileLength < width + 2 (also for an empty profile or a width below 1); NoLine
 * when the weights sum to exactly zero or the mean is not a finite 32-bit float.
 */
Centroid centroidLine(const ProfileArray& profile, int16_t profileLength, int16_t cursor,
                      int16_t width);

}  // namespace halvic

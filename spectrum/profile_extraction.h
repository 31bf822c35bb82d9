#pragma once

#include <cstdint>

#include "imagefile/image_array.h"
#include "spectrum/profile_array.h"

namespace halvic {

/** Where the search for a profile's smallest entry starts, above any entry there can be. */
inline constexpr int32_t kEmptyProfileMin = 1310720;

/** The three cleaning steps of the object spectrum, each switched by its own check box. */
struct ExtractionOptions {
  bool useMedian = false;
  bool filterAirglow = false;
  bool smoothing = false;

  friend bool operator==(const ExtractionOptions&, const ExtractionOptions&) = default;
};

/** A finished profile: values 1..length, every entry beyond length 0. */
struct ExtractedProfile {
  ProfileArray values;
  int16_t length = 0;
  int32_t max = 0;
  int32_t min = kEmptyProfileMin;
};

/**
 * The median of four values: the mean of the two middle ones after sorting, truncated toward
 * zero (10, 40, 20, 31 gives 25).
 */
int16_t medianOfFour(int16_t a, int16_t b, int16_t c, int16_t d);

/**
 * The object spectrum of columns 1..dataWidth: each column's crop rows summed and scaled to 20
 * rows (rounded half to even), optionally from neighbour-median-filtered pixels, with the sky of
 * the rows outside the crop subtracted, and five-point smoothed; negatives end as 0.
 *
 * Defensive limits: dataWidth is clamped to 0..768; each crop row is clamped to 1..20 and a
 * reversed pair is swapped, so the crop is always the band between the two rows. Width 0 gives
 * length 0, max 0 and min 0. The image is only read.
 */
ExtractedProfile extractDataProfile(const ImageArray& dataImage, int16_t dataWidth,
                                    int16_t dataCropRow1, int16_t dataCropRow2,
                                    ExtractionOptions options);

/**
 * The lamp spectrum of columns 1..calWidth: the plain sum of the crop rows (not scaled to 20
 * rows), optionally five-point smoothed, negatives clipped to 0. Width and rows are limited as
 * for extractDataProfile.
 */
ExtractedProfile extractCalProfile(const ImageArray& calImage, int16_t calWidth,
                                   int16_t calCropRow1, int16_t calCropRow2, bool smoothing);

}  // namespace halvic

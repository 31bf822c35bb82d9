#include "calibration/centroid.h"

#include <cmath>

namespace halvic {

int centroidWindowStart(int16_t profileLength, int16_t cursor, int16_t width) {
  const int half = width / 2;
  int start = cursor - half >= 2 ? cursor - half : 2;
  if (cursor + half >= profileLength) {
    start = profileLength - width;
  }
  return start;
}

namespace {

float backgroundOf(const ProfileArray& profile, int start, int16_t width) {
  const int32_t outsideSum = profile.at(start - 1) + profile.at(start + width);
  return static_cast<float>(static_cast<double>(outsideSum) / 2.0);
}

}  // namespace

bool weighsAsEmission(const ProfileArray& profile, int start, int16_t width) {
  return static_cast<double>(backgroundOf(profile, start, width)) <=
         static_cast<double>(profile.at(start + width / 2));
}

Centroid centroidLine(const ProfileArray& profile, int16_t profileLength, int16_t cursor,
                      int16_t width) {
  if (width < 1 || profileLength < width + 2) {
    return Centroid{CentroidStatus::NoProfile, 0.0f};
  }
  const int start = centroidWindowStart(profileLength, cursor, width);
  const float background = backgroundOf(profile, start, width);
  const bool emission = weighsAsEmission(profile, start, width);
  double weightedColumns = 0.0;
  double weights = 0.0;
  for (int column = start; column < start + width; ++column) {
    const double value = profile.at(column);
    const double weight = emission ? value - static_cast<double>(background)
                                   : static_cast<double>(background) - value;
    weightedColumns += column * weight;
    weights += weight;
  }
  if (weights == 0.0) {
    return Centroid{CentroidStatus::NoLine, 0.0f};
  }
  const auto centroid = static_cast<float>(weightedColumns / weights);
  if (!std::isfinite(centroid)) {
    return Centroid{CentroidStatus::NoLine, 0.0f};
  }
  return Centroid{CentroidStatus::Ok, centroid};
}

}  // namespace halvic

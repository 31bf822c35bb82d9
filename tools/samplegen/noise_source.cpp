#include "tools/samplegen/noise_source.h"

#include <cmath>
#include <numbers>

namespace halvic::samplegen {

NoiseSource::NoiseSource(uint64_t seed) : state_(seed != 0 ? seed : 0x9E3779B97F4A7C15ULL) {}

uint64_t NoiseSource::nextBits() {
  state_ ^= state_ >> 12;
  state_ ^= state_ << 25;
  state_ ^= state_ >> 27;
  return state_ * 0x2545F4914F6CDD1DULL;
}

double NoiseSource::nextUniform() {
  // The top 53 bits plus one, so the result is never 0 and log() below stays finite.
  const uint64_t mantissa = (nextBits() >> 11) + 1;
  return static_cast<double>(mantissa) * 0x1.0p-53;
}

double NoiseSource::nextGaussian() {
  if (hasSpare_) {
    hasSpare_ = false;
    return spareGaussian_;
  }
  const double radius = std::sqrt(-2.0 * std::log(nextUniform()));
  const double angle = 2.0 * std::numbers::pi * nextUniform();
  spareGaussian_ = radius * std::sin(angle);
  hasSpare_ = true;
  return radius * std::cos(angle);
}

}  // namespace halvic::samplegen

#pragma once

#include <cstdint>

namespace halvic::samplegen {

/**
 * Gaussian noise that is the same on every machine: a xorshift64* generator feeding the
 * Box-Muller transform. The standard library's distributions are not used because their output
 * differs between library versions, and the sample files must be byte-identical wherever they are
 * generated.
 */
class NoiseSource {
 public:
  /** A seed of 0 is replaced by a fixed non-zero value, since xorshift never leaves the zero state.
   */
  explicit NoiseSource(uint64_t seed);

  /** A uniform value in (0, 1], 53 bits of resolution. */
  double nextUniform();

  /** A standard normal value (mean 0, standard deviation 1). */
  double nextGaussian();

 private:
  uint64_t nextBits();

  uint64_t state_;
  double spareGaussian_ = 0.0;
  bool hasSpare_ = false;
};

}  // namespace halvic::samplegen

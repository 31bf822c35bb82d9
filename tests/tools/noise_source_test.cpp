#include "tools/samplegen/noise_source.h"

#include <gtest/gtest.h>

#include <cmath>

namespace halvic::samplegen {
namespace {

TEST(NoiseSourceTest, GaussianHasUnitSpreadAroundZero) {
  NoiseSource noise(12345);
  constexpr int kCount = 200000;
  double sum = 0.0;
  double sumOfSquares = 0.0;
  int beyondTwoSigma = 0;
  for (int i = 0; i < kCount; ++i) {
    const double value = noise.nextGaussian();
    sum += value;
    sumOfSquares += value * value;
    beyondTwoSigma += std::fabs(value) > 2.0 ? 1 : 0;
  }
  const double mean = sum / kCount;
  EXPECT_NEAR(mean, 0.0, 0.01);
  EXPECT_NEAR(std::sqrt(sumOfSquares / kCount - mean * mean), 1.0, 0.01);
  // A normal distribution puts 4.55 % of its values beyond two standard deviations.
  EXPECT_NEAR(static_cast<double>(beyondTwoSigma) / kCount, 0.0455, 0.002);
}

TEST(NoiseSourceTest, UniformStaysInOpenUnitIntervalAndSpreadsEvenly) {
  NoiseSource noise(0);  // the zero seed must not lock the generator at zero
  constexpr int kCount = 100000;
  int lowerHalf = 0;
  for (int i = 0; i < kCount; ++i) {
    const double value = noise.nextUniform();
    ASSERT_GT(value, 0.0);
    ASSERT_LE(value, 1.0);
    lowerHalf += value <= 0.5 ? 1 : 0;
  }
  EXPECT_NEAR(static_cast<double>(lowerHalf) / kCount, 0.5, 0.01);
}

TEST(NoiseSourceTest, SameSeedRepeatsDifferentSeedDoesNot) {
  NoiseSource first(42);
  NoiseSource again(42);
  NoiseSource other(43);
  int differing = 0;
  for (int i = 0; i < 1000; ++i) {
    const double value = first.nextGaussian();
    ASSERT_EQ(value, again.nextGaussian()) << "sample " << i;
    differing += value != other.nextGaussian() ? 1 : 0;
  }
  EXPECT_EQ(differing, 1000);
}

}  // namespace
}  // namespace halvic::samplegen

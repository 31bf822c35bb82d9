#include "output/grating_wcs.h"

#include <gtest/gtest.h>

namespace halvic {
namespace {

// The worked example: 9 um pixels, 140 mm, alpha 2.5 and gamma 6.16 of the model's degrees
// (radians times 57.29578 as a 32-bit float), 6.666666 um grooves. By an independent
// double-precision computation of the rules: the wavelength on the axis
// 6.666666e4 A cos(gamma) 2 sin(alpha) = 5.782337252957917e-07 m; the dispersion there
// 6.666666e-6 m cos(gamma) cos(alpha) (-9e-6 m / 0.14 m) = -4.256913160015278e-10 m a pixel;
// 1 / 6.666666e-6 m = 150000.0150000015 grooves a metre; the angles in true degrees
// x 180 / (pi 57.29578): alpha 2.499999970817989, gamma 6.159999928095524.
TEST(GratingWcs, MapsTheWorkedExampleOntoTheGratingAlgorithm) {
  const GratingModel model{.xPixelSize = 9.0f,
                           .focalLengthMm = 140.0,
                           .alphaDeg = 2.5,
                           .grooveSpacingUm = 6.666666,
                           .gammaDeg = 6.16,
                           .degreesPerRadian = 57.29578f};
  const GratingWcs wcs = gratingWcsOf(model);
  EXPECT_EQ(wcs.referencePixel, 381.0);
  EXPECT_DOUBLE_EQ(wcs.referenceWavelengthM, 5.782337252957917e-07);
  EXPECT_DOUBLE_EQ(wcs.dispersionMPerPixel, -4.256913160015278e-10);
  EXPECT_DOUBLE_EQ(wcs.groovesPerMetre, 150000.0150000015);
  EXPECT_EQ(wcs.order, 1.0);
  EXPECT_DOUBLE_EQ(wcs.alphaDeg, 2.499999970817989);
  EXPECT_EQ(wcs.refractiveIndex, 1.0);
  EXPECT_EQ(wcs.refractiveIndexSlope, 0.0);
  EXPECT_DOUBLE_EQ(wcs.gammaDeg, 6.159999928095524);
  EXPECT_EQ(wcs.cameraAngleDeg, 0.0);
}

}  // namespace
}  // namespace halvic

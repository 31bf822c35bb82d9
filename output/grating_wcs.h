#pragma once

#include "calibration/grating_model.h"
#include "output/fits_file.h"

namespace halvic {

/**
 * The grating model as the FITS world coordinate system of a grating, 'AWAV-GRA' (air
 * wavelengths, grating algorithm), in SI units. The model's angles are in its own degrees
 * (radians times its degreesPerRadian); the FITS parameters are in true degrees. With these
 * numbers a reader of FITS coordinates gives the model's wavelength at every column.
 */
struct GratingWcs {
  double referencePixel = 0.0;        // CRPIX1: the column where the camera axis meets the detector
  double referenceWavelengthM = 0.0;  // CRVAL1: the model's wavelength there, in metres
  double dispersionMPerPixel = 0.0;   // CDELT1: d cos(gamma) cos(alpha) (-p / f) there
  double groovesPerMetre = 0.0;       // PV1_0: 1 / d
  double order = 1.0;                 // PV1_1
  double alphaDeg = 0.0;              // PV1_2: angle of incidence, true degrees
  double refractiveIndex = 1.0;       // PV1_3: a reflection grating in air
  double refractiveIndexSlope = 0.0;  // PV1_4
  double gammaDeg = 0.0;              // PV1_5: angle out of the dispersion plane, true degrees
  double cameraAngleDeg = 0.0;        // PV1_6: the camera looks along the diffracted ray at alpha
};

/**
 * The coordinate system of the model's grating part (the camera's distortion, which the grating
 * algorithm does not know, left out), for a model whose pixel size and focal length are not 0:
 * exact for the Littrow model and for any deviation.
 */
GratingWcs gratingWcsOf(const GratingModel& model);

/**
 * The largest difference, in pixels (the model's wavelength step over one column), between the
 * coordinate system's wavelength and the model's over columns 1 to columns; NaN when either has
 * no wavelength at a column.
 */
double largestWcsDifferencePx(const GratingWcs& wcs, const GratingModel& model, int columns);

/** Writes axis 1's coordinate keys (CTYPE1 to PV1_6) into the writer's current unit. */
void writeGratingWcs(FitsWriter& file, const GratingWcs& wcs);

/**
 * The wavelength in metres that the coordinate system gives at a pixel column, by the grating
 * algorithm of FITS coordinates: the reference ray's angle from the grating equation at CRVAL1,
 * then the ray of the column, whose offset from the camera axis (PV1_6 from the reference ray)
 * is CDELT1 (pixel - CRPIX1) over the wavelength step of a unit of that offset. NaN where no ray
 * reaches the column.
 */
double wavelengthOfWcs(const GratingWcs& wcs, double pixel);

}  // namespace halvic

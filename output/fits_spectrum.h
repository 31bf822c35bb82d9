#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calibration/grating_model.h"
#include "calibration/grating_solve.h"
#include "imagefile/fits_reduction.h"
#include "output/observing_details.h"
#include "spectrum/profile_array.h"

namespace halvic {

/** What the two FITS files of a calibrated profile are made from. */
struct FitsSpectrumInputs {
  const ProfileArray& profile;
  /** Columns 1..length are written; at least two. */
  int16_t length = 0;
  GratingModel model;
  ObservingDetails details;
  /** DATE-OBS; nullopt leaves it out. */
  std::optional<std::string> dateObs;
  /** HISTORY lines of both files, as calibrationHistory makes them. */
  std::vector<std::string> history;
  /** Wavelengths in vacuum rather than in air: the linear grid and the table's WAVE column. */
  bool vacuum = false;
  /** The radial-velocity correction to the barycentre, in m/s, when one was worked out. */
  std::optional<double> barycentricMetresPerSecond;
  /** Whether NAME.fits's grid is corrected by it (it is then required). */
  bool correctToBarycentre = false;
  /** How the profile's strip was reduced from a FITS image; nullopt for a camera file's. */
  std::optional<Reduction> reduction;
};

/** The two files in memory, or why they could not be made. */
struct FitsSpectrumFiles {
  std::vector<char> resampled;  // NAME.fits
  std::vector<char> perColumn;  // NAME-pixels.fits
  std::optional<std::string> failure;
};

/**
 * Both FITS files of a profile. Each primary header holds the observing details (texts and
 * numbers given, DATE-OBS when known), BUNIT 'adu' and the history.
 *
 * The barycentre: with correctToBarycentre, NAME.fits's grid (CRVAL1 and CDELT1) is the
 * observed one times 1 + v/c, with BSS_VHEL = v in km/s, SPECSYS 'BARYCENT' and VELOSYS = v in
 * m/s; otherwise BSS_VHEL = 0 and SPECSYS 'TOPOCENT'. NAME-pixels.fits stays in the observed
 * frame (BSS_VHEL = 0, SPECSYS 'TOPOCENT') and, when v was worked out, records it as BARYVEL in
 * m/s, applied or not.
 *
 * The resampled file, for spectral databases: the profile on a linear, ascending wavelength grid
 * of as many points as columns, from the smallest to the largest model wavelength of the columns,
 * by linear interpolation between column centres, as 32-bit floats; CTYPE1 'Wavelength', CUNIT1
 * 'Angstrom', CRPIX1 1, CRVAL1 the first point, CDELT1 the step.
 *
 * The per-column file, exact: the profile per column as 32-bit floats with the 'AWAV-GRA'
 * coordinates of the model's grating part (gratingWcsOf; when the camera's distortion is not 0, a
 * HISTORY line gives their largest difference from the model in pixels), and a binary table of
 * columns WAVE (64-bit, 'Angstrom', the model at each column) and FLUX (32-bit, 'adu').
 *
 * With a reduction, the per-column file also says how strip columns map onto the original image
 * (ORIGCOL1, the window's first pixel along the spectrum; ORIGBIN; ORIGFLIP) and its table gains
 * the column ORIGCOL (64-bit): the original pixel at the centre of each strip column
 * (originalPixelOf), so that the exact wavelengths refer to the original detector.
 *
 * In vacuum (inputs.vacuum), every wavelength of the model is converted from air (vacuumFromAir):
 * the resampled file's grid runs over the vacuum wavelengths with CTYPE1 'WAVE', and the table's
 * WAVE column holds them; both files say AIRORVAC = 'vac'. The coordinates of the per-column
 * file stay the grating's own, in air.
 *
 * failure when the model's wavelengths along the profile are not finite or not strictly
 * monotonic (no one value belongs to a wavelength), or when cfitsio fails.
 */
FitsSpectrumFiles buildFitsSpectrumFiles(const FitsSpectrumInputs& inputs);

/**
 * The HISTORY lines of an export: the two lamp lines with their pixels, the model (alpha in the
 * program's degrees, focal length, groove density, pixel size) and the program that wrote it.
 */
std::vector<std::string> calibrationHistory(const LineMarks& marks, const GratingModel& model,
                                            std::string_view program);

}  // namespace halvic

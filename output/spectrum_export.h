#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "calibration/calibration.h"
#include "imagefile/image_array.h"
#include "output/fits_spectrum.h"
#include "spectrum/profile_array.h"
#include "ui/dialogs.h"

namespace halvic {

/** The HISTORY lines of an export of the calibration: its lines, model, grating and program. */
std::vector<std::string> exportHistory(const Calibration& calibration);

/** What "Export FITS..." makes the two files of an image from. */
struct SpectrumExport {
  const ProfileArray& profile;
  int16_t length = 0;
  const Calibration& calibration;
  /** The observing form as filled in; its names are observingFormFields'. */
  const std::vector<ui::FormField>& fields;
  /** The image's camera header, whose date and time give DATE-OBS. */
  const HeaderBytes& header;
  /** HISTORY lines after the calibration's: where a strip reduced from a FITS image came from. */
  std::vector<std::string> originHistory;
  /** How the strip was reduced from a FITS image; nullopt for a camera file's. */
  std::optional<Reduction> reduction;
};

/** DATE-OBS of an image from its camera header's date and time and the form's UTC offset. */
std::optional<std::string> exportDateObs(const HeaderBytes& header,
                                         const std::vector<ui::FormField>& fields);
/**
 * Both FITS files of the image in memory, as buildFitsSpectrumFiles makes them; corrected to the
 * barycentre when the form asks and gives what the correction needs (barycentre_fields.h).
 */
FitsSpectrumFiles buildSpectrumExport(const SpectrumExport& spectrum);

/** A file of an export that could not be written, and why. */
struct ExportWriteFailure {
  std::string fileName;
  std::string reason;
};

/**
 * Writes each of contents at the name of the same place: every file staged in full beside its
 * target, then all renamed together or none, the last first, so that names[0], the file the user
 * named, replaces its old self only once its companions are in place. nullopt when all were
 * written.
 */
std::optional<ExportWriteFailure> writeFilesTogether(
    const std::vector<std::string>& names, const std::vector<std::span<const char>>& contents);

/**
 * Writes both files at names (NAME.fits, NAME-pixels.fits, as fitsExportFiles gives them): each
 * staged in full beside its target, then renamed together or not at all, the per-column file
 * first, so that NAME.fits replaces its old self only once its companion is in place. nullopt
 * when both were written.
 */
std::optional<ExportWriteFailure> writeSpectrumFiles(const std::vector<std::string>& names,
                                                     const FitsSpectrumFiles& files);

}  // namespace halvic

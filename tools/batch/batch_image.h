#pragma once

#include <optional>
#include <string>
#include <vector>

#include "calibration/calibration.h"
#include "output/calibration_file.h"
#include "ui/dialogs.h"

namespace halvic {

/** What every image of a batch shares: the calibration read from its file and the outputs. */
struct BatchSettings {
  Calibration calibration;
  /** What the calibration was made from; a file without it extracts with the defaults. */
  std::optional<CalibrationSource> source;
  std::string outFolder;
  bool csv = false;
  bool overwrite = false;
  /** The observing form as the --observing file fills it in. */
  std::vector<ui::FormField> fields;
};

/** One image of the batch and the lamp its calibration is re-identified on, if any. */
struct ImageJob {
  std::string image;
  std::optional<std::string> lamp;
};

/** What became of one image: a row of the summary. */
struct ImageOutcome {
  bool written = false;
  /** "ok", or why the image was not written. */
  std::string status;
  std::optional<double> shiftPx;  // when re-identified
  int32_t lines = 0;              // of the refine in force
  double rmsA = 0.0;
};

/** The files an image is written as: DIR/STEM.fits, DIR/STEM-pixels.fits, DIR/STEM.csv. */
std::vector<std::string> outputFiles(const BatchSettings& settings, const std::string& image);

/** The stem of an image's outputs: its file name without the folder and the last extension. */
std::string imageStem(const std::string& image);

/**
 * Calibrates one image as the window would and writes its files: the camera image read, its
 * object profile extracted with the source's crop band and filters, the calibration first
 * re-identified on the job's lamp (extracted with the lamp's crop band) when there is one, then
 * the window's "Export FITS..." files (and "Export CSV..."'s with csv) written atomically. An
 * existing output is left alone unless settings.overwrite. Never throws; a failure is the
 * outcome's status and leaves no output of the image behind.
 */
ImageOutcome calibrateImage(const BatchSettings& settings, const ImageJob& job);

}  // namespace halvic

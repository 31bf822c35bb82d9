#include "tools/batch/batch_image.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <span>

#include "calibration/lamp_reidentify.h"
#include "calibration/line_check.h"
#include "imagefile/fits_camera_header.h"
#include "imagefile/fits_image.h"
#include "imagefile/fits_reduction.h"
#include "imagefile/image_reader.h"
#include "output/barycentre_fields.h"
#include "output/csv_export.h"
#include "output/export_names.h"
#include "output/fits_origin.h"
#include "output/observing_details.h"
#include "output/spectrum_export.h"
#include "spectrum/profile_extraction.h"
#include "ui/number_format.h"

namespace halvic {

namespace {

/** An image as the window loads it, or why it cannot be. */
struct LoadedImage {
  ImageArray pixels;
  HeaderBytes header{};
  int16_t width = 0;
  std::string failure;
  /** The FITS header of an image that was one, and where its strip came from. */
  std::optional<FitsHeaderValues> fitsHeader;
  std::optional<FitsOrigin> fitsOrigin;
};

/** A FITS image reduced to a strip: by the saved reduction when it fits, else the proposed one. */
LoadedImage loadFitsImage(const std::string& path, const std::optional<Reduction>& saved) {
  LoadedImage loaded;
  const FitsImageRead read = readFitsImage(path);
  if (!read.image) {
    loaded.failure = read.reason;
    return loaded;
  }
  const Reduction reduction = proposeReduction(*read.image, saved);
  const StripReduction reduced =
      reduceToStrip(*read.image, reduction, headerPixelSize(read.image->header));
  if (!reduced.strip) {
    loaded.failure = reduced.reason;
    return loaded;
  }
  loaded.pixels = reduced.strip->image;
  loaded.width = reduced.strip->width;
  loaded.header = reducedImageHeader(*reduced.strip, read.image->header);
  loaded.fitsHeader = read.image->header;
  loaded.fitsOrigin = FitsOrigin{path, reduction, read.image->header};
  return loaded;
}

LoadedImage loadImage(const std::string& path, const std::optional<Reduction>& saved) {
  if (isFitsFile(path)) {
    return loadFitsImage(path, saved);
  }
  LoadedImage loaded;
  ImageHeaderFields fields;
  if (const FileReadStatus scanned = scanImageHeader(path, fields); scanned != ReadStatus::Ok) {
    loaded.failure = describe(scanned);
    return loaded;
  }
  if (fields.height < 1 || fields.width < 1 || fields.height > kImageRows ||
      fields.width > kImageColumns) {
    loaded.failure = "the image is not 1 to 20 rows of 1 to 768 columns";
    return loaded;
  }
  if (const FileReadStatus read = readImagePixels(path, fields.compressed, fields.height,
                                                  fields.width, loaded.pixels, loaded.header);
      read != ReadStatus::Ok) {
    loaded.failure = describe(read);
    return loaded;
  }
  loaded.width = fields.width;
  return loaded;
}

bool exists(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0;
}

ImageOutcome failed(std::string reason) { return ImageOutcome{false, std::move(reason), {}, 0, 0}; }

/** The calibration re-identified on the lamp, or why the lamp is refused. */
struct LampResult {
  std::optional<Calibration> calibration;
  std::string failure;
  double shiftPx = 0.0;
};

LampResult reidentifiedOn(const BatchSettings& settings, const std::string& lampPath) {
  if (!settings.source || settings.source->lampProfile.empty()) {
    return {std::nullopt, "the calibration file keeps no lamp profile", 0.0};
  }
  const LoadedImage lamp = loadImage(lampPath, settings.source->reduction);
  if (!lamp.failure.empty()) {
    return {std::nullopt, lampPath + ": " + lamp.failure, 0.0};
  }
  const CalibrationSource& source = *settings.source;
  const ExtractedProfile profile = extractCalProfile(lamp.pixels, lamp.width, source.lampCropRow1,
                                                     source.lampCropRow2, source.filters.smoothing);
  const std::vector<LampElement> lamps = source.lampElements.value_or(std::vector<LampElement>{});
  const std::vector<LineWavelength> listed = listedLampWavelengths(lamps);
  const Reidentification result =
      reidentifyOnLamp(ReidentifyInputs{settings.calibration, source.lampProfile,
                                        LampProfile{profile.values, profile.length, lamp.pixels,
                                                    source.lampCropRow1, source.lampCropRow2},
                                        listed, lamps.empty()});
  return {result.calibration, result.reason, result.shiftPx};
}

}  // namespace

std::string imageStem(const std::string& image) {
  return std::filesystem::path(image).stem().string();
}

std::vector<std::string> outputFiles(const BatchSettings& settings, const std::string& image) {
  const std::string base = (std::filesystem::path(settings.outFolder) / imageStem(image)).string();
  std::vector<std::string> files = fitsExportFiles(base + std::string(kFitsExtension));
  if (settings.csv) {
    files.push_back(base + std::string(kCsvExtension));
  }
  return files;
}

ImageOutcome calibrateImage(const BatchSettings& settings, const ImageJob& job) {
  const std::vector<std::string> files = outputFiles(settings, job.image);
  if (!settings.overwrite) {
    for (const std::string& file : files) {
      if (exists(file)) {
        return failed(file + " exists (--overwrite replaces it)");
      }
    }
  }
  const LoadedImage image =
      loadImage(job.image, settings.source ? settings.source->reduction : std::nullopt);
  if (!image.failure.empty()) {
    return failed("not read: " + image.failure);
  }
  ImageOutcome outcome{true, "ok", std::nullopt, settings.calibration.refinedLines,
                       settings.calibration.refinedRmsA};
  Calibration calibration = settings.calibration;
  if (job.lamp) {
    const LampResult lamp = reidentifiedOn(settings, *job.lamp);
    if (!lamp.calibration) {
      return failed("lamp refused: " + lamp.failure);
    }
    calibration = *lamp.calibration;
    outcome.shiftPx = lamp.shiftPx;
    outcome.lines = calibration.refinedLines;
    outcome.rmsA = calibration.refinedRmsA;
  }
  const CalibrationSource source = settings.source.value_or(CalibrationSource{});
  const ExtractedProfile profile = extractDataProfile(
      image.pixels, image.width, source.dataCropRow1, source.dataCropRow2, source.filters);
  const std::vector<ui::FormField> fields =
      image.fitsHeader ? withFitsHeaderValues(settings.fields, *image.fitsHeader) : settings.fields;
  if (barycentreRequested(fields)) {
    if (std::optional<std::string> refusal =
            barycentreRefusal(fields, exportDateObs(image.header, fields))) {
      return failed("no barycentric correction: " + *refusal);
    }
  }
  const FitsSpectrumFiles fits = buildSpectrumExport(SpectrumExport{
      .profile = profile.values,
      .length = profile.length,
      .calibration = calibration,
      .fields = fields,
      .header = image.header,
      .originHistory =
          image.fitsOrigin ? fitsOriginHistory(*image.fitsOrigin) : std::vector<std::string>{},
      .reduction = image.fitsOrigin ? std::optional(image.fitsOrigin->reduction) : std::nullopt,
  });
  if (fits.failure) {
    return failed(files[0] + ": " + *fits.failure);
  }
  std::vector<std::span<const char>> contents{std::span<const char>(fits.resampled),
                                              std::span<const char>(fits.perColumn)};
  const std::string csv =
      settings.csv ? buildCsvExport(profile.values, profile.length, calibration.model) : "";
  if (settings.csv) {
    contents.emplace_back(csv);
  }
  if (const std::optional<ExportWriteFailure> failure = writeFilesTogether(files, contents)) {
    return failed(failure->fileName + ": " + failure->reason);
  }
  return outcome;
}

}  // namespace halvic

#include "tools/batch/batch_image.h"

#include <sys/stat.h>

#include <filesystem>
#include <span>

#include "calibration/lamp_reidentify.h"
#include "calibration/line_check.h"
#include "imagefile/image_reader.h"
#include "output/csv_export.h"
#include "output/export_names.h"
#include "output/spectrum_export.h"
#include "spectrum/profile_extraction.h"

namespace halvic {

namespace {

/** A camera image as the window loads it, or why it cannot be. */
struct LoadedImage {
  ImageArray pixels;
  HeaderBytes header{};
  int16_t width = 0;
  std::string failure;
};

LoadedImage loadCameraImage(const std::string& path) {
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
  const LoadedImage lamp = loadCameraImage(lampPath);
  if (!lamp.failure.empty()) {
    return {std::nullopt, lampPath + ": " + lamp.failure, 0.0};
  }
  const CalibrationSource& source = *settings.source;
  const ExtractedProfile profile = extractCalProfile(lamp.pixels, lamp.width, source.lampCropRow1,
                                                     source.lampCropRow2, source.filters.smoothing);
  const std::vector<LineWavelength> listed = lampLineWavelengths();
  const Reidentification result =
      reidentifyOnLamp(ReidentifyInputs{settings.calibration, source.lampProfile,
                                        LampProfile{profile.values, profile.length, lamp.pixels,
                                                    source.lampCropRow1, source.lampCropRow2},
                                        listed, true});
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
  const LoadedImage image = loadCameraImage(job.image);
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
  const FitsSpectrumFiles fits = buildSpectrumExport(SpectrumExport{
      .profile = profile.values,
      .length = profile.length,
      .calibration = calibration,
      .fields = settings.fields,
      .header = image.header,
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

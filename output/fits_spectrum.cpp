#include "output/fits_spectrum.h"

#include "calibration/air_wavelength.h"
#include "output/fits_file.h"
#include "output/grating_wcs.h"
#include "output/linear_resampling.h"
#include "ui/number_format.h"
#include "ui/units.h"

namespace halvic {

namespace {

constexpr std::string_view kFluxUnit = "adu";
constexpr std::string_view kWavelengthUnit = "Angstrom";
constexpr std::string_view kResampledNote =
    "Resampled linearly onto a linear wavelength grid between column centres";
constexpr std::string_view kVacuumNote =
    "Wavelengths in vacuum, from air by the IAU standard index of Morton (2000)";

/** The model's wavelength at each whole column 1..length, in Angstroms. */
std::vector<double> columnWavelengths(const GratingModel& model, int16_t length) {
  std::vector<double> wavelengths;
  for (int column = 1; column <= length; ++column) {
    double betaDeg = 0.0;
    wavelengths.push_back(evaluateGratingModel(model, column, betaDeg));
  }
  return wavelengths;
}

std::vector<double> columnValues(const ProfileArray& profile, int16_t length) {
  std::vector<double> values;
  for (int column = 1; column <= length; ++column) {
    values.push_back(profile.at(column));
  }
  return values;
}

std::vector<float> asFloats(const std::vector<double>& values) {
  std::vector<float> floats;
  for (const double value : values) {
    floats.push_back(static_cast<float>(value));
  }
  return floats;
}

constexpr double kMetresPerKilometre = 1000.0;
constexpr double kSpeedOfLightMetresPerSecond = 299792458.0;

/** The observing keys; corrected: the file's wavelengths are the barycentre's. */
void writeObservingKeys(FitsWriter& file, const FitsSpectrumInputs& inputs, bool corrected) {
  file.writeText("BUNIT", kFluxUnit, "camera counts");
  for (const ObservingText& text : inputs.details.texts) {
    if (!text.value.empty()) {
      file.writeText(text.key, text.value, "");
    }
  }
  if (inputs.dateObs) {
    file.writeText("DATE-OBS", *inputs.dateObs, "UTC start of the exposure");
  }
  for (const ObservingNumber& number : inputs.details.numbers) {
    if (number.value) {
      file.writeTypedNumber(number.key, *number.value, "");
    }
  }
  if (corrected) {
    const double metresPerSecond = *inputs.barycentricMetresPerSecond;
    file.writeTypedNumber("BSS_VHEL", metresPerSecond / kMetresPerKilometre,
                          "[km/s] barycentric correction applied");
    file.writeText("SPECSYS", "BARYCENT", "wavelengths at the solar system barycentre");
    file.writeTypedNumber("VELOSYS", metresPerSecond, "[m/s] observer's barycentric velocity");
  } else {
    file.writeTypedNumber("BSS_VHEL", 0.0, "[km/s] no heliocentric correction applied");
    file.writeText("SPECSYS", "TOPOCENT", "wavelengths as observed");
    if (inputs.barycentricMetresPerSecond) {
      file.writeTypedNumber("BARYVEL", *inputs.barycentricMetresPerSecond,
                            "[m/s] barycentric correction, not applied here");
    }
  }
  if (inputs.vacuum) {
    file.writeText("AIRORVAC", "vac", "wavelengths in vacuum");
  }
}

/** The columns' wavelengths as the files give them: the model's, in vacuum when asked. */
std::vector<double> inMedium(std::vector<double> wavelengths, bool vacuum) {
  if (vacuum) {
    for (double& wavelength : wavelengths) {
      wavelength = vacuumFromAir(wavelength);
    }
  }
  return wavelengths;
}

void writeHistory(FitsWriter& file, const std::vector<std::string>& history) {
  for (const std::string& line : history) {
    file.writeHistory(line);
  }
}

FileBytes resampledFile(const FitsSpectrumInputs& inputs, const LinearGrid& grid,
                        const std::vector<float>& resampled) {
  FitsWriter file;
  file.addFloatImage(resampled);
  if (inputs.vacuum) {
    file.writeText("CTYPE1", "WAVE", "vacuum wavelength, linear");
  } else {
    file.writeText("CTYPE1", "Wavelength", "linear wavelength axis");
  }
  file.writeText("CUNIT1", kWavelengthUnit, "wavelength unit");
  file.writeDouble("CRPIX1", 1.0, "first point");
  const bool corrected = inputs.correctToBarycentre && inputs.barycentricMetresPerSecond;
  const double factor =
      corrected ? 1.0 + *inputs.barycentricMetresPerSecond / kSpeedOfLightMetresPerSecond : 1.0;
  file.writeDouble("CRVAL1", grid.start * factor, "wavelength of the first point");
  file.writeDouble("CDELT1", grid.step * factor, "wavelength step");
  writeObservingKeys(file, inputs, corrected);
  writeHistory(file, inputs.history);
  file.writeHistory(kResampledNote);
  if (inputs.vacuum) {
    file.writeHistory(kVacuumNote);
  }
  return file.finish();
}

FileBytes perColumnFile(const FitsSpectrumInputs& inputs, const std::vector<double>& wavelengths,
                        const std::vector<float>& flux) {
  FitsWriter file;
  file.addFloatImage(flux);
  const GratingWcs wcs = gratingWcsOf(inputs.model);
  writeGratingWcs(file, wcs);
  writeObservingKeys(file, inputs, false);
  writeHistory(file, inputs.history);
  if (inputs.model.distortion2 != 0.0 || inputs.model.distortion3 != 0.0) {
    // The grating algorithm knows no distorting camera: the table holds the model itself.
    file.writeHistory("Coordinates: the model without its camera's distortion, at most " +
                      ui::shortestText(static_cast<float>(
                          largestWcsDifferencePx(wcs, inputs.model, inputs.length))) +
                      " pixels from it; WAVE gives the model's own");
  }
  if (inputs.vacuum) {
    file.writeHistory(kVacuumNote);
  }
  std::vector<TableColumn> columns{
      {"WAVE", std::string(kWavelengthUnit), std::span<const double>(wavelengths)},
      {"FLUX", std::string(kFluxUnit), std::span<const float>(flux)},
  };
  std::vector<double> originalPixels;
  if (inputs.reduction) {
    const Reduction& reduction = *inputs.reduction;
    file.writeWhole("ORIGCOL1", reduction.firstColumn,
                    "original pixel the strip's window starts at");
    file.writeWhole("ORIGBIN", reduction.bin, "original pixels binned into a strip column");
    file.writeLogical("ORIGFLIP", reduction.flip, "strip columns run against the original's");
    for (int column = 1; column <= inputs.length; ++column) {
      originalPixels.push_back(originalPixelOf(reduction, inputs.length, column));
    }
    columns.push_back({"ORIGCOL", "pixel", std::span<const double>(originalPixels)});
  }
  file.addTable(columns);
  return file.finish();
}

}  // namespace

FitsSpectrumFiles buildFitsSpectrumFiles(const FitsSpectrumInputs& inputs) {
  const std::vector<double> wavelengths =
      inMedium(columnWavelengths(inputs.model, inputs.length), inputs.vacuum);
  const std::optional<LinearGrid> grid = linearGridOver(wavelengths);
  if (!grid) {
    return {{}, {}, "the model's wavelengths do not rise or fall steadily along the profile"};
  }
  const std::vector<double> values = columnValues(inputs.profile, inputs.length);
  FileBytes resampled = resampledFile(inputs, *grid, resampleLinearly(wavelengths, values, *grid));
  if (resampled.failure) {
    return {{}, {}, resampled.failure};
  }
  FileBytes perColumn = perColumnFile(inputs, wavelengths, asFloats(values));
  if (perColumn.failure) {
    return {{}, {}, perColumn.failure};
  }
  return {std::move(resampled.bytes), std::move(perColumn.bytes), std::nullopt};
}

std::vector<std::string> calibrationHistory(const LineMarks& marks, const GratingModel& model,
                                            std::string_view program) {
  const auto line = [](int number, const LineWavelength& wavelength, float pixel) {
    return "Lamp line " + std::to_string(number) + ": " + wavelength.text() + " A at pixel " +
           ui::shortestText(pixel);
  };
  std::vector<std::string> history{
      line(1, marks.line1Wavelength, marks.line1Pixel),
      line(2, marks.line2Wavelength, marks.line2Pixel),
      "Model: alpha " + ui::shortestText(model.alphaDeg) + " deg, focal length " +
          ui::shortestText(model.focalLengthMm) + " mm",
      "Model: " + ui::shortestText(kMicrometresPerMillimetre / model.grooveSpacingUm) +
          " grooves per mm, pixel size " + ui::shortestText(model.xPixelSize) + " um",
  };
  if (!isLittrow(model)) {
    history.push_back("Model: deviation " + ui::shortestText(model.deviationDeg) +
                      " deg, distortion " + ui::shortestText(model.distortion2) + " and " +
                      ui::shortestText(model.distortion3));
  }
  history.push_back("Written by " + std::string(program));
  return history;
}

}  // namespace halvic

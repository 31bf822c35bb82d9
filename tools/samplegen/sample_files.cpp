#include "tools/samplegen/sample_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <optional>
#include <system_error>

#include "calibration/calibration_summary.h"
#include "calibration/dispersion.h"
#include "calibration/grating_solve.h"
#include "tools/samplegen/camera_image_encoder.h"
#include "tools/samplegen/sample_spectra.h"
#include "ui/units.h"

namespace halvic::samplegen {

namespace {

constexpr int kRawRowPeriod = 5;
constexpr int kCentroidWidth = 5;

CameraImageHeader sampleHeader(const std::string& date, const std::string& time) {
  CameraImageHeader header;
  header.height = static_cast<int16_t>(kSampleHeight);
  header.width = static_cast<int16_t>(kSampleWidth);
  header.background = 100;
  header.range = 4000;
  header.xPixelSizeMm = "0.009";
  header.date = date;
  header.time = time;
  return header;
}

bool isRawRow(int row) { return row % kRawRowPeriod == 0; }

void addBothForms(std::vector<SampleFile>& files, const std::string& stem,
                  const CameraImageHeader& header, const ImageArray& image) {
  // The header is a few hundred bytes at most, so it always fits its block.
  files.push_back({stem + ".kr4", *encodeCameraImage(header, image, PixelForm::Plain, isRawRow)});
  files.push_back({stem + "-compressed.kr4",
                   *encodeCameraImage(header, image, PixelForm::Compressed, isRawRow)});
}

std::string formatted(const char* pattern, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, pattern, value);
  return buffer;
}

/** The sum of all 20 rows of a column, as the program's cal profile takes it after a load. */
double columnSum(const ImageArray& image, int column) {
  double sum = 0.0;
  for (int row = 1; row <= kSampleHeight; ++row) {
    sum += image.at(column, row);
  }
  return sum;
}

/**
 * The centroid of an emission line in a window of kCentroidWidth columns around the cursor, less
 * the mean of the two columns just outside the window: how the program measures a marked line.
 */
float measuredCentroid(const ImageArray& image, int cursor) {
  const int half = kCentroidWidth / 2;
  const int start = cursor - half;
  const double background =
      0.5 * (columnSum(image, start - 1) + columnSum(image, start + kCentroidWidth));
  double weighted = 0.0;
  double total = 0.0;
  for (int column = start; column < start + kCentroidWidth; ++column) {
    const double weight = columnSum(image, column) - background;
    weighted += column * weight;
    total += weight;
  }
  return static_cast<float>(weighted / total);
}

struct CalibrationCheck {
  SolveResult result;
  float dispersion = 0.0f;
  double largestLineError = 0.0;    // Angstroms, over all placed lamp lines
  double largestColumnError = 0.0;  // Angstroms, over columns 1..kSampleWidth
};

CalibrationCheck calibrateOnAnchors(float pixel1, float pixel2) {
  LineMarks marks;
  marks.line1Wavelength = LineWavelength::fromDouble(kAnchor1.wavelength);
  marks.line2Wavelength = LineWavelength::fromDouble(kAnchor2.wavelength);
  marks.line1Pixel = pixel1;
  marks.line2Pixel = pixel2;
  GratingModel start;
  start.xPixelSize = kSamplePixelSizeMm * static_cast<float>(kMicrometresPerMillimetre);
  CalibrationCheck check;
  check.dispersion = estimateDispersion(marks.line1Wavelength, pixel1, marks.line2Wavelength,
                                        pixel2, start.xPixelSize)
                         .value_or(0.0f);
  check.result = solveGratingModel(start, marks, check.dispersion, false);
  const GratingModel truth = trueSampleModel();
  for (const PlacedLine& placed : placeLampLines(truth)) {
    const double error =
        wavelengthAtPixel(check.result.model, placed.pixel) - placed.line.wavelength;
    check.largestLineError = std::max(check.largestLineError, std::fabs(error));
  }
  for (int column = 1; column <= kSampleWidth; ++column) {
    const double error =
        wavelengthAtPixel(check.result.model, column) - wavelengthAtPixel(truth, column);
    check.largestColumnError = std::max(check.largestColumnError, std::fabs(error));
  }
  return check;
}

std::string describeCheck(const CalibrationCheck& check) {
  double betaDeg = 0.0;
  std::string summary = calibrationSummary(check.result.model, check.dispersion, betaDeg);
  std::string shown;
  for (char c : summary) {
    if (c == '\r') {
      continue;
    }
    shown += c == '\n' ? std::string("\n    ") : std::string(1, c);
  }
  return "  solved: " + std::string(check.result.solved ? "yes" : "no") + ", focal length " +
         formatted("%.6f", check.result.model.focalLengthMm) + " mm, alpha " +
         formatted("%.6f", check.result.model.alphaDeg) + " deg\n" +
         "  largest wavelength error: " + formatted("%.4f", check.largestLineError) +
         " A over the placed lamp lines, " + formatted("%.4f", check.largestColumnError) +
         " A over all columns\n  summary:\n    " + shown + "\n";
}

std::string featureTable(const GratingModel& model, const std::vector<SpectralFeature>& features,
                         const char* strengthName) {
  std::string text =
      std::string("| Wavelength (A) | Line | ") + strengthName + " | Pixel |\n|---|---|---|---|\n";
  for (const SpectralFeature& feature : features) {
    const auto pixel = pixelOfWavelength(model, feature.wavelength, kSampleWidth);
    if (pixel) {
      text += "| " + formatted("%.3f", feature.wavelength) + " | " + feature.name + " | " +
              formatted("%g", feature.strength) + " | " + formatted("%.2f", *pixel) + " |\n";
    }
  }
  return text;
}

}  // namespace

std::vector<SampleFile> buildSampleFiles() {
  const GratingModel model = trueSampleModel();
  std::vector<SampleFile> files;
  addBothForms(files, "neon-lamp", sampleHeader("03/14/2024", "21:12:40"), renderLampImage(model));
  addBothForms(files, "object-spectrum", sampleHeader("03/14/2024", "21:31:05"),
               renderObjectImage(model));
  return files;
}

std::string writeSampleFiles(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    return "cannot create " + folder.string() + ": " + error.message();
  }
  for (const SampleFile& file : buildSampleFiles()) {
    const std::filesystem::path path = folder / file.name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.bytes.data()),
              static_cast<std::streamsize>(file.bytes.size()));
    out.close();
    if (!out) {
      return "cannot write " + path.string();
    }
  }
  return {};
}

std::string describeSamples() {
  const GratingModel model = trueSampleModel();
  std::string text = "True model\n";
  text += "  pixel size " + formatted("%.9g", static_cast<double>(model.xPixelSize)) + " um\n";
  text += "  groove spacing " + formatted("%.7g", model.grooveSpacingUm) + " um\n";
  text += "  gamma " + formatted("%.2f", model.gammaDeg) + " deg\n";
  text += "  alpha " + formatted("%.10f", model.alphaDeg) + " deg\n";
  text += "  focal length " + formatted("%.10f", model.focalLengthMm) + " mm\n";
  for (double pixel : {1.0, 381.0, static_cast<double>(kSampleWidth)}) {
    text += "  wavelength at pixel " + formatted("%g", pixel) + ": " +
            formatted("%.3f", wavelengthAtPixel(model, pixel)) + " A\n";
  }
  text += "\nLamp lines\n| Entry | Wavelength (A) | Element | Peak (counts) | Pixel |\n";
  text += "|---|---|---|---|---|\n";
  for (const PlacedLine& placed : placeLampLines(model)) {
    text += "| " + std::to_string(placed.line.listIndex) + " | " +
            formatted("%.3f", placed.line.wavelength) + " | " + placed.line.element + " | " +
            formatted("%g", placed.line.peakCounts) + " | " + formatted("%.2f", placed.pixel) +
            " |\n";
  }
  text += "\nSky emission lines (all rows)\n" + featureTable(model, skyEmissionLines(), "Peak");
  text += "\nAbsorption lines (object rows " + std::to_string(kObjectFirstRow) + " to " +
          std::to_string(kObjectLastRow) + ")\n" +
          featureTable(model, objectAbsorptionLines(), "Depth");

  text += "\nCalibration on the anchors at their true positions\n";
  text += describeCheck(
      calibrateOnAnchors(static_cast<float>(kAnchor1.pixel), static_cast<float>(kAnchor2.pixel)));
  const ImageArray lamp = renderLampImage(model);
  const float measured1 = measuredCentroid(lamp, static_cast<int>(kAnchor1.pixel));
  const float measured2 = measuredCentroid(lamp, static_cast<int>(kAnchor2.pixel));
  text += "\nCalibration on the centroids measured in the lamp image (cursor 214 and 590, width " +
          std::to_string(kCentroidWidth) + ")\n";
  text += "  centroids " + formatted("%.4f", static_cast<double>(measured1)) + " and " +
          formatted("%.4f", static_cast<double>(measured2)) + "\n";
  text += describeCheck(calibrateOnAnchors(measured1, measured2));
  return text;
}

}  // namespace halvic::samplegen

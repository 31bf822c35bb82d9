// The whole calibration road through the window, as a user takes it: load a lamp, mark two
// well-separated lines with the cursor on each, export the text file, and compare every exported
// wavelength with the model the lamp was made from.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "calibration/grating_model.h"
#include "calibration/line_list.h"
#include "tests/support/grating_examples.h"
#include "tests/support/temp_dir.h"
#include "tools/halvic_script/script_session.h"
#include "tools/samplegen/camera_image_encoder.h"
#include "tools/samplegen/sample_spectra.h"

namespace halvic {
namespace {

struct RoadCase {
  std::string name;
  std::string lampPath;  // the lamp to load
  GratingModel truth;    // the model it was made from
  int line1Index, line1Cursor;
  int line2Index, line2Cursor;
};

/** Column and wavelength of every line of a calibrated text export. */
std::vector<std::pair<int, double>> exportedWavelengths(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::string line;
  std::vector<std::pair<int, double>> wavelengths;
  while (std::getline(file, line)) {
    std::istringstream fields(line);
    int column = 0;
    double wavelength = 0.0;
    if (fields >> column >> wavelength) {
      wavelengths.emplace_back(column, wavelength);
    }
  }
  return wavelengths;
}

/** A lamp of the program's own lines made from model, written as a plain camera image file. */
std::string writeLamp(const test::TempDir& dir, const GratingModel& model) {
  const CameraImageHeader header{.height = samplegen::kSampleHeight,
                                 .width = samplegen::kSampleWidth,
                                 .background = 100,
                                 .range = 4000,
                                 .xPixelSizeMm = "0.009",
                                 .date = "12/09/2026",
                                 .time = "01:00:00"};
  const auto bytes =
      samplegen::encodeCameraImage(header, samplegen::renderLampImage(model), PixelForm::Plain, {});
  return dir.write("lamp-150.kr4", std::string(bytes->begin(), bytes->end()));
}

struct RoadResult {
  double worstModelError = 0.0;  // Angstroms, over every exported column
  double worstLineError = 0.0;   // of a straight line through the same two centroids
  size_t columns = 0;
};

RoadResult travel(const RoadCase& road, const test::TempDir& dir) {
  const std::string lamp = dir.file("lamp.kr4");
  std::filesystem::copy_file(road.lampPath, lamp);
  std::ostringstream script;
  script << "open " << lamp << "\nclick cmdload2\nselect cbobox 2\n"
         << "select cboscale " << road.line1Index << "\nset hsbspectra " << road.line1Cursor
         << "\nclick cmdmarkline1\n"
         << "select cboscale " << road.line2Index << "\nset hsbspectra " << road.line2Cursor
         << "\nclick cmdmarkline2\nprint Lblwavelength\nclick cmdtext\n";
  std::istringstream input(script.str());
  std::ostringstream transcript;
  std::ostringstream errors;
  ScriptSession session(transcript, errors);
  EXPECT_EQ(session.run(input), 0) << errors.str();
  // The summary's wavelength at pixel 381 is the true one to a few hundredths of an Angstrom.
  const std::string summary = transcript.str();
  const std::string key = "Pixel 381 Wavelength (A) = ";
  const size_t at = summary.find(key);
  EXPECT_EQ(summary.rfind("Lblwavelength: Focal length (mm)= ", 0), 0U) << summary;
  if (at != std::string::npos) {
    const double shown = std::stod(summary.substr(at + key.size()));
    EXPECT_NEAR(shown, samplegen::wavelengthAtPixel(road.truth, kReferencePixel), 0.05);
  }
  const Workspace& ws = session.window().workspace();
  EXPECT_TRUE(ws.calibration.calibrated);

  const double p1 = ws.calibration.marks.line1Pixel;
  const double p2 = ws.calibration.marks.line2Pixel;
  const double l1 = ws.calibration.marks.line1Wavelength.value;
  const double l2 = ws.calibration.marks.line2Wavelength.value;
  RoadResult result;
  for (const auto& [column, wavelength] : exportedWavelengths(dir.file("lamp.txt"))) {
    const double truth = samplegen::wavelengthAtPixel(road.truth, column);
    const double straight = l1 + (column - p1) * (l2 - l1) / (p2 - p1);
    result.worstModelError = std::max(result.worstModelError, std::fabs(wavelength - truth));
    result.worstLineError = std::max(result.worstLineError, std::fabs(straight - truth));
    ++result.columns;
  }
  return result;
}

// The 150 lines/mm lamp: Ne 7245.167 near column 37 and Hg 4358.337 near column 715, far apart
// and both clear of their neighbours at width 7 (Ne 6929.467 near 111 would not do: Hg 6907.461
// lies 5 columns off, in its background). The samples' 600 lines/mm lamp: Ne 5852.488 on column 214
// and Ne 6506.528 on column 590.
TEST(CalibrationRoad, TheGratingModelBeatsAStraightLineFiveTimesOverEveryColumn) {
  const test::TempDir dir;
  const std::string lamp150 = writeLamp(dir, test::workedExampleModel());
  const std::vector<RoadCase> roads{
      {"150 lines/mm, alpha 2.5, 140 mm, 9 um", lamp150, test::workedExampleModel(), 34, 37, 2,
       715},
      {"the samples' lamp, 600 lines/mm", std::string(HALVIC_SOURCE_DIR) + "/samples/neon-lamp.kr4",
       samplegen::trueSampleModel(), 8, 214, 23, 590},
  };
  for (const RoadCase& road : roads) {
    SCOPED_TRACE(road.name);
    const test::TempDir work;
    const RoadResult result = travel(road, work);
    EXPECT_EQ(result.columns, 765U);
    std::cout << road.name << ": worst error " << result.worstModelError << " A, straight line "
              << result.worstLineError << " A\n";
    EXPECT_LE(result.worstModelError * 5.0, result.worstLineError);
  }
}

}  // namespace
}  // namespace halvic

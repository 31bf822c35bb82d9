#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tests/app/main_window_fixture.h"
#include "tests/support/temp_dir.h"
#include "tools/samplegen/camera_image_encoder.h"

namespace halvic {
namespace {

class TextExportCommandTest : public test::MainWindowTest {
 protected:
  /** Loads a 9 x 20 image, dark but for 12 counts a row in column 5, from the temporary folder. */
  void loadSpikeImage(std::string_view loadButton) {
    ImageArray image;
    for (int row = 1; row <= 20; ++row) {
      image.set(5, row, 12);
    }
    const CameraImageHeader header{
        .height = 20, .width = 9, .range = 255, .xPixelSizeMm = "0.009", .date = "1", .time = "2"};
    const auto bytes = samplegen::encodeCameraImage(header, image, PixelForm::Plain, {});
    transcript_.str("");
    dialogs_.queueOpenFile(dir_.write("spike.kr4", std::string(bytes->begin(), bytes->end())));
    window_.form()[loadButton].userClick();
    ASSERT_EQ(transcript_.str(), "");
  }
  /** The worked example: 9 um pixels (from the header), 140 mm, alpha 2.5, 150 lines/mm. */
  void calibrate() {
    ws().calibration.calibrated = true;
    ws().calibration.model.focalLengthMm = 140.0;
    ws().calibration.model.alphaDeg = 2.5;
    ws().calibration.model.grooveSpacingUm = 6.666666;
  }
  void exportText() { window_.form()["cmdtext"].userClick(); }
  std::string caption() { return window_.form()["Lblwavelength"].caption(); }
  std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  test::TempDir dir_;
};

// The cal profile of the spike lamp is the plain sum of its 20 rows: 240 in column 5, 0 elsewhere.
// Wavelengths of the worked example by an independent computation: column 1 7398.6195 A, column 5
// 7381.6250002 A, column 9 7364.6300 A with beta 3.8699265 degrees.
TEST_F(TextExportCommandTest, WritesTheGraphedProfileBesideTheImage) {
  struct Row {
    std::string_view name;
    bool calibrated;
    std::vector<std::string_view> lines;
  };
  const std::vector<Row> rows{
      {"uncalibrated",
       false,
       {"1\t0", "2\t0", "3\t0", "4\t0", "5\t240", "6\t0", "7\t0", "8\t0", "9\t0"}},
      {"calibrated",
       true,
       {"1\t7398.62\t0", "2\t7394.37\t0", "3\t7390.12\t0", "4\t7385.87\t0", "5\t7381.63\t240",
        "6\t7377.38\t0", "7\t7373.13\t0", "8\t7368.88\t0", "9\t7364.63\t0"}},
  };
  loadSpikeImage("cmdload2");
  const std::string exported = dir_.file("spike.txt");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.calibrated) {
      calibrate();
    }
    exportText();
    std::string expected = "\"\r\n";
    for (const std::string_view line : row.lines) {
      expected += std::string(line) + "\r\n";
    }
    expected += "\r\n\"\r\n";
    EXPECT_EQ(contentOf(exported), expected);
    EXPECT_EQ(ws().selectedFileName, exported);
    EXPECT_EQ(caption(), exported + " saved as text file");
    EXPECT_EQ(transcript_.str(), "");
  }
  EXPECT_NEAR(ws().graph.pixelWavelength, 7364.63, 0.0001);
  EXPECT_NEAR(ws().graph.betaDeg, 3.8699265, 1e-7);
}

// A refused export leaves the caption, the chosen file name and the model's last output as they
// were, and says why.
TEST_F(TextExportCommandTest, ARefusedExportChangesNothingButSaysWhy) {
  struct Row {
    std::string_view name;
    std::function<void()> setUp;
    std::function<std::string()> message;
  };
  const std::vector<Row> rows{
      {"no image loaded", [] {},
       [] { return std::string("No image loaded; no text file written."); }},
      {"cal profile graphed, no cal image",
       [this] {
         loadSpikeImage("cmdload");
         window_.form()["Cmdcalccal"].userClick();
       },
       [] { return std::string("No image loaded; no text file written."); }},
      {"a folder where the file goes",
       [this] {
         loadSpikeImage("cmdload2");
         std::filesystem::create_directory(dir_.file("spike.txt"));
       },
       [this] { return "Text file not saved: " + dir_.file("spike.txt") + " (Is a directory)"; }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    row.setUp();
    calibrate();
    ws().graph.pixelWavelength = 1.5;
    ws().graph.betaDeg = 2.5;
    const std::string captionBefore = caption();
    const std::string fileNameBefore = ws().selectedFileName;
    transcript_.str("");
    exportText();
    EXPECT_EQ(transcript_.str(), "message: " + row.message() + "\n");
    EXPECT_EQ(caption(), captionBefore);
    EXPECT_EQ(ws().selectedFileName, fileNameBefore);
    EXPECT_EQ(ws().graph.pixelWavelength, 1.5);
    EXPECT_EQ(ws().graph.betaDeg, 2.5);
  }
}

}  // namespace
}  // namespace halvic

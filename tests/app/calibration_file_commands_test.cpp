// "Save Calibration..." and "Load Calibration...": a calibration saved in one session and loaded
// in a fresh one gives the same model, label and drawing; anything that is not a calibration file
// is refused and changes nothing.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/fits_file.h"
#include "tests/app/main_window_fixture.h"
#include "tests/support/temp_dir.h"

namespace halvic {
namespace {

const std::string kWorkedExampleLamp =
    test::kSourceDir + "/tests/script/data/worked-example-lines.kr4";

void choose(test::HeadlessSession& session, std::string_view item) {
  ASSERT_TRUE(session.window_.menus().byTitle("Calibration", item).choose());
}

/** Two lines of a lamp, each as its index in the line list and the column it lies on. */
struct LampLines {
  std::string_view name;
  std::string lamp;
  int firstIndex;
  int firstColumn;
  int secondIndex;
  int secondColumn;
};

// The worked example (focal length about 140 mm, wavelength falling with the column) and the
// samples' lamp (about -84.2 mm, wavelength rising with the column).
const std::vector<LampLines> kLamps{
    {"worked example", kWorkedExampleLamp, 43, 200, 42, 600},
    {"samples' lamp", test::kSourceDir + "/samples/neon-lamp.kr4", 8, 214, 23, 590},
};

void markBothLines(test::HeadlessSession& session, const LampLines& lines) {
  session.control("cboscale").userSelect(lines.firstIndex);
  session.control("hsbspectra").userSet(lines.firstColumn);
  session.control("cmdmarkline1").userClick();
  session.control("cboscale").userSelect(lines.secondIndex);
  session.control("hsbspectra").userSet(lines.secondColumn);
  session.control("cmdmarkline2").userClick();
  ASSERT_TRUE(session.ws().calibration.calibrated) << session.transcript_.str();
}

/** Every workspace value a calibration file restores, and calibrated, as one comparable text. */
std::string calibrationState(const Workspace& ws) {
  const auto text = [](double value) { return std::to_string(value) + "|"; };
  return text(ws.calibration.marks.line1Wavelength.value) +
         ws.calibration.marks.line1Wavelength.text() + "|" +
         text(ws.calibration.marks.line2Wavelength.value) +
         ws.calibration.marks.line2Wavelength.text() + "|" + text(ws.calibration.marks.line1Pixel) +
         text(ws.calibration.marks.line2Pixel) + text(ws.calibration.dispersionAPerMm) +
         text(ws.calibration.model.grooveSpacingUm) + text(ws.calibration.model.alphaDeg) +
         text(ws.calibration.model.gammaDeg) + text(ws.calibration.model.focalLengthMm) +
         text(ws.calibration.focalLengthSolved) + text(ws.calibration.model.xPixelSize) +
         text(ws.calibration.calibrated);
}

TEST(CalibrationFileCommands, SavingWithoutACalibrationAsksNothing) {
  test::HeadlessSession session;
  choose(session, "Save Calibration");
  EXPECT_EQ(session.transcript_.str(), "message: Not calibrated; nothing saved.\n");
}

// The session that made the calibration draws its expanded strip with the model's colours, its
// cursor on the second line; a fresh session shows the same image the same way, then loads the
// file, and can check the loaded calibration on its lamp at once.
TEST(CalibrationFileCommands, ALoadedCalibrationIsTheSavedOneInAFreshSession) {
  for (const LampLines& lines : kLamps) {
    SCOPED_TRACE(lines.name);
    const test::TempDir dir;
    test::HeadlessSession maker;
    maker.load(lines.lamp, "cmdload2");
    markBothLines(maker, lines);
    const std::string summary = maker.control("Lblwavelength").caption();
    const double summaryBetaDeg = maker.ws().graph.betaDeg;  // the angle at pixel 381
    maker.control("chkexpand").userClick();
    maker.dialogs_.queueSave(dir.file("night"));
    choose(maker, "Save Calibration");
    EXPECT_EQ(maker.control("Lblwavelength").caption(),
              dir.file("night.fits") + " saved as calibration");

    test::HeadlessSession user;
    user.load(lines.lamp, "cmdload2");
    user.control("chkexpand").userClick();
    user.control("hsbspectra").userSet(lines.secondColumn);
    EXPECT_FALSE(user.window_.menus().byTitle("Calibration", "Check Calibration").enabled());
    user.dialogs_.queueOpenFile(dir.file("night.fits"));
    choose(user, "Load Calibration");
    EXPECT_EQ(user.transcript_.str(), "");
    EXPECT_EQ(user.reasons_.str(), "");
    EXPECT_EQ(calibrationState(user.ws()), calibrationState(maker.ws()));
    EXPECT_EQ(user.ws().calibration.marks.line1Wavelength.type,
              maker.ws().calibration.marks.line1Wavelength.type);
    EXPECT_EQ(user.ws().graph.betaDeg, summaryBetaDeg);
    EXPECT_EQ(user.control("Lblwavelength").caption(), summary);
    EXPECT_TRUE(user.window_.windowSurface().pixels() == maker.window_.windowSurface().pixels());
    EXPECT_EQ(user.dialogs_.lastFilters().front().description, "FITS Files (*.fits)");
    EXPECT_TRUE(user.window_.menus().byTitle("Calibration", "Check Calibration").enabled());
    EXPECT_TRUE(user.window_.menus().byTitle("Calibration", "Refine with All Lines").enabled());
  }
}

TEST(CalibrationFileCommands, WhatIsNotACalibrationChangesNothing) {
  const test::TempDir dir;
  FitsWriter image;
  const std::vector<float> pixels{1.0f, 2.0f, 3.0f};
  image.addFloatImage(pixels);
  const std::vector<char> plainFits = image.finish().bytes;
  struct Row {
    std::string_view name;
    std::string path;
    std::string reason;
  };
  const std::vector<Row> rows{
      {"a plain FITS image",
       dir.write("image.fits", std::string(plainFits.begin(), plainFits.end())),
       "CTYPE1 is not 'AWAV-GRA'"},
      {"a text file", dir.write("notes.txt", "Neon lamp, 21:12\n"), "not a FITS file: "},
      {"an empty file", dir.write("empty.fits", ""), "not a FITS file: the file is empty"},
      {"no file", dir.file("absent.fits"), "No such file or directory"},
  };
  test::HeadlessSession session;
  session.load(kWorkedExampleLamp, "cmdload2");
  markBothLines(session, kLamps.front());
  const std::string before = calibrationState(session.ws());
  const std::string caption = session.control("Lblwavelength").caption();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    session.transcript_.str("");
    session.reasons_.str("");
    session.dialogs_.queueOpenFile(row.path);
    choose(session, "Load Calibration");
    EXPECT_EQ(session.transcript_.str(), "message: Not a calibration file: " + row.path + "\n");
    EXPECT_TRUE(session.reasons_.str().starts_with("reason: " + row.reason))
        << session.reasons_.str();
    EXPECT_EQ(calibrationState(session.ws()), before);
    EXPECT_EQ(session.control("Lblwavelength").caption(), caption);
  }
  session.transcript_.str("");
  session.dialogs_.queueOpenFile(std::nullopt);
  choose(session, "Load Calibration");
  EXPECT_EQ(session.transcript_.str(), "");
  EXPECT_EQ(calibrationState(session.ws()), before);
}

}  // namespace
}  // namespace halvic

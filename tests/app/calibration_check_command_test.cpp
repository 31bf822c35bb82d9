// "Check Calibration", "Refine with All Lines" and "Grating" through the window, on the samples'
// lamp (600 lines/mm: Ne 5852.488 A on column 214, Ne 6506.528 A on column 590).

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>

#include "tests/app/main_window_fixture.h"
#include "tests/support/temp_dir.h"
#include "ui/number_format.h"

namespace halvic::test {
namespace {

constexpr int kNe5852 = 8;
constexpr int kNe6506 = 23;
constexpr int kWidth7 = 2;
constexpr std::string_view kTooFew = "Too few lamp lines to refine; calibration not changed.";

class CalibrationCheckTest : public MainWindowTest {
 protected:
  void mark(int listIndex, int cursor, std::string_view button) {
    control("cboscale").userSelect(listIndex);
    control("hsbspectra").userSet(cursor);
    control(button).userClick();
  }
  void calibrateOnTheLamp() {
    control("cbobox").userSelect(kWidth7);
    mark(kNe5852, 214, "cmdmarkline1");
    mark(kNe6506, 590, "cmdmarkline2");
    ASSERT_TRUE(ws().calibration.calibrated);
  }
  bool chooses(std::string_view menu, std::string_view item) {
    return window_.menus().byTitle(menu, item).choose();
  }
  std::string caption() { return control("Lblwavelength").caption(); }
  size_t lineCount(const std::string& text) {
    size_t count = 1;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) {
      ++count;
    }
    return count;
  }
  /** The transcript since the last call. */
  std::string said() {
    std::string text = transcript_.str();
    transcript_.str("");
    return text;
  }
};

TEST_F(CalibrationCheckTest, CheckAndRefineNeedACalibrationAndALampImage) {
  const auto enabled = [this] {
    return window_.menus().byTitle("Calibration", "Check Calibration").enabled() &&
           window_.menus().byTitle("Calibration", "Refine with All Lines").enabled();
  };
  EXPECT_FALSE(enabled());
  EXPECT_TRUE(window_.menus().byTitle("Calibration", "Grating").enabled());
  load(kLamp, "cmdload");  // the lamp as the data image: calibrated, but no cal image
  calibrateOnTheLamp();
  EXPECT_FALSE(enabled());
  EXPECT_FALSE(chooses("Calibration", "Check Calibration"));
  load(kLamp, "cmdload2");
  EXPECT_TRUE(enabled());
}

TEST_F(CalibrationCheckTest, TheCheckMeasuresTheCalProfileWhateverIsGraphed) {
  load(kLamp, "cmdload2");
  calibrateOnTheLamp();
  said();
  ASSERT_TRUE(chooses("Calibration", "Check Calibration"));
  const std::string calGraphed = said();
  load(kObject, "cmdload");
  ASSERT_FALSE(ws().graph.showsCal);
  said();
  ASSERT_TRUE(chooses("Calibration", "Check Calibration"));
  EXPECT_EQ(said(), calGraphed);
  // 23 lamp lines fall on the 765 columns (the samples' own account of them), each a row.
  size_t rows = 0;
  for (size_t at = calGraphed.find("check: "); at != std::string::npos;
       at = calGraphed.find("check: ", at + 1)) {
    ++rows;
  }
  EXPECT_EQ(rows, 23u);
  EXPECT_NE(calGraphed.find("\ncheck-rms: "), std::string::npos);
}

TEST_F(CalibrationCheckTest, ARefineIsTakenOnlyWhenApplied) {
  load(kLamp, "cmdload2");
  calibrateOnTheLamp();
  const double alpha = ws().calibration.model.alphaDeg;
  const double focal = ws().calibration.model.focalLengthMm;
  const std::string twoLine = caption();
  ASSERT_EQ(lineCount(twoLine), 4u);

  dialogs_.queueForm(std::nullopt);                    // Cancel
  dialogs_.queueForm(ui::FormAnswer{{"apply", "0"}});  // OK, the box left clear
  for (int press = 0; press < 2; ++press) {
    ASSERT_TRUE(chooses("Calibration", "Refine with All Lines"));
    EXPECT_EQ(ws().calibration.model.alphaDeg, alpha);
    EXPECT_EQ(ws().calibration.model.focalLengthMm, focal);
    EXPECT_EQ(ws().calibration.refinedLines, 0);
    EXPECT_EQ(caption(), twoLine);
  }

  dialogs_.queueForm(ui::FormAnswer{{"apply", "1"}});
  ASSERT_TRUE(chooses("Calibration", "Refine with All Lines"));
  EXPECT_NE(ws().calibration.model.alphaDeg, alpha);
  EXPECT_NE(ws().calibration.model.focalLengthMm, focal);
  EXPECT_GE(ws().calibration.refinedLines, 3);
  const std::string refined = caption();
  ASSERT_EQ(lineCount(refined), 5u);
  EXPECT_NE(refined.find("\r\nrefined with " + std::to_string(ws().calibration.refinedLines) +
                         " lines, RMS "),
            std::string::npos);
  EXPECT_EQ(refined.substr(refined.size() - 2), " A");

  // Marking a line again is the two-line window's: the re-fit keeps the focal length, and the
  // fifth line is gone once the pair is solved again.
  mark(kNe5852, 214, "cmdmarkline1");
  EXPECT_EQ(ws().calibration.refinedLines, 0);
  mark(kNe6506, 590, "cmdmarkline2");
  EXPECT_EQ(lineCount(caption()), 4u);
}

// Two lines marked off their peaks: the refine measures and fits again over several rounds, and
// what it reports as the two-line model is the model the check measured before it started.
TEST_F(CalibrationCheckTest, TheRefineReportsTheTwoLineModelAsTheCheckMeasuredIt) {
  load(kLamp, "cmdload2");
  mark(kNe5852, 216, "cmdmarkline1");
  mark(kNe6506, 588, "cmdmarkline2");
  said();
  ASSERT_TRUE(chooses("Calibration", "Check Calibration"));
  const std::string check = said();
  const size_t at = check.find("check-rms: ");
  ASSERT_NE(at, std::string::npos);
  std::istringstream summary(check.substr(at + 11));
  double rmsA = 0.0;
  double rmsKms = 0.0;
  int used = 0;
  char bar = 0;
  summary >> rmsA >> bar >> rmsKms >> bar >> used;
  ASSERT_GT(used, 3);
  dialogs_.queueForm(ui::FormAnswer{{"apply", "0"}});
  ASSERT_TRUE(chooses("Calibration", "Refine with All Lines"));
  const std::string report = dialogs_.lastFormText();
  EXPECT_EQ(report.substr(0, report.find("\r\n")),
            "RMS of the two-line model: " + ui::formatNumber(rmsA, "0.000") + " A over " +
                std::to_string(used) + " lines");
}

// A calibration loaded from a file is the file's two-line model: the summary no longer speaks of
// a refine made before the load.
TEST_F(CalibrationCheckTest, ALoadedCalibrationReplacesARefinedOne) {
  const TempDir dir;
  load(kLamp, "cmdload2");
  calibrateOnTheLamp();
  const std::string twoLine = caption();
  dialogs_.queueSave(dir.file("two-line"));
  ASSERT_TRUE(chooses("Calibration", "Save Calibration"));
  dialogs_.queueForm(ui::FormAnswer{{"apply", "1"}});
  ASSERT_TRUE(chooses("Calibration", "Refine with All Lines"));
  ASSERT_GE(ws().calibration.refinedLines, 3);

  dialogs_.queueOpenFile(dir.file("two-line.fits"));
  ASSERT_TRUE(chooses("Calibration", "Load Calibration"));
  EXPECT_EQ(ws().calibration.refinedLines, 0);
  EXPECT_EQ(ws().calibration.refinedRmsA, 0.0);
  EXPECT_EQ(caption(), twoLine);
}

TEST_F(CalibrationCheckTest, TooFewLampLinesRefusesTheRefine) {
  // The worked example's lines are hydrogen lines; no lamp line of the list has a line under it.
  load(kSourceDir + "/tests/script/data/worked-example-lines.kr4", "cmdload2");
  mark(43, 200, "cmdmarkline1");
  mark(42, 600, "cmdmarkline2");
  ASSERT_TRUE(ws().calibration.calibrated);
  const double alpha = ws().calibration.model.alphaDeg;
  said();
  ASSERT_TRUE(chooses("Calibration", "Refine with All Lines"));
  EXPECT_EQ(said(), "message: " + std::string(kTooFew) + "\n");
  EXPECT_EQ(ws().calibration.model.alphaDeg, alpha);
}

TEST_F(CalibrationCheckTest, TheGratingSettingSolvesTheMarkedLinesAgain) {
  load(kLamp, "cmdload2");
  calibrateOnTheLamp();
  EXPECT_EQ(ws().calibration.model.grooveSpacingUm, 1.666666);  // the table's 600 lines/mm
  said();
  struct Step {
    std::optional<std::string> typed;
    std::string transcript;
    GratingChoice choice;
    double grooveSpacingUm;
  };
  const std::string box =
      "input-box: Grating | Groove density: automatic, 150, 600, 1200, 1800 or a density in "
      "lines per mm | ";
  const std::string notAGrating =
      "message: Type automatic, 150, 600, 1200, 1800 or a density in lines per mm; grating not "
      "changed.\n";
  const Step steps[] = {
      {"600", box + "automatic\n", 600.0, 1000.0 / 600.0},
      {"1200 lines", box + "600\n" + notAGrating, 600.0, 1000.0 / 600.0},
      {std::nullopt, box + "600\n", 600.0, 1000.0 / 600.0},
      // A spacing of a thousandth of a micrometre reaches no line at any angle.
      {"1000000", box + "600\nmessage: The two lines give no solution; calibration not changed.\n",
       600.0, 1000.0 / 600.0},
      {"Automatic", box + "600\n", std::nullopt, 1.666666},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.typed.value_or("(cancelled)"));
    dialogs_.queueInput(step.typed);
    ASSERT_TRUE(chooses("Calibration", "Grating"));
    EXPECT_EQ(said(), step.transcript);
    EXPECT_EQ(ws().calibration.gratingChoice, step.choice);
    EXPECT_EQ(ws().calibration.model.grooveSpacingUm, step.grooveSpacingUm);
    EXPECT_TRUE(ws().calibration.calibrated);
  }
}

}  // namespace
}  // namespace halvic::test

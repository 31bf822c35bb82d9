// "Check Calibration", "Refine with All Lines" and "Grating" through the window, on the samples'
// lamp (600 lines/mm: Ne 5852.488 A on column 214, Ne 6506.528 A on column 590).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "tests/app/main_window_fixture.h"
#include "tests/support/temp_dir.h"
#include "tools/samplegen/sample_spectra.h"
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
  EXPECT_TRUE(window_.menus().byTitle("Calibration", "Spectrograph").enabled());
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

/** The largest error of the model over the sample strip against the model the lamp was made with.
 */
double worstErrorOnTheSamples(const GratingModel& model) {
  const GratingModel truth = samplegen::trueSampleModel();
  double worst = 0.0;
  for (int column = 1; column <= samplegen::kSampleWidth; ++column) {
    double beta = 0.0;
    worst = std::max(worst, std::fabs(evaluateGratingModel(model, column, beta) -
                                      evaluateGratingModel(truth, column, beta)));
  }
  return worst;
}

// What the refine says and keeps, by where it starts: from lines marked a column off their
// peaks it has something to mend, and what it applies is nearer the lamp's true model; from its
// own result nothing, so it declines even when told to apply; from a line marked on the wrong
// peak it finds no better model.
TEST_F(CalibrationCheckTest, TheRefineAppliesOnlyAModelThatPredictsTheLinesBetter) {
  constexpr std::string_view kNoBetter =
      "The refined model predicts the lamp lines no better than the model in force; calibration "
      "not changed.";
  struct Row {
    std::string name;
    int column1;
    int column2;
    bool refineFirst;
    std::string_view message;  // empty: applied
  };
  const std::vector<Row> rows{{"marks a column off", 215, 589, false, ""},
                              {"its own result", 215, 589, true, kNoBetter},
                              {"a mark on the wrong peak", 216, 588, false, kNoBetter}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    load(kLamp, "cmdload2");
    mark(kNe5852, row.column1, "cmdmarkline1");
    mark(kNe6506, row.column2, "cmdmarkline2");
    if (row.refineFirst) {
      dialogs_.queueForm(ui::FormAnswer{{"apply", "1"}});
      ASSERT_TRUE(chooses("Calibration", "Refine with All Lines"));
    }
    const Calibration before = ws().calibration;
    said();
    dialogs_.queueForm(ui::FormAnswer{{"apply", "1"}});
    ASSERT_TRUE(chooses("Calibration", "Refine with All Lines"));
    const std::string transcript = said();
    EXPECT_NE(transcript.find("\nrefine: alpha,focal | "), std::string::npos) << transcript;
    if (row.message.empty()) {
      EXPECT_NE(ws().calibration.model, before.model);
      EXPECT_GT(ws().calibration.refinedLines, 10);
      EXPECT_LE(worstErrorOnTheSamples(ws().calibration.model),
                worstErrorOnTheSamples(before.model));
    } else {
      EXPECT_NE(transcript.find("message: " + std::string(row.message)), std::string::npos)
          << transcript;
      EXPECT_EQ(ws().calibration, before);
    }
  }
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

TEST_F(CalibrationCheckTest, TheSpectrographSettingSolvesTheMarkedLinesAgain) {
  load(kLamp, "cmdload2");
  calibrateOnTheLamp();
  EXPECT_EQ(ws().calibration.model.grooveSpacingUm, 1.666666);  // the table's 600 lines/mm
  said();
  struct Step {
    std::optional<ui::FormAnswer> answer;
    std::string transcript;
    Spectrograph set;
    double grooveSpacingUm;
    float pixelSize;
  };
  const Spectrograph grating600{600.0, std::nullopt, std::nullopt};
  const std::string badGrating =
      "message: Grating must be empty (automatic) or a density from 10 to 10000 lines/mm.\n";
  const Step steps[] = {
      {ui::FormAnswer{{"grating", "600"}}, "", grating600, 1000.0 / 600.0, 9.0f},
      {ui::FormAnswer{{"grating", "1200 lines"}}, badGrating, grating600, 1000.0 / 600.0, 9.0f},
      {std::nullopt, "", grating600, 1000.0 / 600.0, 9.0f},
      // 10000 lines/mm reach no wavelength above 2000 A at any angle.
      {ui::FormAnswer{{"grating", "10000"}},
       "message: The two lines give no solution; calibration not changed.\n", grating600,
       1000.0 / 600.0, 9.0f},
      {ui::FormAnswer{{"grating", ""}, {"deviation", "30"}, {"pixel", "13.5"}}, "",
       Spectrograph{std::nullopt, 30.0, 13.5f}, 1.666666, 13.5f},
      {ui::FormAnswer{{"deviation", ""}, {"pixel", ""}}, "", Spectrograph{}, 1.666666, 9.0f},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.transcript);
    dialogs_.queueForm(step.answer);
    ASSERT_TRUE(chooses("Calibration", "Spectrograph"));
    EXPECT_EQ(said(), step.transcript);
    EXPECT_EQ(ws().calibration.spectrograph, step.set);
    EXPECT_EQ(ws().calibration.model.deviationDeg, step.set.deviationDeg.value_or(0.0));
    EXPECT_EQ(ws().calibration.model.grooveSpacingUm, step.grooveSpacingUm);
    EXPECT_EQ(ws().calibration.model.xPixelSize, step.pixelSize);
    EXPECT_TRUE(ws().calibration.calibrated);
  }
}

// What the user set of the spectrograph and the lamps is the next run's start.
TEST(RememberedChoices, TheSpectrographAndTheLampsAreTheNextRunsStart) {
  ui::MemorySettings settings;
  const auto started = [&settings](ui::HeadlessDialogs& dialogs, ui::HeadlessPrinters& printers) {
    auto window = std::make_unique<MainWindow>(dialogs, printers, [] {});
    window->useSettings(settings);
    window->Form_Load();
    return window;
  };
  std::ostringstream transcript;
  ui::HeadlessDialogs dialogs(transcript);
  ui::HeadlessPrinters printers;
  {
    const std::unique_ptr<MainWindow> first = started(dialogs, printers);
    dialogs.queueForm(ui::FormAnswer{{"grating", "1200"}, {"deviation", "25"}});
    first->menus().byTitle("Calibration", "Spectrograph").choose();
    dialogs.queueForm(ui::FormAnswer{{"Ar", "1"}, {"Hg", "1"}});
    first->menus().byTitle("Calibration", "Lamp Lines").choose();
  }
  const std::unique_ptr<MainWindow> next = started(dialogs, printers);
  const Workspace& ws = next->workspace();
  EXPECT_EQ(ws.calibration.spectrograph, (Spectrograph{1200.0, 25.0, std::nullopt}));
  EXPECT_EQ(ws.calibration.model.deviationDeg, 25.0);
  EXPECT_EQ(ws.lines.lampElements, (std::vector<LampElement>{LampElement::Ar, LampElement::Hg}));
  EXPECT_EQ(transcript.str(), "");
}

}  // namespace
}  // namespace halvic::test

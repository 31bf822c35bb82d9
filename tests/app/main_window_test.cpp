#include "app/main_window.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/app/main_window_fixture.h"
#include "tests/support/temp_dir.h"
#include "tools/samplegen/camera_image_encoder.h"

namespace halvic {
namespace {

using test::kLamp;
using test::kObject;
using test::kRamp;
using test::MainWindowTest;

/** A 9-column lamp of 20 rows, dark but for a line of 12 counts a row in column 5. */
std::string writeSpikeLamp(const test::TempDir& dir) {
  ImageArray image;
  for (int row = 1; row <= 20; ++row) {
    image.set(5, row, 12);
  }
  const CameraImageHeader header{
      .height = 20, .width = 9, .range = 255, .xPixelSizeMm = "0.009", .date = "1", .time = "2"};
  const auto bytes = samplegen::encodeCameraImage(header, image, PixelForm::Plain, {});
  return dir.write("spike.kr4", std::string(bytes->begin(), bytes->end()));
}

/** The grey level of a window pixel (strips are drawn in grey while not calibrated). */
int greyAt(const ui::Raster& window, int x, int y) { return window.pixel(x, y).red; }

// Expanded views at range 255 divide the 20-row profile sum by 20. The ramp (left 187, top 13,
// background 10) has a profile of 1210 in column 1: grey (1210 - 20 x 10) \ 20 = 50 with the
// sky level, 1210 \ 20 = 60 without it ("Filter Airglow"). The spike lamp (left 382, top 40)
// sums to 240 in column 5: grey 12; smoothed, 10 x 240 \ 24 = 100, grey 5.
TEST_F(MainWindowTest, ExpandedStripsFollowEveryOptionThatRedrawsThem) {
  const test::TempDir dir;
  load(kRamp, "cmdload");
  load(writeSpikeLamp(dir), "cmdload2");
  ASSERT_TRUE(ws().image(ImageKind::Data).loaded && ws().image(ImageKind::Cal).loaded)
      << transcript_.str();
  struct Row {
    std::string_view click;
    int dataGrey;
    int calGrey;
  };
  const std::vector<Row> rows{
      {"chkexpand", 50, 12}, {"chkfilter", 60, 12}, {"chkfilter", 50, 12},
      {"smoothing", 50, 5},  {"smoothing", 50, 12},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.click);
    control(row.click).userClick();
    EXPECT_EQ(greyAt(window_.windowSurface(), 188, 14), row.dataGrey);
    EXPECT_EQ(greyAt(window_.windowSurface(), 188, 33), row.dataGrey);
    EXPECT_EQ(greyAt(window_.windowSurface(), 387, 41), row.calGrey);
    EXPECT_EQ(greyAt(window_.windowSurface(), 387, 60), row.calGrey);
  }
}

/** Queues a contrast dialog answer: the two boxes typed, then "Done". */
void answerContrast(ui::HeadlessDialogs& dialogs, std::string background, std::string range) {
  dialogs.queueModal([background, range](ui::Form& dialog) {
    dialog["txtbackground"].userEditText(background);
    dialog["txtrange"].userEditText(range);
    dialog["cmddone"].userClick();
  });
}

// The ramp (400 x 10) is drawn centred in its strip's frame: row 1 at y 14 in the data strip,
// y 46 in the cal strip; column 1 holds 31, 51, ..., 211 in rows 1 to 10. The crop line of row r
// lies at y 7 + r (data) or 39 + r (cal). Background 0 and range 100:
// - raw view, divisor 1 and scale 256 \ 100 = 2: row 1 grey 62. With crop row 6 its line lies at
//   y 13 (45), on the frame the strip redraw paints black: seen only when drawn again.
// - expanded view, divisor 20 x 100 \ 255 = 7, crop rows 7 to 20: the cal profile is
//   151 + 171 + 191 + 211 = 724, grey 724 \ 7 = 103; the data profile is scaled to 20 rows,
//   724 x 20 / 14 = 1034.3, grey 1034 \ 7 = 147. The line of row 7 lies on row 1 of the strip,
//   which the redraw paints and no line may cross while expanded.
TEST_F(MainWindowTest, ContrastRedrawsItsOwnStripWithTheNewValues) {
  struct Row {
    std::string name;
    std::string_view load;
    std::string_view contrast;
    std::string_view otherContrast;
    std::string_view cropRow1Bar;
    int top;  // y of the ramp's row 1
    bool expanded;
    int cropRow1;
    int grey;
    int markerY;
  };
  const std::vector<Row> rows{
      {"data, raw view and crop marker lines", "cmdload", "cmdcontrast", "cmdcontrast2",
       "hsbcropdata1", 14, false, 6, 62, 13},
      {"data, expanded view without lines", "cmdload", "cmdcontrast", "cmdcontrast2",
       "hsbcropdata1", 14, true, 7, 147, 14},
      {"cal, raw view and crop marker lines", "cmdload2", "cmdcontrast2", "cmdcontrast",
       "hsbcropcal1", 46, false, 6, 62, 45},
      {"cal, expanded view without lines", "cmdload2", "cmdcontrast2", "cmdcontrast", "hsbcropcal1",
       46, true, 7, 103, 46},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    test::HeadlessSession session;
    session.load(kRamp, row.load);
    if (row.expanded) {
      session.control("chkexpand").userClick();
    }
    session.control(row.cropRow1Bar).userSet(row.cropRow1);
    answerContrast(session.dialogs_, "0", "100");
    session.control(row.contrast).userClick();
    const ui::Raster& surface = session.window_.windowSurface();
    EXPECT_EQ(greyAt(surface, 188, row.top), row.grey);
    EXPECT_EQ(surface.pixel(188, row.markerY) == ui::kRed, !row.expanded);
    // The other button redraws only its own side: this strip keeps what it shows.
    const std::vector<ui::Rgb> before = surface.pixels();
    answerContrast(session.dialogs_, "0", "1");
    session.control(row.otherContrast).userClick();
    for (int y = row.top - 6; y <= row.top + 15; ++y) {
      EXPECT_EQ(surface.pixel(188, y), before[static_cast<size_t>(y * surface.width() + 188)]);
    }
  }
}

// Before any load the command still redraws its side: an empty strip and, unexpanded, the crop
// marker lines of rows 1 and 20 (y 8 and 29 for data, 40 and 61 for cal) across x 5 to 770.
// Closing the dialog instead takes nothing and draws nothing.
TEST_F(MainWindowTest, ContrastRedrawsItsSideBeforeAnyLoadButNotWhenClosed) {
  struct Row {
    std::string name;
    std::string_view contrast;
    bool closed;
    std::vector<int> markerYs;
  };
  const std::vector<Row> rows{
      {"data", "cmdcontrast", false, {8, 29}},
      {"cal", "cmdcontrast2", false, {40, 61}},
      {"data, closed", "cmdcontrast", true, {}},
      {"cal, closed", "cmdcontrast2", true, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    test::HeadlessSession session;
    const ui::Raster& surface = session.window_.windowSurface();
    const std::vector<ui::Rgb> before = surface.pixels();
    if (row.closed) {
      session.dialogs_.queueModal([](ui::Form& dialog) {
        dialog["txtbackground"].userEditText("0");
        dialog.hide();  // the window's close control
      });
    } else {
      answerContrast(session.dialogs_, "0", "100");
    }
    session.control(row.contrast).userClick();
    std::vector<int> redRows;
    int changed = 0;
    for (int y = 0; y < surface.height(); ++y) {
      for (int x = 0; x < surface.width(); ++x) {
        const ui::Rgb now = surface.pixel(x, y);
        changed += now != before[static_cast<size_t>(y * surface.width() + x)] ? 1 : 0;
        if (x == 5 && now == ui::kRed) {
          redRows.push_back(y);
        }
      }
    }
    EXPECT_EQ(redRows, row.markerYs);
    EXPECT_EQ(changed, static_cast<int>(row.markerYs.size()) * (770 - 5 + 1));
  }
}

TEST_F(MainWindowTest, EveryControlOnScreenSaysWhatItDoes) {
  int withTip = 0;
  for (const auto& control : window_.form().controls()) {
    const ui::ControlKind kind = control->kind();
    if (kind == ui::ControlKind::Shape || kind == ui::ControlKind::Line) {
      continue;  // drawn frames and lines, not controls the user handles
    }
    EXPECT_FALSE(control->toolTip().empty()) << control->name();
    ++withTip;
  }
  for (const auto& control : window_.contrastDialog().controls()) {
    EXPECT_FALSE(control->toolTip().empty()) << control->name();
    ++withTip;
  }
  EXPECT_EQ(withTip, 42 + 5);
}

TEST_F(MainWindowTest, TheLineListTipNamesTheWavelengthInForceForAManualEntry) {
  const std::string listTip = control("cboscale").toolTip();
  struct Row {
    std::string name;
    std::optional<std::string> input;
    std::string tip;
  };
  const std::vector<Row> rows{
      {"a manual wavelength", "5875.6", "The wavelength in force: 5875.6 Angstroms"},
      {"cancelled: the line before stays in force", std::nullopt,
       "The wavelength in force: 5875.6 Angstroms"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    dialogs_.queueInput(row.input);
    control("cboscale").userSelect(47);
    EXPECT_EQ(control("cboscale").toolTip(), row.tip);
  }
  control("cboscale").userSelect(8);
  EXPECT_EQ(control("cboscale").toolTip(), listTip);
}

TEST_F(MainWindowTest, TheOpenDialogIsTitledAfterItsCommand) {
  struct Row {
    std::string_view button;
    std::string title;
  };
  for (const Row& row : std::vector<Row>{{"cmdload", "Load Spectra"}, {"cmdload2", "Load Cal"}}) {
    load(kRamp, row.button);
    EXPECT_EQ(dialogs_.lastOpenTitle(), row.title);
    EXPECT_EQ(dialogs_.lastSelectedFilter(), 0);
    EXPECT_EQ(dialogs_.lastFilters().front().description, "All Files (*.*)");
  }
}

TEST_F(MainWindowTest, ExitEndsTheProgramWithoutAQuestion) {
  control("cmdexit").userClick();
  EXPECT_TRUE(ended_);
  EXPECT_EQ(transcript_.str(), "");
}

TEST_F(MainWindowTest, ASmallerImageLeavesNoPixelsOfTheLargerOneBefore) {
  load(kLamp, "cmdload");
  ASSERT_TRUE(ws().image(ImageKind::Data).loaded);
  ASSERT_NE(ws().image(ImageKind::Data).image.at(500, 15), 0);
  load(kRamp, "cmdload");
  ASSERT_EQ(ws().image(ImageKind::Data).width, 400);
  int nonZero = 0;
  for (int row = 1; row <= 20; ++row) {
    for (int column = 1; column <= 768; ++column) {
      if ((row > 10 || column > 400) && ws().image(ImageKind::Data).image.at(column, row) != 0) {
        ++nonZero;
      }
    }
  }
  EXPECT_EQ(nonZero, 0);
  // Nor in the profile beyond the new width.
  EXPECT_EQ(ws().graph.profile.at(401), 0);
  EXPECT_EQ(ws().image(ImageKind::Data).profile.at(765), 0);
}

TEST_F(MainWindowTest, ALoadPutsTheCropControlsBackToTheFullStripWithoutRunningThem) {
  load(kRamp, "cmdload");
  control("hsbcropdata1").userSet(5);
  control("hsbcropdata2").userSet(12);
  ASSERT_EQ(ws().image(ImageKind::Data).cropRow1, 5);
  ASSERT_EQ(control("lbldatacrop2").caption(), " 12");
  // The crop marker lines of rows 5..12 are at y 12 and y 21.
  EXPECT_EQ(window_.windowSurface().pixel(100, 12), ui::kRed);
  EXPECT_EQ(window_.windowSurface().pixel(100, 21), ui::kRed);
  load(kObject, "cmdload");
  EXPECT_EQ(ws().image(ImageKind::Data).cropRow1, 1);
  EXPECT_EQ(ws().image(ImageKind::Data).cropRow2, 20);
  EXPECT_EQ(control("hsbcropdata1").value(), 1);
  EXPECT_EQ(control("hsbcropdata2").value(), 20);
  EXPECT_EQ(control("lbldatacrop1").caption(), " 1");
  EXPECT_EQ(control("lbldatacrop2").caption(), " 20");
}

TEST_F(MainWindowTest, TheReadOutBelongsToTheNewlyLoadedProfile) {
  load(kLamp, "cmdload2");
  const std::string lampReadout = control("Lblwavelength").caption();
  load(kObject, "cmdload");  // same width: the cursor does not move
  ASSERT_EQ(ws().graph.cursorPixel, 382);
  const auto value = ws().graph.profile.at(382) - ws().graph.profileMin;
  EXPECT_EQ(control("Lblwavelength").caption(),
            "Pixel 382.00\r\nPixel Value = " + std::to_string(value));
  EXPECT_NE(control("Lblwavelength").caption(), lampReadout);
}

TEST_F(MainWindowTest, DataOptionsWhileTheCalProfileIsGraphedLeaveTheCalProfileOnTheGraph) {
  load(kObject, "cmdload");
  load(kLamp, "cmdload2");
  const ProfileArray calProfile = ws().graph.profile;
  const ProfileArray dataBefore = ws().image(ImageKind::Data).profile;
  control("hsbcropdata1").userSet(7);  // graphs the data profile, then back to cal
  control("Cmdcalccal").userClick();
  ASSERT_TRUE(ws().graph.showsCal);
  const ProfileArray dataCropped = ws().image(ImageKind::Data).profile;
  ASSERT_NE(dataCropped, dataBefore);
  for (const std::string_view option : {"chkmedian", "chkfilter"}) {
    SCOPED_TRACE(std::string(option));
    control(option).userClick();
    EXPECT_EQ(ws().graph.profile, calProfile);
    EXPECT_TRUE(ws().graph.showsCal);
    EXPECT_EQ(control("Label2").foreColour(), ui::kRed);
  }
  EXPECT_NE(ws().image(ImageKind::Data).profile, dataCropped)
      << "the data profile's copy follows the options";
  control("cmdcalcspectra").userClick();
  EXPECT_EQ(ws().graph.profile, ws().image(ImageKind::Data).profile);
}

TEST_F(MainWindowTest, SmoothingRefreshesBothProfilesAndGraphsTheCurrentOne) {
  load(kObject, "cmdload");
  load(kLamp, "cmdload2");
  const ProfileArray dataBefore = ws().image(ImageKind::Data).profile;
  const ProfileArray calBefore = ws().image(ImageKind::Cal).profile;
  control("smoothing").userClick();
  EXPECT_NE(ws().image(ImageKind::Data).profile, dataBefore);
  EXPECT_NE(ws().image(ImageKind::Cal).profile, calBefore);
  EXPECT_EQ(ws().graph.profile, ws().image(ImageKind::Cal).profile);
}

TEST_F(MainWindowTest, ExpandSpectraRedrawsBothStripsAndTheCropLinesOnlyWhenUnchecked) {
  load(kObject, "cmdload");
  load(kLamp, "cmdload2");
  ui::Raster& surface = window_.windowSurface();
  control("chkexpand").userClick();
  // Expanded: every row of a column holds the same colour.
  EXPECT_EQ(surface.pixel(300, 9), surface.pixel(300, 28));
  EXPECT_EQ(surface.pixel(300, 41), surface.pixel(300, 60));
  EXPECT_NE(surface.pixel(100, 8), ui::kRed);
  control("chkexpand").userClick();
  for (const int y : {8, 29, 40, 61}) {
    SCOPED_TRACE(y);
    EXPECT_EQ(surface.pixel(100, y), ui::kRed);
  }
}

TEST_F(MainWindowTest, MovingTheCursorByOneColumnMovesItsMark) {
  load(kLamp, "cmdload2");
  ui::Raster& surface = window_.windowSurface();
  const int origin = static_cast<int>(ws().image(ImageKind::Cal).stripLeft);
  ASSERT_EQ(surface.pixel(origin + 382, 35), ui::kRed);
  control("hsbspectra").userScroll(383);
  EXPECT_EQ(surface.pixel(origin + 382, 35), ui::kWindowGrey);
  EXPECT_EQ(surface.pixel(origin + 383, 32), ui::kRed);
  EXPECT_EQ(surface.pixel(origin + 383, 38), ui::kRed);
  EXPECT_EQ(ws().graph.cursorPixel, 383);
  const std::string before = control("Lblwavelength").caption();
  EXPECT_EQ(before, "Pixel 382.00\r\nPixel Value = " +
                        std::to_string(ws().graph.profile.at(382) - ws().graph.profileMin))
      << "dragging leaves the read-out alone";
  control("hsbspectra").userRelease();
  EXPECT_NE(control("Lblwavelength").caption(), before);
}

/** The columns of the gap between the strips (rows 32 to 38) that hold a red cursor mark. */
std::vector<int> markedColumns(const ui::Raster& surface) {
  std::vector<int> columns;
  for (int x = 0; x < surface.width(); ++x) {
    if (surface.pixel(x, 32) == ui::kRed && surface.pixel(x, 38) == ui::kRed) {
      columns.push_back(x);
    }
  }
  return columns;
}

// The mark is erased where it was last drawn, so the gap never holds two: not after a move
// before any load (origin 0), nor after a switch to the other strip, whose origin differs.
TEST_F(MainWindowTest, TheGapHoldsOneCursorMarkWhateverWasGraphedBefore) {
  ui::Control& cursor = control("hsbspectra");
  cursor.userSet(100);
  EXPECT_EQ(markedColumns(window_.windowSurface()), std::vector<int>{100});
  load(kRamp, "cmdload");  // 400 columns at 187: cursor 200
  EXPECT_EQ(markedColumns(window_.windowSurface()), std::vector<int>{387});
  load(kLamp, "cmdload2");  // 765 columns at 4: cursor 382
  EXPECT_EQ(markedColumns(window_.windowSurface()), std::vector<int>{386});
  control("cmdcalcspectra").userClick();  // the graph buttons leave the mark where it is
  EXPECT_EQ(markedColumns(window_.windowSurface()), std::vector<int>{386});
  cursor.userSet(300);
  EXPECT_EQ(markedColumns(window_.windowSurface()), std::vector<int>{487});
}

TEST_F(MainWindowTest, CropBarsKeepAtLeastThreeRows) {
  struct Row {
    std::string_view bar;
    int value;
    ImageKind image;
    int16_t ImageState::*row;
    int expected;
  };
  const std::vector<Row> rows{
      {"hsbcropdata1", 19, ImageKind::Data, &ImageState::cropRow1, 18},
      {"hsbcropdata1", 17, ImageKind::Data, &ImageState::cropRow1, 17},
      {"hsbcropcal2", 2, ImageKind::Cal, &ImageState::cropRow2, 3},
      {"hsbcropcal2", 15, ImageKind::Cal, &ImageState::cropRow2, 15},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.bar) + " " + std::to_string(row.value));
    control(row.bar).userScroll(row.value);
    EXPECT_EQ(ws().image(row.image).*row.row, row.expected);
    EXPECT_EQ(control(row.bar).value(), row.expected);
  }
  EXPECT_EQ(control("lbldatacrop1").caption(), " 17");
  // No cal image: the cal lines are still drawn, at row + 39 and row + 41.
  control("hsbcropcal2").userRelease();
  EXPECT_EQ(window_.windowSurface().pixel(200, 15 + 41), ui::kRed);
  EXPECT_EQ(window_.windowSurface().pixel(200, 1 + 39), ui::kRed);
}

TEST_F(MainWindowTest, ScaleButtonsKeepExactlyOneScale) {
  for (const std::string_view option : {"Lingraph", "loggraph", "pushgraph", "autograph"}) {
    SCOPED_TRACE(std::string(option));
    control(option).userClick();
    EXPECT_EQ(control("Lingraph").value() + control("loggraph").value() +
                  control("autograph").value() + control("pushgraph").value(),
              1);
    EXPECT_EQ(control(option).value(), 1);
  }
  EXPECT_EQ(ws().graph.scale, GraphScale::Autoscaled);
}

}  // namespace
}  // namespace halvic

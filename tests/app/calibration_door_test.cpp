// The calibration's one door: whatever changes the calibration, the window then shows what a
// fresh session shows with the same calibration loaded from a file; "Undo" puts back exactly what
// was there before a change, and "Redo" what came after it; and a profile extracted again shows
// its own values in the read-out at once.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/workspace_values.h"
#include "tests/app/main_window_fixture.h"
#include "tests/support/temp_dir.h"

namespace halvic {
namespace {

constexpr int kNe5852 = 8;
constexpr int kNe6506 = 23;
constexpr int kManualEntry = 47;
constexpr int kCursor = 400;

using Session = test::HeadlessSession;
using Change = std::function<void(Session&)>;

void choose(Session& session, std::string_view menu, std::string_view item) {
  ASSERT_TRUE(session.window_.menus().byTitle(menu, item).choose()) << menu << "/" << item;
}

void mark(Session& session, int listIndex, int column, std::string_view button) {
  session.control("cboscale").userSelect(listIndex);
  session.control("hsbspectra").userSet(column);
  session.control(button).userClick();
}

/** The samples' lamp and object, loaded in that order, with the strips expanded. */
void loadBothExpanded(Session& session) {
  session.load(test::kLamp, "cmdload2");
  session.load(test::kObject, "cmdload");
  session.control("chkexpand").userClick();
}

/**
 * Two lines marked a column off their peaks, as a hand on the scroll bar does, so that a refine
 * has something to mend.
 */
void calibrateOnTheLamp(Session& session) {
  session.control("Cmdcalccal").userClick();
  mark(session, kNe5852, 215, "cmdmarkline1");
  mark(session, kNe6506, 589, "cmdmarkline2");
  ASSERT_TRUE(session.ws().calibration.calibrated) << session.transcript_.str();
}

/** The cursor moved away and back to column, so that its change handler runs there. */
void moveCursorTo(Session& session, int column) {
  session.control("hsbspectra").userSet(column + 1);
  session.control("hsbspectra").userSet(column);
}

/** What a user sees: the window's drawing, the graph's, and the label under the graph. */
struct Seen {
  std::vector<ui::Rgb> window;
  std::vector<ui::Rgb> graph;
  std::string label;
};

std::vector<ui::Rgb> pixelsOf(const ui::Raster& raster) {
  std::vector<ui::Rgb> pixels;
  for (int y = 0; y < raster.height(); ++y) {
    for (int x = 0; x < raster.width(); ++x) {
      pixels.push_back(raster.pixel(x, y));
    }
  }
  return pixels;
}

Seen seen(Session& session) {
  return Seen{pixelsOf(session.window_.windowSurface()), pixelsOf(session.window_.graphSurface()),
              session.control("Lblwavelength").caption()};
}

/** The pixels of a and b that differ. */
size_t differing(const std::vector<ui::Rgb>& a, const std::vector<ui::Rgb>& b) {
  EXPECT_EQ(a.size(), b.size());
  size_t count = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    count += a[i] == b[i] ? 0U : 1U;
  }
  return count;
}

void saveCalibration(Session& session, const std::string& path) {
  session.dialogs_.queueSave(path);
  choose(session, "Calibration", "Save Calibration");
}

void loadCalibration(Session& session, const std::string& path) {
  session.dialogs_.queueOpenFile(path);
  choose(session, "Calibration", "Load Calibration");
}

/**
 * What a fresh session shows with the calibration of `calibrationFile` (none when empty) loaded
 * before the images, so that nothing but the loads draws the strips, as the user left the
 * window: the lamp graphed, the cursor on column `cursor`.
 */
Seen seenInAFreshSession(const std::string& calibrationFile, int cursor) {
  Session fresh;
  if (!calibrationFile.empty()) {
    loadCalibration(fresh, calibrationFile);
  }
  loadBothExpanded(fresh);
  fresh.control("Cmdcalccal").userClick();
  moveCursorTo(fresh, cursor);
  return seen(fresh);
}

/** The calibration in force saved to path, or "" when there is none to save. */
std::string savedCalibration(Session& session, const std::string& path) {
  if (!session.ws().calibration.calibrated) {
    return {};
  }
  saveCalibration(session, path);
  return path;
}

void refineAndApply(Session& session) {
  session.dialogs_.queueForm(ui::FormAnswer{{"apply", "1"}});
  choose(session, "Calibration", "Refine with All Lines");
}

void chooseGrating(Session& session, const std::string& density) {
  session.dialogs_.queueForm(ui::FormAnswer{{"grating", density}});
  choose(session, "Calibration", "Spectrograph");
}

/** A Mark Line 2 on a wavelength no grating angle reaches: refused, nothing changes. */
void failMarkLine2(Session& session) {
  session.dialogs_.queueInput("1000000");
  session.control("cboscale").userSelect(kManualEntry);
  session.control("hsbspectra").userSet(590);
  session.control("cmdmarkline2").userClick();
}

/** A calibration of another session, on the lines' peaks, saved to path; path. */
std::string calibrationOnThePeaks(const std::string& path) {
  Session maker;
  loadBothExpanded(maker);
  maker.control("Cmdcalccal").userClick();
  mark(maker, kNe5852, 214, "cmdmarkline1");
  mark(maker, kNe6506, 590, "cmdmarkline2");
  saveCalibration(maker, path);
  return path;
}

TEST(CalibrationDoor, AfterAnyChangeTheWindowShowsWhatTheSameCalibrationLoadedFromAFileShows) {
  const test::TempDir dir;
  const std::string otherCalibration = calibrationOnThePeaks(dir.file("other.fits"));
  struct Row {
    std::string_view name;
    Change change;
  };
  const std::vector<Row> rows{
      {"a refine applied", refineAndApply},
      {"the grating changed", [](Session& s) { chooseGrating(s, "1200"); }},
      {"a calibration file loaded", [&](Session& s) { loadCalibration(s, otherCalibration); }},
      {"a failed Mark Line 2", failMarkLine2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Session user;
    loadBothExpanded(user);
    calibrateOnTheLamp(user);
    const Calibration before = user.ws().calibration;
    row.change(user);
    const std::string saved = savedCalibration(user, dir.file(std::string(row.name) + ".fits"));
    moveCursorTo(user, kCursor);

    const Seen changed = seen(user);
    const Seen loaded = seenInAFreshSession(saved, kCursor);
    EXPECT_EQ(differing(changed.window, loaded.window), 0U);
    EXPECT_EQ(differing(changed.graph, loaded.graph), 0U);
    EXPECT_EQ(changed.label, loaded.label);
    const bool failure = row.name == "a failed Mark Line 2";
    EXPECT_EQ(user.ws().calibration.model == before.model, failure);
  }
}

/** The values of a calibration, by the names scripts know them. */
using Snapshot = std::vector<std::string>;

// The values the door puts back; the last evaluation's angle and wavelength, and the last
// centroid, belong to whatever evaluated or measured last.
constexpr std::array kCalibrationValueNames{
    "xPixelSize",        "focalLengthMm",    "alphaDeg",      "grooveSpacingUm", "gammaDeg",
    "line1Wavelength",   "line2Wavelength",  "line1Pixel",    "line2Pixel",      "calibrated",
    "focalLengthSolved", "dispersionAPerMm", "gratingChoice", "refinedLines",    "refinedRmsA"};

Snapshot snapshot(Session& session) {
  Snapshot taken;
  for (const std::string_view name : kCalibrationValueNames) {
    taken.push_back(std::string(name) + ": " +
                    workspaceValueText(session.ws(), name).value_or("?"));
  }
  return taken;
}

/** The pixels of the window that differ from a fresh session's with that calibration. */
size_t drawnUnlikeAFreshSession(Session& session, const std::string& calibrationFile) {
  moveCursorTo(session, kCursor);
  return differing(seen(session).window, seenInAFreshSession(calibrationFile, kCursor).window);
}

TEST(CalibrationDoor, UndoPutsBackWhatWasThereBeforeAChangeAndRedoWhatCameAfter) {
  const test::TempDir dir;
  const std::string calibrationFile = calibrationOnThePeaks(dir.file("made.fits"));
  const Change nothing = [](Session&) {};
  const Change markLine1 = [](Session& s) { mark(s, kNe5852, 214, "cmdmarkline1"); };
  struct Row {
    std::string_view name;
    Change before;
    Change change;
    std::string_view undoText;
  };
  const std::vector<Row> rows{
      {"Mark Line 1", nothing, markLine1, "&Undo Mark Line 1"},
      {"Mark Line 2", markLine1, [](Session& s) { mark(s, kNe6506, 590, "cmdmarkline2"); },
       "&Undo Mark Line 2"},
      {"the re-fit", calibrateOnTheLamp, [](Session& s) { mark(s, kNe5852, 214, "cmdmarkline1"); },
       "&Undo Mark Line 1"},
      {"a refine", calibrateOnTheLamp, refineAndApply, "&Undo Refine with All Lines"},
      {"the grating", calibrateOnTheLamp, [](Session& s) { chooseGrating(s, "1200"); },
       "&Undo Spectrograph"},
      {"a loaded file", calibrateOnTheLamp,
       [&](Session& s) { loadCalibration(s, calibrationFile); }, "&Undo Load Calibration"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Session user;
    loadBothExpanded(user);
    user.control("Cmdcalccal").userClick();
    row.before(user);
    const Snapshot before = snapshot(user);
    const std::string beforeFile = savedCalibration(user, dir.file("before.fits"));
    row.change(user);
    const Snapshot after = snapshot(user);
    const std::string afterFile = savedCalibration(user, dir.file("after.fits"));
    ASSERT_NE(after, before);
    EXPECT_EQ(user.window_.menuItem("mnuUndo").text(), row.undoText);

    choose(user, "Calibration", "Undo");
    EXPECT_EQ(snapshot(user), before);
    EXPECT_EQ(drawnUnlikeAFreshSession(user, beforeFile), 0U);

    choose(user, "Calibration", "Redo");
    EXPECT_EQ(snapshot(user), after);
    EXPECT_EQ(drawnUnlikeAFreshSession(user, afterFile), 0U);
  }
}

TEST(CalibrationDoor, HistoryHoldsTheLastTwentyChangesAndANewChangeForgetsWhatWasUndone) {
  Session user;
  user.load(test::kLamp, "cmdload2");
  for (int press = 0; press < 25; ++press) {
    mark(user, kNe5852, 212 + press % 5, "cmdmarkline1");
  }
  int undone = 0;
  while (user.window_.menuItem("mnuUndo").choose()) {
    ++undone;
  }
  EXPECT_EQ(undone, 20);
  EXPECT_EQ(user.window_.menuItem("mnuUndo").text(), "&Undo");
  EXPECT_EQ(user.window_.menuItem("mnuRedo").text(), "R&edo Mark Line 1");
  mark(user, kNe6506, 590, "cmdmarkline1");
  EXPECT_FALSE(user.window_.menuItem("mnuRedo").enabled());
}

TEST(CalibrationDoor, AProfileExtractedAgainShowsItsOwnValueUnderTheCursorAtOnce) {
  struct Row {
    std::string_view name;
    bool calibrated;
    Change change;
  };
  const auto click = [](std::string_view name) {
    return [name](Session& s) { s.control(name).userClick(); };
  };
  const auto crop = [](std::string_view bar, int row) {
    return [bar, row](Session& s) { s.control(bar).userSet(row); };
  };
  const std::vector<Row> rows{
      {"object crop, first row", false, crop("hsbcropdata1", 7)},
      {"object crop, second row", true, crop("hsbcropdata2", 14)},
      {"lamp crop", true, crop("hsbcropcal1", 9)},
      {"Filter Airglow", false, click("chkfilter")},
      {"Use Median", true, click("chkmedian")},
      {"Smoothing On", true, click("smoothing")},
      {"Graph Cal", false, click("Cmdcalccal")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Session user;
    loadBothExpanded(user);
    if (row.calibrated) {
      calibrateOnTheLamp(user);
      user.control("cmdcalcspectra").userClick();
    }
    moveCursorTo(user, kCursor);
    row.change(user);
    const std::string shown = user.control("Lblwavelength").caption();
    moveCursorTo(user, kCursor);
    EXPECT_EQ(shown, user.control("Lblwavelength").caption());
  }
}

}  // namespace
}  // namespace halvic

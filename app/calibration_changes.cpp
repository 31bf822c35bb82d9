// The one door of the calibration: every new calibration goes through changeCalibration, which
// keeps the one it replaces for "Undo" and redraws what shows it; "Undo" and "Redo" go back and
// forth through the same door.

#include <string>

#include "app/main_window.h"

namespace halvic {

void MainWindow::changeCalibration(const Calibration& next, const CalibrationChange& change) {
  if (!change.name.empty()) {
    history_.record(ws_.calibration, change.name);
  }
  ws_.calibration = next;
  redrawModelViews();
  // Last, as after "Mark Line 2", so that the angle of the last evaluation is the summary's.
  if (change.label == CalibrationLabel::Summary) {
    showCalibrationLabel();
  }
  updateCalibrationMenus();
  updateUndoMenus();
}

void MainWindow::redrawModelViews() {
  if (!expandChecked()) {
    return;  // the raw strips do not show the model
  }
  for (const ImageKind kind : kImageKinds) {
    if (ws_.image(kind).loaded) {
      drawStripOf(kind);
    }
  }
}

void MainWindow::showCalibrationLabel() {
  if (ws_.calibration.calibrated) {
    control("Lblwavelength").setCaption(calibrationSummaryText());
  } else {
    showReadout();
  }
}

void MainWindow::updateCalibrationMenus() {
  const bool checkable = ws_.calibration.calibrated && ws_.image(ImageKind::Cal).loaded;
  menuItem("mnuCheckCalibration").setEnabled(checkable);
  menuItem("mnuRefineWithAllLines").setEnabled(checkable);
  menuItem("mnuReidentify").setEnabled(checkable);
}

namespace {

/** "&Undo" with the change it steps over: "&Undo Mark Line 1". */
std::string stepText(std::string_view tableText, std::string_view change) {
  std::string text(tableText);
  if (!change.empty()) {
    text += ' ';
    text += change;
  }
  return text;
}

}  // namespace

void MainWindow::updateUndoMenus() {
  ui::MenuItem& undo = menuItem("mnuUndo");
  ui::MenuItem& redo = menuItem("mnuRedo");
  undo.setText(stepText(undo.spec().text, history_.nextUndo()));
  redo.setText(stepText(redo.spec().text, history_.nextRedo()));
  undo.setEnabled(!history_.nextUndo().empty());
  redo.setEnabled(!history_.nextRedo().empty());
}

void MainWindow::stepTo(const std::optional<CalibrationHistory::Step>& step) {
  if (step) {
    changeCalibration(step->calibration, CalibrationChange{.name = {}});
  }
}

void MainWindow::mnuUndo_Click() { stepTo(history_.undo(ws_.calibration)); }

void MainWindow::mnuRedo_Click() { stepTo(history_.redo(ws_.calibration)); }

}  // namespace halvic

// The two strips and "Expand Spectra".

#include "app/main_window.h"
#include "display/strip_rendering.h"

namespace halvic {

bool MainWindow::expandChecked() { return control("chkexpand").value() != 0; }

void MainWindow::drawStripOf(ImageKind kind) {
  const ImageSlot slot = imageSlot(ws_, kind);
  const GratingModel model = gratingModel();
  const StripInputs strip{
      .image = slot.image,
      .width = slot.width,
      .height = slot.height,
      .stripLeft = slot.stripLeft,
      .stripTop = slot.stripTop,
      .background = slot.background,
      .range = slot.range,
      .profile = slot.profileCopy,
      .expanded = expandChecked(),
      .skySubtracted = kind == ImageKind::Data && control("chkfilter").value() != 0,
      .calibration = ws_.calibrated ? &model : nullptr,
  };
  drawStrip(window_, strip, ws_.betaDeg);
}

void MainWindow::drawDataStrip() { drawStripOf(ImageKind::Data); }

void MainWindow::drawCalStrip() { drawStripOf(ImageKind::Cal); }

void MainWindow::drawCropMarkerLinesOf(ImageKind kind) {
  const ImageSlot slot = imageSlot(ws_, kind);
  drawCropMarkerLines(window_, slot.cropRow1, slot.cropRow2, control(slot.frame).spec().place());
}

void MainWindow::chkexpand_Click() {
  if (ws_.dataLoaded) {
    drawDataStrip();
  }
  if (ws_.calLoaded) {
    drawCalStrip();
  }
  if (expandChecked()) {
    return;
  }
  if (ws_.dataLoaded) {
    drawCropMarkerLinesOf(ImageKind::Data);
  }
  if (ws_.calLoaded) {
    drawCropMarkerLinesOf(ImageKind::Cal);
  }
}

}  // namespace halvic

// The two strips and "Expand Spectra".

#include "app/main_window.h"
#include "display/strip_rendering.h"

namespace halvic {

bool MainWindow::expandChecked() { return control("chkexpand").value() != 0; }

void MainWindow::drawStripOf(ImageKind kind) {
  const ImageState& image = ws_.image(kind);
  const GratingModel model = gratingModel();
  const StripInputs strip{
      .image = image.image,
      .width = image.width,
      .height = image.height,
      .stripLeft = image.stripLeft,
      .stripTop = image.stripTop,
      .background = image.background,
      .range = image.range,
      .profile = image.profile,
      .expanded = expandChecked(),
      .skySubtracted = kind == ImageKind::Data && control("chkfilter").value() != 0,
      .calibration = ws_.calibration.calibrated ? &model : nullptr,
  };
  drawStrip(window_, strip, ws_.graph.betaDeg);
}

void MainWindow::drawDataStrip() { drawStripOf(ImageKind::Data); }

void MainWindow::drawCalStrip() { drawStripOf(ImageKind::Cal); }

void MainWindow::drawCropMarkerLinesOf(ImageKind kind) {
  const ImageState& image = ws_.image(kind);
  drawCropMarkerLines(window_, image.cropRow1, image.cropRow2,
                      control(imageControls(kind).frame).spec().place());
}

void MainWindow::chkexpand_Click() {
  for (const ImageKind kind : kImageKinds) {
    if (ws_.image(kind).loaded) {
      drawStripOf(kind);
    }
  }
  if (expandChecked()) {
    return;
  }
  for (const ImageKind kind : kImageKinds) {
    if (ws_.image(kind).loaded) {
      drawCropMarkerLinesOf(kind);
    }
  }
}

}  // namespace halvic

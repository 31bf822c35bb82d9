// The crop scroll bars: each box keeps at least three rows.

#include "app/main_window.h"
#include "ui/number_format.h"

namespace halvic {

namespace {

/** Rows between a crop box's first and second row at the least: a box spans three rows. */
constexpr int kCropGap = 2;

}  // namespace

void MainWindow::cropFirstRowScrolled(ImageKind kind) {
  ImageState& image = ws_.image(kind);
  ui::Control& bar = control(imageControls(kind).cropBar1);
  image.cropRow1 = static_cast<int16_t>(bar.value());
  if (image.cropRow1 > image.cropRow2 - kCropGap) {
    image.cropRow1 = static_cast<int16_t>(image.cropRow2 - kCropGap);
    bar.setValue(image.cropRow1);
  }
  control(imageControls(kind).cropLabel1).setCaption(ui::labelText(image.cropRow1));
}

void MainWindow::cropSecondRowScrolled(ImageKind kind) {
  ImageState& image = ws_.image(kind);
  ui::Control& bar = control(imageControls(kind).cropBar2);
  image.cropRow2 = static_cast<int16_t>(bar.value());
  if (image.cropRow2 < image.cropRow1 + kCropGap) {
    image.cropRow2 = static_cast<int16_t>(image.cropRow1 + kCropGap);
    bar.setValue(image.cropRow2);
  }
  control(imageControls(kind).cropLabel2).setCaption(ui::labelText(image.cropRow2));
}

void MainWindow::cropRowChanged(ImageKind kind, bool firstRow) {
  if (firstRow) {
    cropFirstRowScrolled(kind);
  } else {
    cropSecondRowScrolled(kind);
  }
  const bool loaded = ws_.image(kind).loaded;
  if (loaded) {
    drawStripOf(kind);
  }
  drawCropMarkerLinesOf(kind);
  if (loaded) {
    graphImage(kind);
  }
}

void MainWindow::hsbcropdata1_Scroll() { cropFirstRowScrolled(ImageKind::Data); }
void MainWindow::hsbcropdata2_Scroll() { cropSecondRowScrolled(ImageKind::Data); }
void MainWindow::hsbcropcal1_Scroll() { cropFirstRowScrolled(ImageKind::Cal); }
void MainWindow::hsbcropcal2_Scroll() { cropSecondRowScrolled(ImageKind::Cal); }
void MainWindow::hsbcropdata1_Change() { cropRowChanged(ImageKind::Data, true); }
void MainWindow::hsbcropdata2_Change() { cropRowChanged(ImageKind::Data, false); }
void MainWindow::hsbcropcal1_Change() { cropRowChanged(ImageKind::Cal, true); }
void MainWindow::hsbcropcal2_Change() { cropRowChanged(ImageKind::Cal, false); }

}  // namespace halvic

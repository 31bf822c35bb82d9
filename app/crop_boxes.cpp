// The crop scroll bars: each box keeps at least three rows.

#include "app/main_window.h"
#include "ui/number_format.h"

namespace halvic {

namespace {

/** Rows between a crop box's first and second row at the least: a box spans three rows. */
constexpr int kCropGap = 2;

}  // namespace

void MainWindow::cropFirstRowScrolled(ImageKind kind) {
  ImageSlot slot = imageSlot(ws_, kind);
  ui::Control& bar = control(slot.cropBar1);
  slot.cropRow1 = static_cast<int16_t>(bar.value());
  if (slot.cropRow1 > slot.cropRow2 - kCropGap) {
    slot.cropRow1 = static_cast<int16_t>(slot.cropRow2 - kCropGap);
    bar.setValue(slot.cropRow1);
  }
  control(slot.cropLabel1).setCaption(ui::labelText(slot.cropRow1));
}

void MainWindow::cropSecondRowScrolled(ImageKind kind) {
  ImageSlot slot = imageSlot(ws_, kind);
  ui::Control& bar = control(slot.cropBar2);
  slot.cropRow2 = static_cast<int16_t>(bar.value());
  if (slot.cropRow2 < slot.cropRow1 + kCropGap) {
    slot.cropRow2 = static_cast<int16_t>(slot.cropRow1 + kCropGap);
    bar.setValue(slot.cropRow2);
  }
  control(slot.cropLabel2).setCaption(ui::labelText(slot.cropRow2));
}

void MainWindow::cropRowChanged(ImageKind kind, bool firstRow) {
  if (firstRow) {
    cropFirstRowScrolled(kind);
  } else {
    cropSecondRowScrolled(kind);
  }
  const bool loaded = imageSlot(ws_, kind).loaded;
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

// "Load Spectra" and "Load Cal".

#include <vector>

#include "app/main_window.h"
#include "imagefile/image_reader.h"
#include "ui/number_format.h"
#include "ui/number_text.h"

namespace halvic {

namespace {

const std::vector<ui::FileFilter>& imageFileFilters() {
  static const std::vector<ui::FileFilter> filters{
      {"All Files (*.*)", "*.*"},     {"KR4 Files (*.KR4)", "*.KR4"},
      {"KR5 Files (*.KR5)", "*.KR5"}, {"KR6 Files (*.KR6)", "*.KR6"},
      {"KRL Files (*.KRL)", "*.KRL"},
  };
  return filters;
}

constexpr std::string_view kNotLoaded = "File not loaded successfully";

constexpr int16_t kFirstRow = 1;
constexpr int16_t kLastRow = kImageRows;

}  // namespace

void MainWindow::cmdload_Click() { loadImage(ImageKind::Data); }

void MainWindow::cmdload2_Click() { loadImage(ImageKind::Cal); }

void MainWindow::chooseImageFile(MainControl button) {
  ws_.selectedFileName =
      dialogs_.openFile(control(button).caption(), imageFileFilters(), 0).value_or(std::string());
}

void MainWindow::loadImage(ImageKind kind) {
  chooseImageFile(kind == ImageKind::Data ? MainControl("cmdload") : MainControl("cmdload2"));
  if (ws_.selectedFileName.empty()) {
    dialogs_.messageBox("No file was selected");
    return;
  }
  ui::Control& fileLabel = control(imageSlot(ws_, kind).fileLabel);
  const std::string labelBefore = fileLabel.caption();
  fileLabel.setCaption(ws_.selectedFileName);
  if (!readImageFile(kind)) {
    // The label goes on naming the image that is still loaded.
    fileLabel.setCaption(labelBefore);
    return;
  }

  ImageSlot slot = imageSlot(ws_, kind);
  blackOutStrip(slot.frame);
  ws_.graphShowsCal = kind == ImageKind::Cal;
  placeInFrame(slot);
  slot.cropRow1 = kFirstRow;
  slot.cropRow2 = kLastRow;
  resetCropControls(kind);
  ws_.profileLength = slot.width;
  // Extracted before the cursor moves, so that the graph and read-out drawn by the cursor's
  // change handler already belong to the new image.
  if (kind == ImageKind::Data) {
    extractDataProfile();
  } else {
    extractCalProfile();
  }
  ui::Control& cursor = control("hsbspectra");
  cursor.setMaximum(slot.width);
  cursor.setValue(slot.width / 2);
  // The bar's value, not width \ 2: a one-column image still has its cursor on column 1.
  ws_.cursorPixel = static_cast<int16_t>(cursor.value());
  ws_.lastCursorPixel = ws_.cursorPixel;
  drawStripOf(kind);
  markCurrentImage(kind);
  graph_.clear();
  slot.loaded = true;
  slot.cropRow1 = kFirstRow;
  slot.cropRow2 = kLastRow;
  drawGraph();
  showReadout();
  updateCalibrationMenus();
}

bool MainWindow::readImageFile(ImageKind kind) {
  ImageSlot slot = imageSlot(ws_, kind);
  const std::string& path = ws_.selectedFileName;
  // Read into copies: a refused or failed load leaves the image as it was.
  ImageHeaderFields fields{slot.height, slot.width, slot.background, slot.range, ws_.xPixelSize,
                           path,        false};
  if (const FileReadStatus scanned = scanImageHeader(path, fields); scanned != ReadStatus::Ok) {
    dialogs_.messageBox(kNotLoaded, describe(scanned));
    return false;
  }
  if (fields.height > kImageRows) {
    dialogs_.messageBox("Spectral swath is too tall!");
    return false;
  }
  if (fields.width > kImageColumns) {
    dialogs_.messageBox("Spectral swath is too wide!");
    return false;
  }
  if (fields.height < 1 || fields.width < 1) {
    dialogs_.messageBox(kNotLoaded, "the image has no rows or no columns");
    return false;
  }
  ImageArray image;  // cells outside the new image stay 0
  HeaderBytes headerBytes{};
  if (const FileReadStatus read =
          readImagePixels(path, fields.compressed, fields.height, fields.width, image, headerBytes);
      read != ReadStatus::Ok) {
    dialogs_.messageBox(kNotLoaded, describe(read));
    return false;
  }
  slot.fileName = path;
  slot.caption = fields.caption;
  slot.image = image;
  slot.headerBytes = headerBytes;
  slot.height = fields.height;
  slot.width = fields.width;
  slot.background = fields.background;
  slot.range = fields.range;
  ws_.xPixelSize = fields.xPixelSize;
  return true;
}

void MainWindow::blackOutStrip(MainControl frameName) {
  const ui::ControlSpec& frame = control(frameName).spec();
  const ui::RasterBatch batch(window_);
  for (int row = 1; row <= kImageRows; ++row) {
    for (int column = 1; column <= kImageColumns; ++column) {
      window_.plot(frame.x + column, frame.y + row, ui::kBlack);
    }
  }
}

void MainWindow::placeInFrame(ImageSlot& slot) {
  const ui::ControlSpec& frame = control(slot.frame).spec();
  const auto spareColumns = static_cast<int>(ui::roundHalfEven(frame.width - slot.width));
  slot.stripLeft = (frame.x - 1) + spareColumns / 2;
  slot.stripTop = static_cast<int16_t>((frame.y - 1) + (frame.height - slot.height) / 2);
}

void MainWindow::resetCropControls(ImageKind kind) {
  ImageSlot slot = imageSlot(ws_, kind);
  control(slot.cropBar1).setValueWithoutEvents(slot.cropRow1);
  control(slot.cropBar2).setValueWithoutEvents(slot.cropRow2);
  control(slot.cropLabel1).setCaption(ui::labelText(slot.cropRow1));
  control(slot.cropLabel2).setCaption(ui::labelText(slot.cropRow2));
}

}  // namespace halvic

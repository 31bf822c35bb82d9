// "Load Spectra" and "Load Cal".

#include <vector>

#include "app/command_failures.h"
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
  const ImageControls& controls = imageControls(kind);
  chooseImageFile(controls.loadButton);
  if (ws_.selectedFileName.empty()) {
    dialogs_.messageBox("No file was selected");
    return;
  }
  ui::Control& fileLabel = control(controls.fileLabel);
  const std::string labelBefore = fileLabel.caption();
  fileLabel.setCaption(ws_.selectedFileName);
  const std::optional<float> pixelSize = readImageFile(kind);
  if (!pixelSize) {
    // The label goes on naming the image that is still loaded.
    fileLabel.setCaption(labelBefore);
    return;
  }
  showLoadedImage(kind, *pixelSize);
}

void MainWindow::showLoadedImage(ImageKind kind, float pixelSize) {
  const ImageControls& controls = imageControls(kind);
  control(controls.fileLabel).setCaption(ws_.selectedFileName);
  ImageState& image = ws_.image(kind);
  blackOutStrip(controls.frame);
  ws_.graph.showsCal = kind == ImageKind::Cal;
  placeInFrame(kind);
  image.cropRow1 = kFirstRow;
  image.cropRow2 = kLastRow;
  resetCropControls(kind);
  ws_.graph.profileLength = image.width;
  // Extracted before the cursor moves, so that the graph and read-out drawn by the cursor's
  // change handler already belong to the new image.
  if (kind == ImageKind::Data) {
    extractDataProfile();
  } else {
    extractCalProfile();
  }
  // Before anything evaluates the model: the new pixel size changes every wavelength at once.
  ws_.headerPixelSize = pixelSize;
  ws_.stripBin = image.fitsOrigin ? image.fitsOrigin->reduction.bin : 1;
  usePixelSize(pixelSizeInForce(ws_.calibration.spectrograph));
  ui::Control& cursor = control("hsbspectra");
  cursor.setMaximum(image.width);
  cursor.setValue(image.width / 2);
  // The bar's value, not width \ 2: a one-column image still has its cursor on column 1.
  ws_.graph.cursorPixel = static_cast<int16_t>(cursor.value());
  ws_.graph.lastCursorPixel = ws_.graph.cursorPixel;
  drawStripOf(kind);
  markCurrentImage(kind);
  graph_.clear();
  image.loaded = true;
  drawGraph();
  showReadout();
  updateCalibrationMenus();
}

std::optional<float> MainWindow::readImageFile(ImageKind kind) {
  const ImageState& before = ws_.image(kind);
  const std::string& path = ws_.selectedFileName;
  // Read into copies: a refused or failed load leaves the image as it was. A header without a
  // line keeps the value it had (the pixel size: the one in force).
  ImageHeaderFields fields{before.height, before.width,        before.background,
                           before.range,  ws_.headerPixelSize, path,
                           false};
  if (const FileReadStatus scanned = scanImageHeader(path, fields); scanned != ReadStatus::Ok) {
    dialogs_.messageBox(kNotLoaded, describe(scanned));
    return std::nullopt;
  }
  if (fields.height > kImageRows) {
    dialogs_.messageBox("Spectral swath is too tall!");
    return std::nullopt;
  }
  if (fields.width > kImageColumns) {
    dialogs_.messageBox("Spectral swath is too wide!");
    return std::nullopt;
  }
  if (fields.height < 1 || fields.width < 1) {
    dialogs_.messageBox(kNotLoaded, "the image has no rows or no columns");
    return std::nullopt;
  }
  ImageArray pixels;  // cells outside the new image stay 0
  HeaderBytes headerBytes{};
  if (const FileReadStatus read = readImagePixels(path, fields.compressed, fields.height,
                                                  fields.width, pixels, headerBytes);
      read != ReadStatus::Ok) {
    dialogs_.messageBox(kNotLoaded, describe(read));
    return std::nullopt;
  }
  commitImage(kind, fields, pixels, headerBytes);
  return fields.xPixelSize;
}

void MainWindow::commitImage(ImageKind kind, const ImageHeaderFields& fields,
                             const ImageArray& pixels, const HeaderBytes& headerBytes) {
  const std::string& path = ws_.selectedFileName;
  ImageState& image = ws_.image(kind);
  image.fitsOrigin.reset();
  image.fileName = path;
  image.caption = fields.caption;
  image.image = pixels;
  image.headerBytes = headerBytes;
  image.height = fields.height;
  image.width = fields.width;
  image.background = fields.background;
  image.range = fields.range;
  const bool sizeGiven = headerValue(headerBytes, kPixelSizeKey) && fields.ignoredPixelSize.empty();
  image.pixelSize = sizeGiven ? fields.xPixelSize : 0.0f;
  if (!fields.ignoredPixelSize.empty()) {
    dialogs_.reportReason(path + ": the line " + std::string(kPixelSizeKey) + " " +
                          fields.ignoredPixelSize +
                          " was ignored: no camera has pixels of that size");
  }
}

void MainWindow::usePixelSize(float pixelSize) {
  if (pixelSize == ws_.calibration.model.xPixelSize) {
    return;
  }
  // The pixel size is the camera's, not a step of the calibration: every calibration kept for
  // "Undo" takes it too, so that stepping back never brings another camera's pixels back.
  history_.editAll([pixelSize](Calibration& kept) { kept.model.xPixelSize = pixelSize; });
  Calibration next = ws_.calibration;
  next.model.xPixelSize = pixelSize;
  changeCalibration(next, CalibrationChange{.name = {}, .label = CalibrationLabel::AsIs});
}

float MainWindow::pixelSizeInForce(const Spectrograph& spectrograph) const {
  return spectrograph.pixelSizeUm ? *spectrograph.pixelSizeUm * static_cast<float>(ws_.stripBin)
                                  : ws_.headerPixelSize;
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

void MainWindow::placeInFrame(ImageKind kind) {
  ImageState& image = ws_.image(kind);
  const ui::ControlSpec& frame = control(imageControls(kind).frame).spec();
  const auto spareColumns = static_cast<int>(ui::roundHalfEven(frame.width - image.width));
  image.stripLeft = (frame.x - 1) + spareColumns / 2;
  image.stripTop = static_cast<int16_t>((frame.y - 1) + (frame.height - image.height) / 2);
}

void MainWindow::resetCropControls(ImageKind kind) {
  const ImageState& image = ws_.image(kind);
  const ImageControls& controls = imageControls(kind);
  control(controls.cropBar1).setValueWithoutEvents(image.cropRow1);
  control(controls.cropBar2).setValueWithoutEvents(image.cropRow2);
  control(controls.cropLabel1).setCaption(ui::labelText(image.cropRow1));
  control(controls.cropLabel2).setCaption(ui::labelText(image.cropRow2));
}

}  // namespace halvic

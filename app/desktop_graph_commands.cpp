// "Export Graph Image..." and "Print Preview...": the page "Print Graph" prints, drawn into an
// image file or shown before printing. Both belong to the desktop program alone.

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <span>
#include <string>
#include <vector>

#include "app/desktop_program.h"
#include "imagefile/atomic_file.h"
#include "output/export_names.h"
#include "ui/qt/qt_page_image.h"
#include "ui/qt/qt_paint_canvas.h"

namespace halvic {

namespace {

constexpr std::string_view kFlatProfile = "No graph to draw: the profile is flat.";
constexpr std::string_view kNoWavelengthScale =
    "No graph to draw: the calibration gives no wavelength scale.";
constexpr std::string_view kNotSaved = "Graph image not saved: ";
constexpr std::string_view kSaved = " saved as graph image";
constexpr std::string_view kNotMade = "the image could not be made";
constexpr std::string_view kFallbackName = "graph";
constexpr std::string_view kPngExtension = ".png";

/**
 * A page that keeps nothing, on which a trial drawing tells whether the graph can be drawn: the
 * printout refuses a page for its data (a flat profile, a calibration without a wavelength
 * scale), whatever the page's size and fonts.
 */
class TrialPage : public ui::PrinterCanvas {
 public:
  void setLandscape() override {}
  int pageWidth() const override { return ui::kPageImageWidth; }
  int pageHeight() const override { return ui::kPageImageHeight; }
  double textWidth(std::string_view text) const override {
    return static_cast<double>(text.size());
  }
  double textHeight(std::string_view /*text*/) const override { return 1.0; }
  void text(double /*x*/, double /*y*/, std::string_view /*text*/) override {}
  void line(double /*x1*/, double /*y1*/, double /*x2*/, double /*y2*/) override {}
  bool endDocument() override { return true; }
};

/** The save dialog's filters, in the order of ui::PageImageFormat. */
std::vector<ui::FileFilter> graphImageFilters() {
  return {{"PNG Image (*.png)", "*.png"},
          {"SVG Image (*.svg)", "*.svg"},
          {"PDF Document (*.pdf)", "*.pdf"}};
}

/**
 * The printed page of window's graph written whole to path, in the format its extension names;
 * nullopt when written, otherwise why not.
 */
std::optional<std::string> writeGraphImage(const MainWindow& window, const std::string& path) {
  // The save dialog gave the name one of its filters' extensions.
  const ui::PageImageFormat format = ui::pageImageFormatOf(path).value_or(ui::PageImageFormat::Png);
  const std::optional<QByteArray> bytes = ui::drawPageImage(
      format,
      [&window](ui::PrinterCanvas& canvas) { return window.drawPrintedGraph(canvas).drawn; });
  if (!bytes) {
    return std::string(kNotMade);
  }
  return writeFileAtomically(
      path, std::span<const char>(bytes->constData(), static_cast<size_t>(bytes->size())));
}

}  // namespace

bool DesktopProgram::graphDrawable() {
  TrialPage page;
  if (logic_.drawPrintedGraph(page).drawn) {
    return true;
  }
  const Workspace& ws = logic_.workspace();
  dialogs_.messageBox(ws.graph.profileMax == ws.graph.profileMin ? kFlatProfile
                                                                 : kNoWavelengthScale);
  return false;
}

void DesktopProgram::exportGraphImage() {
  if (!graphDrawable()) {
    return;
  }
  const std::string imagePath = logic_.workspace().graphedImage().fileName;
  const std::optional<std::string> chosen = dialogs_.saveFile(ui::SaveRequest{
      .title = "Export Graph Image",
      .filters = graphImageFilters(),
      .suggestedName = suggestedExportName(imagePath, kFallbackName, kPngExtension),
      .addFilterExtension = true,
  });
  if (!chosen || namesNoFile(*chosen)) {
    return;
  }
  const std::optional<std::string> failure = writeGraphImage(logic_, *chosen);
  if (failure) {
    dialogs_.messageBox(std::string(kNotSaved) + *chosen + " (" + *failure + ")", *failure);
    return;
  }
  logic_.control("Lblwavelength").setCaption(*chosen + std::string(kSaved));
}

void DesktopProgram::showPrintPreview() {
  if (!graphDrawable()) {
    return;
  }
  const std::unique_ptr<QPrinter> printer = ui::previewPrinter();
  printer->setPageOrientation(QPageLayout::Landscape);
  QPrintPreviewDialog preview(printer.get(), &window_);
  // Each request draws the page afresh: for the preview, and for the printer when the user
  // prints from it.
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                   [this](QPrinter* target) {
                     ui::QtPaintCanvas page(*target);
                     if (logic_.drawPrintedGraph(page).drawn) {
                       page.endDocument();
                     }
                   });
  preview.exec();
}

}  // namespace halvic

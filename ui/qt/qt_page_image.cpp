#include "ui/qt/qt_page_image.h"

#include <QBuffer>
#include <QImage>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <cmath>

#include "ui/dialogs.h"
#include "ui/qt/qt_paint_canvas.h"

namespace halvic::ui {

namespace {

constexpr double kMetresPerInch = 0.0254;
const QColor kPaper(Qt::white);

/** Draws on canvas and ends its page; false when either failed. */
bool drawWhole(QtPaintCanvas& canvas, const std::function<bool(PrinterCanvas&)>& draw) {
  return draw(canvas) && canvas.endDocument();
}

std::optional<QByteArray> pngPage(const std::function<bool(PrinterCanvas&)>& draw) {
  QImage image(kPageImageWidth, kPageImageHeight, QImage::Format_RGB32);
  const auto dotsPerMetre = static_cast<int>(std::lround(kPageImageDotsPerInch / kMetresPerInch));
  image.setDotsPerMeterX(dotsPerMetre);
  image.setDotsPerMeterY(dotsPerMetre);
  {
    QtPaintCanvas canvas(image, kPaper);
    if (!drawWhole(canvas, draw)) {
      return std::nullopt;
    }
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
    return std::nullopt;
  }
  return bytes;
}

std::optional<QByteArray> svgPage(const std::function<bool(PrinterCanvas&)>& draw) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly)) {
    return std::nullopt;
  }
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setSize(QSize(kPageImageWidth, kPageImageHeight));
  generator.setViewBox(QRect(0, 0, kPageImageWidth, kPageImageHeight));
  generator.setResolution(kPageImageDotsPerInch);
  QtPaintCanvas canvas(generator, kPaper);
  if (!drawWhole(canvas, draw)) {
    return std::nullopt;
  }
  return bytes;
}

std::optional<QByteArray> pdfPage(const std::function<bool(PrinterCanvas&)>& draw) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly)) {
    return std::nullopt;
  }
  QPdfWriter writer(&buffer);
  writer.setPageSize(QPageSize(QPageSize::Letter));
  QtPaintCanvas canvas(writer);
  if (!drawWhole(canvas, draw)) {
    return std::nullopt;
  }
  return bytes;
}

}  // namespace

std::optional<PageImageFormat> pageImageFormatOf(std::string_view path) {
  if (hasExtension(path, ".png")) {
    return PageImageFormat::Png;
  }
  if (hasExtension(path, ".svg")) {
    return PageImageFormat::Svg;
  }
  if (hasExtension(path, ".pdf")) {
    return PageImageFormat::Pdf;
  }
  return std::nullopt;
}

std::optional<QByteArray> drawPageImage(PageImageFormat format,
                                        const std::function<bool(PrinterCanvas&)>& draw) {
  switch (format) {
    case PageImageFormat::Png:
      return pngPage(draw);
    case PageImageFormat::Svg:
      return svgPage(draw);
    case PageImageFormat::Pdf:
      return pdfPage(draw);
  }
  return std::nullopt;
}

}  // namespace halvic::ui

#include "ui/qt/qt_printer.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace halvic::ui {
namespace {

std::unique_ptr<QPrinter> pdfPrinter(const QString& path) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setOutputFileName(path);
  return printer;
}

TEST(QtPrinterCanvas, DrawsOnePageInDeviceUnits) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString path = folder.filePath("page.pdf");
  QtPrinterCanvas canvas(pdfPrinter(path));
  canvas.setLandscape();
  const int width = canvas.pageWidth();
  const int height = canvas.pageHeight();
  EXPECT_GT(width, height);
  EXPECT_GT(height, 3000);  // a page at printer resolution, not in screen pixels
  const double wide = canvas.textWidth(" 12345");
  EXPECT_GT(wide, canvas.textWidth(" 1"));
  EXPECT_GT(canvas.textHeight("0"), 0.0);
  EXPECT_LT(canvas.textHeight("0"), height / 20.0);

  canvas.text(width / 2.0 - wide / 2, 100.5, " 12345");
  canvas.line(0, 0, width - 1, height - 1);
  EXPECT_TRUE(canvas.endDocument());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.read(4).startsWith("%PDF"));
}

TEST(QtPrinterCanvas, AFailedJobKeepsFailing) {
  QtPrinterCanvas canvas(pdfPrinter("/nonexistent-folder/page.pdf"));
  canvas.text(10, 10, "title");
  canvas.line(0, 0, 100, 100);
  EXPECT_FALSE(canvas.endDocument());
  EXPECT_FALSE(QFile::exists("/nonexistent-folder/page.pdf"));
}

}  // namespace
}  // namespace halvic::ui

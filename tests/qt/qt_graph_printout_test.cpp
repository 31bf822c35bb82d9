// The printed page on a real QPrinter: the printout drawn through QtPrinterCanvas into a PDF,
// read back with poppler's pdfinfo and pdftotext.

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <optional>
#include <string_view>
#include <vector>

#include "output/graph_printout.h"
#include "tests/support/grating_examples.h"
#include "ui/qt/qt_printer.h"

namespace halvic {
namespace {

/** The standard output of a program run to its end, or nullopt when it could not run or failed. */
std::optional<QString> outputOf(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0) {
    return std::nullopt;
  }
  return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(GraphPrintoutPdf, OneLandscapePageWithTitlesAndScale) {
  if (QStandardPaths::findExecutable("pdfinfo").isEmpty() ||
      QStandardPaths::findExecutable("pdftotext").isEmpty()) {
    GTEST_SKIP() << "pdfinfo and pdftotext (poppler-utils) are not installed";
  }
  struct Row {
    std::string_view name;
    std::optional<GratingModel> calibration;
    QString axisTitle;
    QStringList axisLabels;
  };
  const std::vector<Row> rows{
      {"pixel axis", std::nullopt, "Pixel Number", {"0", "50", "400", "750"}},
      // The worked example runs from 7398.6 A down to 4147.3 A: the axis starts at 4000.
      {"wavelength axis",
       test::workedExampleModel(),
       "Wavelength in Angstroms",
       {"4000", "5800", "7600"}},
  };
  ProfileArray profile;
  for (int column = 1; column <= kProfileColumns; ++column) {
    profile.set(column, 100 + (column % 100) * 50);
  }
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath("page.pdf");
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    ui::QtPrinterCanvas canvas(std::move(printer));
    const GraphPrintout printout =
        drawGraphPrintout(canvas, {.profile = profile,
                                   .profileMax = 12345,
                                   .profileMin = 0,
                                   .title = "lamp.kr4 captured on 03/14/2024 at 21:12:40",
                                   .calibration = row.calibration});
    ASSERT_TRUE(printout.drawn);
    ASSERT_TRUE(canvas.endDocument());

    const std::optional<QString> info = outputOf("pdfinfo", {path});
    ASSERT_TRUE(info.has_value());
    EXPECT_TRUE(
        info->contains(QRegularExpression("^Pages: +1$", QRegularExpression::MultilineOption)))
        << info->toStdString();
    const QRegularExpressionMatch size =
        QRegularExpression(R"(Page size: +([0-9.]+) x ([0-9.]+) pts)").match(*info);
    ASSERT_TRUE(size.hasMatch()) << info->toStdString();
    EXPECT_GT(size.captured(1).toDouble(), size.captured(2).toDouble()) << "not landscape";

    const std::optional<QString> text = outputOf("pdftotext", {path, "-"});
    ASSERT_TRUE(text.has_value());
    const QStringList words = text->split(QRegularExpression(R"(\s+)"), Qt::SkipEmptyParts);
    EXPECT_TRUE(text->contains("lamp.kr4 captured on 03/14/2024 at 21:12:40"));
    EXPECT_TRUE(text->contains(row.axisTitle));
    QStringList expectedWords{"100", "90", "50", "10", "0", "12345)"};
    expectedWords += row.axisLabels;
    for (const QString& word : expectedWords) {
      EXPECT_TRUE(words.contains(word)) << "missing " << word.toStdString() << " in\n"
                                        << text->toStdString();
    }
  }
}

}  // namespace
}  // namespace halvic

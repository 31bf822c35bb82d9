#include "app/desktop_program.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/qt/modal_answer.h"

namespace halvic {
namespace {

using ui::AnswerWhenOpen;

const QString kSourceDir = QString::fromUtf8(HALVIC_SOURCE_DIR);
const std::string kRampTitle = "ramp.kr4 captured on 03/14/2024 at 21:12:40";

/** The program shown, as main shows it. */
class ShownProgram : public testing::Test {
 protected:
  explicit ShownProgram(std::vector<QString> guidePlaces = userGuidePlaces())
      : program_(std::move(guidePlaces)) {
    program_.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&program_.window()));
  }

  QAction& menuAction(std::string_view menu, std::string_view item) {
    QAction* action = program_.window().menuBar().action(menu, item);
    if (action == nullptr) {
      throw std::logic_error("no menu item " + std::string(menu) + "/" + std::string(item));
    }
    return *action;
  }

  /** Graphs a profile with a range to scale: 100 + (column mod 100) x 50, so 100 to 5050. */
  void graphARamp() {
    Workspace& ws = program_.mainWindow().workspace();
    for (int column = 1; column <= kProfileColumns; ++column) {
      ws.graph.profile.set(column, 100 + (column % 100) * 50);
    }
    ws.graph.profileMax = 5050;
    ws.graph.profileMin = 100;
    ws.image(ImageKind::Data).caption = kRampTitle;
    ws.graph.showsCal = false;
  }

  /** What Lblwavelength says, where a command reports what it saved. */
  std::string readout() { return program_.mainWindow().control("Lblwavelength").caption(); }

  DesktopProgram program_;
};

/** Types path into a file dialog's name box, after selecting filter when one is given. */
void chooseFile(QFileDialog& files, const QString& path, const QString& filter = {}) {
  if (!filter.isEmpty()) {
    files.selectNameFilter(filter);
  }
  files.findChild<QLineEdit*>("fileNameEdit")->setText(path);
  static_cast<QDialog&>(files).accept();  // public in the base
}

/** Reads the message box's text and presses OK. */
std::function<void(QMessageBox&)> readMessage(QString& text) {
  return [&text](QMessageBox& box) {
    text = box.text();
    box.button(QMessageBox::Ok)->click();
  };
}

/** The size of a picture a document holds: as a pixmap, an image or the file's bytes. */
QSize pictureSize(const QVariant& resource) {
  switch (resource.typeId()) {
    case QMetaType::QPixmap:
      return resource.value<QPixmap>().size();
    case QMetaType::QImage:
      return resource.value<QImage>().size();
    case QMetaType::QByteArray:
      return QImage::fromData(resource.toByteArray()).size();
    default:
      return {};
  }
}

QByteArray fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The program as main builds it: the contrast dialog shown once and answered with its "Done"
// button, then everything destroyed in the program's own order, which ends the forms before the
// dialogs. A dialog object that still reached into a form it had shown would do so after the form
// has gone; the sanitizer build reports that.
TEST(DesktopProgram, EndsCleanlyAfterTheContrastDialogHasBeenShown) {
  DesktopProgram program;
  program.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&program.window()));
  ui::Form& contrast = program.mainWindow().contrastDialog();

  bool shownWhileAnswered = false;
  ui::ModalAnswer done([&](QWidget& dialog) {
    shownWhileAnswered = contrast.visible() && dialog.isVisible();
    // Values "Done" takes, so that it closes the dialog rather than asking for a correction.
    for (const char* box : {"txtbackground", "txtrange"}) {
      auto* edit = dialog.findChild<QLineEdit*>(box);
      ASSERT_NE(edit, nullptr);
      edit->selectAll();
      QTest::keyClicks(edit, "100");
    }
    QWidget* button = dialog.findChild<QWidget*>("cmddone");
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
  });
  program.dialogs().showModal(contrast);
  EXPECT_TRUE(shownWhileAnswered);
  EXPECT_FALSE(contrast.visible());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ShownProgram, OffersTheDesktopsOwnItemsWhileTheChecksWaitForACalibration) {
  // The three items only the desktop offers have their handlers; the calibration checks wait for
  // a calibration.
  for (const auto& [menu, item] : std::vector<std::pair<const char*, const char*>>{
           {"File", "Export Graph Image"}, {"File", "Print Preview"}, {"Help", "User Guide"}}) {
    EXPECT_TRUE(menuAction(menu, item).isEnabled()) << item;
  }
  EXPECT_FALSE(menuAction("Calibration", "Check Calibration").isEnabled());
  EXPECT_FALSE(menuAction("Calibration", "Refine with All Lines").isEnabled());
}

TEST_F(ShownProgram, LoadCalChosenFromTheMenuLoadsTheFileTheDialogGives) {
  const QString lamp = kSourceDir + "/samples/neon-lamp.kr4";
  QString title;
  QString filter;
  AnswerWhenOpen<QFileDialog> answer([&](QFileDialog& files) {
    title = files.windowTitle();
    filter = files.selectedNameFilter();
    chooseFile(files, lamp);
  });
  menuAction("File", "Load Cal").trigger();
  ASSERT_TRUE(answer.answered());
  EXPECT_EQ(title, "Load Cal");
  EXPECT_EQ(filter, "All Files (*.*)");
  EXPECT_TRUE(program_.mainWindow().workspace().image(ImageKind::Cal).loaded);
  EXPECT_EQ(program_.mainWindow().workspace().image(ImageKind::Cal).fileName, lamp.toStdString());
}

// A refused load shows the window's fixed message and, under "Show Details...", the reader's own
// reason, so that a truncated file can be told from a bad header; the image loaded before stays.
TEST_F(ShownProgram, ARefusedLoadGivesTheReadersReasonAsTheMessagesDetails) {
  const QString lamp = kSourceDir + "/samples/neon-lamp.kr4";
  const QString data = kSourceDir + "/tests/script/data/";
  struct Row {
    std::string name;
    QString path;
    QString details;
  };
  const std::vector<Row> rows{
      {"text, not an image", data + "not-an-image.txt", "the header has no End line"},
      {"a truncated image", data + "truncated.kr4", "the file ends early, in row 3"},
  };
  AnswerWhenOpen<QFileDialog> first([&](QFileDialog& files) { chooseFile(files, lamp); });
  menuAction("File", "Load Spectra").trigger();
  ASSERT_TRUE(program_.mainWindow().workspace().image(ImageKind::Data).loaded);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QString text;
    QString details;
    std::optional<AnswerWhenOpen<QMessageBox>> box;
    AnswerWhenOpen<QFileDialog> answer([&](QFileDialog& files) {
      box.emplace([&](QMessageBox& shown) {
        text = shown.text();
        details = shown.detailedText();
        shown.button(QMessageBox::Ok)->click();
      });
      chooseFile(files, row.path);
    });
    menuAction("File", "Load Spectra").trigger();
    EXPECT_EQ(text, "File not loaded successfully");
    EXPECT_EQ(details, row.details);
    EXPECT_EQ(program_.mainWindow().workspace().image(ImageKind::Data).fileName,
              lamp.toStdString());
  }
}

// "Print Graph" asks Qt's printer information for the default printer and, finding none, says
// its failure message without trying a page. The CUPS server is pointed at a socket that
// does not exist, so the test never prints on a printer of the machine it runs on.
TEST_F(ShownProgram, PrintGraphWithoutADefaultPrinterSaysSo) {
  qputenv("CUPS_SERVER", QByteArray("/nonexistent/halvic-test/cups.sock"));
  if (!QPrinterInfo::defaultPrinter().isNull()) {
    GTEST_SKIP() << "a default printer is set up outside CUPS; not printing on it";
  }
  graphARamp();
  QString message;
  AnswerWhenOpen<QMessageBox> box(readMessage(message));
  program_.mainWindow().control("cmdprint").userClick();
  EXPECT_TRUE(box.answered());
  EXPECT_EQ(message, "There was a problem printing to your printer.");
}

TEST_F(ShownProgram, ExportGraphImageWritesThePrintedPageAsPngOrSvg) {
  graphARamp();
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString kSvgFilter = ui::typeNameFilter({"SVG Image (*.svg)", "*.svg"});
  struct Row {
    std::string name;
    QString typed;
    QString filter;
    QString written;
    std::function<void(const QByteArray&)> check;
  };
  const std::vector<Row> rows{
      {"PNG by its extension", "page.png", kSvgFilter, "page.png",
       [](const QByteArray& bytes) {
         QImage image;
         ASSERT_TRUE(image.loadFromData(bytes, "PNG"));
         EXPECT_EQ(image.size(), QSize(1650, 1275));
         EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::white));
         // The frame's left edge: a tenth of the width in, from a tenth of the height down to
         // nine tenths (x 165, y 127 to 1147).
         EXPECT_EQ(image.pixelColor(165, 640), QColor(Qt::black));
         EXPECT_EQ(image.pixelColor(164, 640), QColor(Qt::white));
         EXPECT_EQ(image.pixelColor(1485, 640), QColor(Qt::black));  // right edge: 165 + 1320
         EXPECT_EQ(image.dotsPerMeterX(), 5906);                     // 150 dots an inch
       }},
      {"SVG by the selected filter", "page", kSvgFilter, "page.svg",
       [](const QByteArray& bytes) {
         QSvgRenderer svg(bytes);
         ASSERT_TRUE(svg.isValid());
         EXPECT_EQ(svg.viewBox(), QRect(0, 0, 1650, 1275));
         EXPECT_TRUE(bytes.contains(QByteArray::fromStdString(kRampTitle)));
         EXPECT_TRUE(bytes.contains("Pixel Number"));
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    AnswerWhenOpen<QFileDialog> answer([&](QFileDialog& files) {
      EXPECT_EQ(files.windowTitle(), "Export Graph Image");
      chooseFile(files, folder.filePath(row.typed), row.filter);
    });
    menuAction("File", "Export Graph Image").trigger();
    ASSERT_TRUE(answer.answered());
    const QString written = folder.filePath(row.written);
    EXPECT_EQ(readout(), written.toStdString() + " saved as graph image");
    row.check(fileBytes(written));
  }
}

TEST_F(ShownProgram, ExportGraphImageWritesAPdfWithTheTitleAndTheAxis) {
  if (QStandardPaths::findExecutable("pdftotext").isEmpty()) {
    GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  }
  graphARamp();
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString path = folder.filePath("page.pdf");
  AnswerWhenOpen<QFileDialog> answer([&](QFileDialog& files) { chooseFile(files, path); });
  menuAction("File", "Export Graph Image").trigger();
  ASSERT_TRUE(answer.answered());
  QProcess pdftotext;
  pdftotext.start("pdftotext", {path, "-"});
  ASSERT_TRUE(pdftotext.waitForFinished(30000));
  const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
  EXPECT_TRUE(text.contains(QString::fromStdString(kRampTitle))) << text.toStdString();
  EXPECT_TRUE(text.contains("Pixel Number")) << text.toStdString();
  EXPECT_TRUE(text.contains("( 5050)")) << text.toStdString();  // the maximum, beside the scale
}

TEST_F(ShownProgram, ExportGraphImageSaysWhyNothingWasWritten) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  QFile regular(folder.filePath("regular"));
  ASSERT_TRUE(regular.open(QIODevice::WriteOnly));
  regular.close();
  const QString throughAFile = folder.filePath("regular/page.png");
  Workspace& ws = program_.mainWindow().workspace();
  struct Row {
    std::string name;
    std::function<void()> setUp;
    bool dialog;
    QString expectedMessage;
  };
  const std::vector<Row> rows{
      {"a flat profile: no dialog", [] {}, false, "No graph to draw: the profile is flat."},
      // 10^6 micrometre grooves put the wavelengths near 10^10 Angstroms: beyond the axis.
      {"a calibration with no wavelength scale: no dialog",
       [&] {
         graphARamp();
         ws.calibration.calibrated = true;
         ws.calibration.model.alphaDeg = 30.0;
         ws.calibration.model.grooveSpacingUm = 1.0e6;
       },
       false, "No graph to draw: the calibration gives no wavelength scale."},
      {"a folder that is a regular file",
       [&] {
         graphARamp();
         ws.calibration.calibrated = false;
       },
       true, "Graph image not saved: " + throughAFile + " (Not a directory)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    row.setUp();
    QString message;
    std::optional<AnswerWhenOpen<QMessageBox>> box;
    AnswerWhenOpen<QFileDialog> answer([&](QFileDialog& files) {
      box.emplace(readMessage(message));
      chooseFile(files, throughAFile);
    });
    if (!row.dialog) {
      box.emplace(readMessage(message));
    }
    menuAction("File", "Export Graph Image").trigger();
    EXPECT_EQ(answer.answered(), row.dialog);
    EXPECT_EQ(message, row.expectedMessage);
    EXPECT_EQ(readout().find("saved as graph image"), std::string::npos);
  }
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"regular"});
}

TEST_F(ShownProgram, PrintPreviewShowsThePrintedPage) {
  graphARamp();
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString printed = folder.filePath("printed.pdf");
  int pages = 0;
  QPageLayout::Orientation orientation = QPageLayout::Portrait;
  AnswerWhenOpen<QPrintPreviewDialog> answer([&](QPrintPreviewDialog& preview) {
    auto* shown = preview.findChild<QPrintPreviewWidget*>();
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([shown] { return shown->pageCount() > 0; }, 3000));
    pages = shown->pageCount();
    orientation = shown->orientation();
    // What the preview's print button prints, sent to a file rather than to a printer.
    preview.printer()->setOutputFileName(printed);
    shown->print();
    preview.reject();
  });
  menuAction("File", "Print Preview").trigger();
  ASSERT_TRUE(answer.answered());
  EXPECT_EQ(pages, 1);
  EXPECT_EQ(orientation, QPageLayout::Landscape);
  EXPECT_TRUE(fileBytes(printed).startsWith("%PDF"));
  if (QStandardPaths::findExecutable("pdftotext").isEmpty()) {
    return;  // the page's text is checked where poppler is installed
  }
  QProcess pdftotext;
  pdftotext.start("pdftotext", {printed, "-"});
  ASSERT_TRUE(pdftotext.waitForFinished(30000));
  const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
  EXPECT_TRUE(text.contains(QString::fromStdString(kRampTitle))) << text.toStdString();
  EXPECT_TRUE(text.contains("Pixel Number")) << text.toStdString();
}

TEST_F(ShownProgram, PrintPreviewOfAFlatProfileSaysSoInstead) {
  QString message;
  AnswerWhenOpen<QMessageBox> box(readMessage(message));
  menuAction("File", "Print Preview").trigger();
  EXPECT_EQ(message, "No graph to draw: the profile is flat.");
}

TEST_F(ShownProgram, AMessageDuringTheContrastDialogStandsOverThatDialog) {
  ui::Form& contrast = program_.mainWindow().contrastDialog();
  QWidget* messageParent = nullptr;
  QString message;
  AnswerWhenOpen<QDialog> answer([&](QDialog& dialog) {
    auto* background = dialog.findChild<QLineEdit*>("txtbackground");
    ASSERT_NE(background, nullptr);
    background->selectAll();
    QTest::keyClicks(background, "none");
    AnswerWhenOpen<QMessageBox> refusal([&](QMessageBox& box) {
      messageParent = box.parentWidget();
      message = box.text();
      box.button(QMessageBox::Ok)->click();
    });
    QTest::mouseClick(dialog.findChild<QWidget*>("cmddone"), Qt::LeftButton);
    ASSERT_TRUE(refusal.answered());
    dialog.close();  // the window's close control: nothing taken
  });
  program_.mainWindow().cmdcontrast2_Click();
  ASSERT_TRUE(answer.answered());
  EXPECT_EQ(message, "Background must be a whole number from -32768 to 32767.");
  ASSERT_NE(messageParent, nullptr);
  EXPECT_EQ(messageParent, program_.dialogs().modalDialog(contrast));
  EXPECT_NE(messageParent, &program_.window());
}

/** A temporary folder, made before the program that looks into it. */
struct GuideFolder {
  QTemporaryDir folder;
};

/** The program looking for its guide first where there is none, then in a folder of its own. */
class UserGuide : public GuideFolder, public ShownProgram {
 protected:
  UserGuide() : ShownProgram({missingGuide(), guidePath()}) {}

  QString missingGuide() const { return folder.filePath("nowhere/USER-GUIDE.md"); }
  QString guidePath() const { return folder.filePath("USER-GUIDE.md"); }
};

TEST_F(UserGuide, OpensTheFirstGuideFoundWithItsPictures) {
  ASSERT_TRUE(QDir().mkpath(folder.filePath("user-guide")));
  QImage picture(3, 2, QImage::Format_RGB32);
  picture.fill(Qt::red);
  ASSERT_TRUE(picture.save(folder.filePath("user-guide/window.png")));
  QFile guide(guidePath());
  ASSERT_TRUE(guide.open(QIODevice::WriteOnly));
  guide.write(
      "# Calibrating a lamp\n\nLoad it first.\n\n![The window](user-guide/window.png)\n\n"
      "<!-- For the program's maintainers from here on. -->\n\n## Remaking the pictures\n\n"
      "Run make screenshots.\n");
  guide.close();

  menuAction("Help", "User Guide").trigger();
  auto* browser = program_.window().findChild<QTextBrowser*>();
  ASSERT_NE(browser, nullptr);
  EXPECT_TRUE(browser->window()->isVisible());
  EXPECT_TRUE(browser->toPlainText().contains("Load it first."));
  EXPECT_FALSE(browser->toPlainText().contains("make screenshots"));
  // The picture is found beside the guide, wherever the program runs from.
  const QVariant shown =
      browser->document()->resource(QTextDocument::ImageResource, QUrl("user-guide/window.png"));
  EXPECT_EQ(pictureSize(shown), QSize(3, 2));

  // Chosen again, the same window comes forward.
  menuAction("Help", "User Guide").trigger();
  EXPECT_EQ(program_.window().findChildren<QTextBrowser*>().size(), 1);
  browser->window()->close();
}

TEST_F(UserGuide, SaysWhereItLookedWhenThereIsNone) {
  QString message;
  AnswerWhenOpen<QMessageBox> box(readMessage(message));
  menuAction("Help", "User Guide").trigger();
  EXPECT_EQ(message, "The user guide was not found. It was looked for at:\n" + missingGuide() +
                         "\n" + guidePath());
  EXPECT_EQ(program_.window().findChild<QTextBrowser*>(), nullptr);
}

}  // namespace
}  // namespace halvic

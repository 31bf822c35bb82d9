// The desktop program under the user's locale, which QApplication hands to the C library: a
// calibration saved and loaded back and the FITS and CSV exports are what C.UTF-8 gives. ctest
// runs it under de_DE.UTF-8 (qt.desktop_locale); under a locale with a decimal point it skips.

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <clocale>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/desktop_program.h"
#include "tests/qt/modal_answer.h"

namespace halvic {
namespace {

/** Runs command, answering its file dialog with path and then its observing form, if asked. */
void answered(const std::function<void()>& command, const QString& path, bool form = false) {
  std::optional<ui::AnswerWhenOpen<QDialog>> details;
  ui::AnswerWhenOpen<QFileDialog> files([&](QFileDialog& dialog) {
    dialog.findChild<QLineEdit*>("fileNameEdit")->setText(path);
    static_cast<QDialog&>(dialog).accept();
    if (form) {
      details.emplace([](QDialog& shown) {
        shown.findChild<QLineEdit*>("GEO_LONG")->setText("-1.25");  // typed as in every locale
        shown.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
      });
    }
  });
  command();
  EXPECT_TRUE(files.answered()) << path.toStdString();
}

/** The read-out after loading the calibration back, then the bytes of every file written. */
std::vector<std::string> sessionIn(const QString& folder) {
  DesktopProgram program;
  program.show();
  MainWindow& window = program.mainWindow();
  answered([&] { window.cmdload2_Click(); },
           QString::fromUtf8(HALVIC_SOURCE_DIR) + "/tests/script/data/worked-example-lines.kr4");
  window.control("cboscale").userSelect(43);
  window.control("hsbspectra").userSet(200);
  window.control("cmdmarkline1").userClick();
  window.control("cboscale").userSelect(42);
  window.control("hsbspectra").userSet(600);
  window.control("cmdmarkline2").userClick();
  answered([&] { window.mnuSaveCalibration_Click(); }, folder + "/night.fits");
  answered([&] { window.mnuLoadCalibration_Click(); }, folder + "/night.fits");
  std::vector<std::string> result{window.control("Lblwavelength").caption()};
  answered([&] { window.mnuExportFits_Click(); }, folder + "/lamp.fits", true);
  answered([&] { window.mnuExportCsv_Click(); }, folder + "/lamp.csv");
  for (const char* name : {"night.fits", "lamp.fits", "lamp-pixels.fits", "lamp.csv"}) {
    QFile file(folder + "/" + name);
    result.push_back(file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "(none)");
  }
  return result;
}

TEST(DesktopLocale, WritesAndShowsUnderACommaLocaleWhatItDoesUnderC) {
  if (std::string(std::localeconv()->decimal_point) == ".") {
    GTEST_SKIP() << "SKIP: the environment's locale writes a decimal point; nothing to compare";
  }
  const std::string usersLocale = std::setlocale(LC_ALL, nullptr);
  QTemporaryDir commaFolder, pointFolder;
  const std::vector<std::string> underComma = sessionIn(commaFolder.path());
  ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
  const std::vector<std::string> underPoint = sessionIn(pointFolder.path());
  std::setlocale(LC_ALL, usersLocale.c_str());
  ASSERT_EQ(underComma.size(), underPoint.size());
  for (size_t index = 0; index < underPoint.size(); ++index) {
    EXPECT_EQ(underComma[index], underPoint[index]) << "item " << index;
  }
}

}  // namespace
}  // namespace halvic

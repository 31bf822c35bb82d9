#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <functional>

#include "ui/qt/qt_dialogs.h"
#include "ui/raster.h"

namespace halvic::ui {
namespace {

/** Runs answer on the next modal dialog from inside its event loop; closes it after 5 s. */
class TableAnswer {
 public:
  explicit TableAnswer(std::function<void(QWidget&)> answer) {
    QTimer::singleShot(0, &context_, [answer = std::move(answer)] {
      if (QWidget* dialog = QApplication::activeModalWidget()) {
        answer(*dialog);
      } else {
        ADD_FAILURE() << "no modal dialog is open";
      }
    });
    QTimer::singleShot(5000, &context_, [] {
      if (QWidget* dialog = QApplication::activeModalWidget()) {
        ADD_FAILURE() << "the dialog was still open";
        dialog->close();
      }
    });
  }

 private:
  QObject context_;
};

QPushButton* button(QWidget& dialog, const QString& text) {
  for (QPushButton* candidate : dialog.findChildren<QPushButton*>()) {
    if (candidate->text() == text) {
      return candidate;
    }
  }
  return nullptr;
}

TableRequest table(const Raster* picture) {
  TableRequest request;
  request.title = "Check Calibration";
  request.columns = {"Wavelength (A)", "Status"};
  request.rows = {{"5852.488", "used"}, {"6506.528", "blended"}};
  request.summaryLabels = {"RMS (A)"};
  request.summaryCells = {"0.01"};
  request.picture = picture;
  request.actions = {"Refine with All Lines"};
  return request;
}

TEST(QtTableDialog, ShowsTheTableAndPictureCopiesAndReturnsTheAction) {
  const Raster plot(40, 20, Rgb{255, 255, 255});
  QtDialogs dialogs;
  int rows = 0;
  QString summary;
  bool pictureShown = false;
  TableAnswer answer([&](QWidget& dialog) {
    rows = dialog.findChild<QTableView*>("table")->model()->rowCount();
    summary = dialog.findChild<QLabel*>("summary")->text();
    const QLabel* picture = dialog.findChild<QLabel*>("picture");
    pictureShown = picture != nullptr && picture->pixmap().width() == 40;
    button(dialog, "Copy")->click();
    button(dialog, "Refine with All Lines")->click();
  });
  EXPECT_EQ(dialogs.showTable(table(&plot)), "Refine with All Lines");
  EXPECT_EQ(rows, 2);
  EXPECT_EQ(summary, "RMS (A): 0.01");
  EXPECT_TRUE(pictureShown);
  EXPECT_EQ(QApplication::clipboard()->text(),
            "Wavelength (A)\tStatus\n5852.488\tused\n6506.528\tblended\n");
}

TEST(QtTableDialog, ClosingChoosesNoAction) {
  QtDialogs dialogs;
  TableAnswer answer([](QWidget& dialog) {
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close)->click();
  });
  EXPECT_EQ(dialogs.showTable(table(nullptr)), std::nullopt);
}

}  // namespace
}  // namespace halvic::ui

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <optional>

#include "tests/qt/modal_answer.h"
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

// "Export CSV..." writes the table as CSV where the user says; where the file cannot be written
// (a path through a regular file) it says so over the dialog, names the file and writes nothing.
TEST(QtTableDialog, ExportCsvWritesTheTableOrSaysWhyNot) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  QFile regular(folder.filePath("regular"));
  ASSERT_TRUE(regular.open(QIODevice::WriteOnly));
  regular.close();
  struct Row {
    std::string name;
    QString path;
    QString message;  // empty: written
  };
  const QString throughAFile = folder.filePath("regular/check.csv");
  const std::vector<Row> rows{
      {"a folder that takes it", folder.filePath("check.csv"), ""},
      {"a path through a regular file", throughAFile, "CSV file not saved: " + throughAFile + " ("},
  };
  QtDialogs dialogs;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QString message;
    QString details;
    std::optional<AnswerWhenOpen<QFileDialog>> save;
    std::optional<AnswerWhenOpen<QMessageBox>> failure;
    TableAnswer answer([&](QWidget& dialog) {
      save.emplace([&](QFileDialog& files) {
        failure.emplace([&](QMessageBox& box) {
          message = box.text();
          details = box.detailedText();
          box.accept();
        });
        files.findChild<QLineEdit*>("fileNameEdit")->setText(row.path);
        static_cast<QDialog&>(files).accept();
      });
      button(dialog, "Export CSV...")->click();
      button(dialog, "Close")->click();
    });
    EXPECT_EQ(dialogs.showTable(table(nullptr)), std::nullopt);
    if (row.message.isEmpty()) {
      QFile written(row.path);
      ASSERT_TRUE(written.open(QIODevice::ReadOnly));
      EXPECT_EQ(written.readAll().toStdString(),
                "Wavelength (A),Status\r\n5852.488,used\r\n6506.528,blended\r\n");
      EXPECT_EQ(message.toStdString(), "");
    } else {
      EXPECT_TRUE(message.startsWith(row.message)) << message.toStdString();
      EXPECT_FALSE(details.isEmpty());
      EXPECT_TRUE(message.endsWith("(" + details + ")")) << message.toStdString();
    }
  }
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
            (QStringList{"check.csv", "regular"}));
}

TEST(QtTableDialog, ClosingChoosesNoAction) {
  QtDialogs dialogs;
  TableAnswer answer([](QWidget& dialog) {
    button(dialog, "Close")->click();
  });
  EXPECT_EQ(dialogs.showTable(table(nullptr)), std::nullopt);
}

// The refine's dialog: its closing button says "Cancel", Enter takes "Apply" only when it is the
// default, and a disabled "Apply" cannot be chosen.
TEST(QtTableDialog, EnterTakesTheDefaultActionOnlyWhenThereIsOne) {
  struct Row {
    std::string name;
    std::optional<size_t> defaultAction;
    bool enabled;
    std::optional<std::string> chosen;
  };
  const std::vector<Row> rows{{"Apply the default", 0, true, "Apply"},
                              {"no default", std::nullopt, true, std::nullopt},
                              {"Apply disabled", std::nullopt, false, std::nullopt}};
  QtDialogs dialogs;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TableRequest request = table(nullptr);
    request.text = "In force   Refined";
    request.actions = {"Apply"};
    request.closeLabel = "Cancel";
    request.defaultAction = row.defaultAction;
    request.actionsEnabled = row.enabled;
    bool applyEnabled = false;
    QString text;
    TableAnswer answer([&](QWidget& dialog) {
      applyEnabled = button(dialog, "Apply")->isEnabled();
      text = dialog.findChild<QLabel*>("text")->text();
      QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
      QApplication::sendEvent(&dialog, &enter);
      if (QApplication::activeModalWidget() == &dialog) {
        button(dialog, "Cancel")->click();
      }
    });
    EXPECT_EQ(dialogs.showTable(request), row.chosen);
    EXPECT_EQ(applyEnabled, row.enabled);
    EXPECT_EQ(text, "In force   Refined");
  }
}

}  // namespace
}  // namespace halvic::ui

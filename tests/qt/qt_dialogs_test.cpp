#include "ui/qt/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <vector>

#include "app/main_window_layout.h"
#include "tests/qt/modal_answer.h"
#include "ui/form.h"
#include "ui/qt/qt_form_window.h"

namespace halvic::ui {
namespace {

/** The names a file dialog lists, sorted, once its folder has been read (or after 3 seconds). */
QStringList listedNames(QFileDialog& dialog, qsizetype expectedCount) {
  auto* view = dialog.findChild<QListView*>("listView");
  QStringList names;
  for (int wait = 0; wait < 150 && names.size() != expectedCount; ++wait) {
    QTest::qWait(20);
    names.clear();
    const QModelIndex folder = view->rootIndex();
    for (int row = 0; row < view->model()->rowCount(folder); ++row) {
      names << view->model()->index(row, 0, folder).data().toString();
    }
  }
  names.sort();
  return names;
}

TEST(QtDialogs, OpenFileFiltersAsMeantAndReturnsTheTypedPath) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  for (const char* name : {"noext", "a.KR4", "b.kr4", "c.txt"}) {
    QFile file(folder.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  const std::vector<FileFilter> filters{{"All Files (*.*)", "*.*"}, {"KR4 Files (*.KR4)", "*.KR4"}};
  QtDialogs dialogs;
  QStringList shownFilters;
  QStringList allFiles;
  QStringList kr4Files;
  ModalAnswer answer([&](QWidget& dialog) {
    auto& files = dynamic_cast<QFileDialog&>(dialog);
    shownFilters << files.selectedNameFilter();
    files.setDirectory(folder.path());
    allFiles = listedNames(files, 4);
    files.selectNameFilter(nameFilter(filters[1]));
    shownFilters << files.selectedNameFilter();
    kr4Files = listedNames(files, 2);
    files.findChild<QLineEdit*>("fileNameEdit")->setText("new.kr4");  // typed, not there yet
    static_cast<QDialog&>(files).accept();                            // public in the base
  });
  const std::optional<std::string> path = dialogs.openFile("Load Spectra", filters, 0);
  EXPECT_EQ(path, folder.filePath("new.kr4").toStdString());
  EXPECT_EQ(shownFilters, QStringList({"All Files (*.*)", "KR4 Files (*.KR4)"}));
  EXPECT_EQ(allFiles, QStringList({"a.KR4", "b.kr4", "c.txt", "noext"}));
  EXPECT_EQ(kr4Files, QStringList({"a.KR4", "b.kr4"}));

  ModalAnswer cancel([](QWidget& dialog) { dynamic_cast<QDialog&>(dialog).reject(); });
  EXPECT_EQ(dialogs.openFile("Load Spectra", filters, 1), std::nullopt);
}

TEST(QtDialogs, EachFileDialogStartsInTheFolderOfTheLastFileChosen) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  const QString first = root.filePath("first");
  const QString second = root.filePath("second");
  const QString elsewhere = root.filePath("elsewhere");
  for (const QString& folder : {first, second, elsewhere}) {
    ASSERT_TRUE(QDir().mkpath(folder));
  }
  struct Step {
    std::string name;
    bool save;
    QString chosenIn;       // empty: cancelled after going to elsewhere
    QString expectedStart;  // empty: not checked (earlier tests chose folders too)
  };
  const std::vector<Step> steps{
      {"a save chooses a file in first", true, first, {}},
      {"the next open starts in first", false, second, first},
      {"the next save starts in second", true, {}, second},
      {"a cancelled dialog remembers nothing", false, {}, second},
      {"an open after a save", false, first, second},
  };
  const std::vector<FileFilter> filters{{"Text Files (*.txt)", "*.txt"}};
  QtDialogs dialogs;
  int checked = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    QString started;
    ModalAnswer answer([&](QWidget& dialog) {
      auto& files = dynamic_cast<QFileDialog&>(dialog);
      started = files.directory().absolutePath();
      if (step.chosenIn.isEmpty()) {
        files.setDirectory(elsewhere);
        static_cast<QDialog&>(files).reject();
        return;
      }
      files.findChild<QLineEdit*>("fileNameEdit")->setText(step.chosenIn + "/notes.txt");
      static_cast<QDialog&>(files).accept();
    });
    const std::optional<std::string> chosen =
        step.save ? dialogs.saveFile(SaveRequest{.title = "Save", .filters = filters})
                  : dialogs.openFile("Open", filters, 0);
    EXPECT_EQ(chosen.has_value(), !step.chosenIn.isEmpty());
    if (!step.expectedStart.isEmpty()) {
      EXPECT_EQ(started, step.expectedStart);
      ++checked;
    }
  }
  EXPECT_EQ(checked, 4);
}

TEST(QtDialogs, ASaveOfAFileTypedByItsNameTakesTheSelectedFiltersExtension) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const std::vector<FileFilter> filters{{"PNG Image (*.png)", "*.png"},
                                        {"SVG Image (*.svg)", "*.svg"},
                                        {"PDF Document (*.pdf)", "*.pdf"}};
  struct Row {
    std::string name;
    std::string suggested;
    int filter;
    QString typed;  // empty: the suggested name is kept
    QString expected;
  };
  const std::vector<Row> rows{
      {"a typed name without an extension", "", 1, "graph", "graph.svg"},
      {"a typed name with another filter's", "", 2, "graph.png", "graph.png"},
      {"the suggested name after choosing another type", "neon.png", 1, "", "neon.svg"},
      {"the suggested name as it is", "neon.png", 0, "", "neon.png"},
  };
  QtDialogs dialogs;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ModalAnswer answer([&](QWidget& dialog) {
      auto& files = dynamic_cast<QFileDialog&>(dialog);
      files.setDirectory(folder.path());
      files.selectNameFilter(typeNameFilter(filters[static_cast<size_t>(row.filter)]));
      if (!row.typed.isEmpty()) {
        files.findChild<QLineEdit*>("fileNameEdit")->setText(row.typed);
      }
      static_cast<QDialog&>(files).accept();
    });
    EXPECT_EQ(dialogs.saveFile(SaveRequest{.title = "Export Graph Image",
                                           .filters = filters,
                                           .suggestedName = row.suggested,
                                           .addFilterExtension = true}),
              folder.filePath(row.expected).toStdString());
  }
}

// A save that writes two files (NAME.fits and NAME-pixels.fits) asks once before replacing, and
// names each of them that exists.
TEST(QtDialogs, TheReplaceQuestionNamesEveryFileThatWouldBeReplaced) {
  struct Row {
    std::string name;
    QStringList existing;
    QString question;  // empty: nothing is asked
  };
  const std::vector<Row> rows{
      {"neither", {}, ""},
      {"the first", {"night.fits"}, "Replace night.fits?"},
      {"the second", {"night-pixels.fits"}, "Replace night-pixels.fits?"},
      {"both", {"night.fits", "night-pixels.fits"}, "Replace night.fits and night-pixels.fits?"},
  };
  const auto bothFiles = [](const std::string& path) {
    const std::string stem = path.substr(0, path.size() - std::string_view(".fits").size());
    return std::vector<std::string>{path, stem + "-pixels.fits"};
  };
  QtDialogs dialogs;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const QString& name : row.existing) {
      QFile file(folder.filePath(name));
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QString asked;
    std::optional<AnswerWhenOpen<QMessageBox>> question;
    AnswerWhenOpen<QFileDialog> answer([&](QFileDialog& files) {
      question.emplace([&](QMessageBox& box) {
        asked = box.text();
        box.button(QMessageBox::Yes)->click();
      });
      files.setDirectory(folder.path());
      files.findChild<QLineEdit*>("fileNameEdit")->setText("night.fits");
      static_cast<QDialog&>(files).accept();
    });
    const std::optional<std::string> chosen = dialogs.saveFile(SaveRequest{
        .title = "Export FITS",
        .filters = {{"FITS Files (*.fits)", "*.fits"}},
        .filesWritten = bothFiles,
    });
    EXPECT_EQ(chosen, folder.filePath("night.fits").toStdString());
    EXPECT_EQ(asked.toStdString(), row.question.toStdString());
  }
}

TEST(QtDialogs, ShowModalRunsUntilTheFormIsHidden) {
  Form form(contrastDialogLayout());
  form["cmddone"].onClick = [&form] { form.hide(); };
  QtDialogs dialogs;

  ModalAnswer done([&](QWidget& dialog) {
    EXPECT_TRUE(form.visible());
    EXPECT_EQ(dialog.windowTitle(), "Adjust Background and Range");
    auto* edit = dialog.findChild<QLineEdit*>("txtbackground");
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, "250");
    QTest::mouseClick(dialog.findChild<QWidget*>("cmddone"), Qt::LeftButton);
  });
  dialogs.showModal(form);
  EXPECT_FALSE(form.visible());
  EXPECT_EQ(form["txtbackground"].caption(), "250");
  QDialog* first = dialogs.modalDialog(form);
  ASSERT_NE(first, nullptr);

  // Closing the window hides the form as well; the same dialog serves again.
  ModalAnswer closed([](QWidget& dialog) { dialog.close(); });
  dialogs.showModal(form);
  EXPECT_FALSE(form.visible());
  EXPECT_EQ(dialogs.modalDialog(form), first);
}

TEST(QtDialogs, AFormIsLeftAsItWasOnceItsModalLoopEnds) {
  QtDialogs dialogs;
  std::vector<bool> seen;
  {
    Form form(contrastDialogLayout());
    form["cmddone"].onClick = [&form] { form.hide(); };
    form.onVisibilityChanged = [&seen](bool visible) { seen.push_back(visible); };
    ModalAnswer done([](QWidget& dialog) {
      QTest::mouseClick(dialog.findChild<QWidget*>("cmddone"), Qt::LeftButton);
    });
    dialogs.showModal(form);
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));
    QDialog* dialog = dialogs.modalDialog(form);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->findChild<QtFormWindow*>(), nullptr) << "no window over the form is kept";

    form.show();  // outside a modal loop only the program's own callback runs
    EXPECT_EQ(seen, (std::vector<bool>{true, false, true}));
    EXPECT_FALSE(dialog->isVisible());
  }
  // The form has gone before the dialogs; they must not reach into it when they go.
}

}  // namespace
}  // namespace halvic::ui

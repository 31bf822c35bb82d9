#include "app/desktop_program.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "tests/qt/modal_answer.h"

namespace halvic {
namespace {

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

}  // namespace
}  // namespace halvic

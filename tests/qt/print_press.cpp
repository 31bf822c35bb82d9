// Presses "Print Graph" in the desktop window as a user would, for the end-to-end printing test
// (cups_print_test.sh): the main window on the Qt backend with the system's default printer,
// "Load Cal" answered with IMAGE in the real file dialog, then a click on "Print Graph". The
// message box that follows is read and accepted; its text goes to standard output as
// "message: TEXT".
//
// Usage: halvic_print_press IMAGE
// Exit 0 when the window said the page was sent, 1 when it said anything else, 2 on misuse or
// when a dialog did not appear.

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <string>

#include "app/main_window.h"
#include "ui/qt/qt_dialogs.h"
#include "ui/qt/qt_form_window.h"
#include "ui/qt/qt_look.h"
#include "ui/qt/qt_printer.h"

namespace {

constexpr int kDialogWaitMs = 20000;
const QString kPrinted = QStringLiteral("One page has been sent to your printer.");

/**
 * Answers the next modal dialog from inside its event loop; a dialog that has not been answered
 * after a while is closed, so that the program ends instead of hanging.
 */
class ModalAnswer {
 public:
  explicit ModalAnswer(std::function<bool(QWidget&)> answer) {
    QTimer::singleShot(0, &context_, [this, answer = std::move(answer)] {
      if (QWidget* dialog = QApplication::activeModalWidget()) {
        answered_ = answer(*dialog);
      }
    });
    QTimer::singleShot(kDialogWaitMs, &context_, [] {
      if (QWidget* dialog = QApplication::activeModalWidget()) {
        dialog->close();
      }
    });
  }
  bool answered() const { return answered_; }

 private:
  QObject context_;
  bool answered_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: halvic_print_press IMAGE\n", stderr);
    return 2;
  }
  const QString image = QString::fromLocal8Bit(argv[1]);
  QApplication application(argc, argv);
  QApplication::setApplicationName("Halvic");
  halvic::ui::applyDesktopLook(application);

  halvic::ui::QtDialogs dialogs;
  halvic::ui::QtPrinters printers;
  halvic::MainWindow window(dialogs, printers, nullptr);
  window.Form_Load();
  halvic::ui::QtFormWindow mainWindow(window.form(), &window.windowSurface(),
                                      {{"Picgraph", &window.graphSurface()}});
  dialogs.setOwner(&mainWindow);
  mainWindow.show();
  if (!QTest::qWaitForWindowExposed(&mainWindow)) {
    std::fputs("the window did not show\n", stderr);
    return 2;
  }

  const ModalAnswer open([&image](QWidget& dialog) {
    auto* files = qobject_cast<QFileDialog*>(&dialog);
    if (files == nullptr) {
      return false;
    }
    files->findChild<QLineEdit*>("fileNameEdit")->setText(image);
    static_cast<QDialog*>(files)->accept();  // public in the base
    return true;
  });
  QTest::mouseClick(mainWindow.widget("cmdload2"), Qt::LeftButton);
  if (!open.answered()) {
    std::fputs("no file dialog for \"Load Cal\"\n", stderr);
    return 2;
  }

  QString message;
  const ModalAnswer report([&message](QWidget& dialog) {
    auto* box = qobject_cast<QMessageBox*>(&dialog);
    if (box == nullptr) {
      return false;
    }
    message = box->text();
    box->accept();
    return true;
  });
  QTest::mouseClick(mainWindow.widget("cmdprint"), Qt::LeftButton);
  if (!report.answered()) {
    std::fputs("no message box after \"Print Graph\"\n", stderr);
    return 2;
  }
  std::printf("message: %s\n", message.toUtf8().constData());
  return message == kPrinted ? 0 : 1;
}

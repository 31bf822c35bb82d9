// The desktop program: the main window on the Qt backend.

#include <QApplication>
#include <cstdio>

#include "app/main_window.h"
#include "ui/qt/qt_dialogs.h"
#include "ui/qt/qt_form_window.h"
#include "ui/qt/qt_look.h"
#include "ui/qt/qt_printer.h"

int main(int argc, char** argv) {
  if (!halvic::ui::displayAvailable()) {
    std::fputs("halvic: no display to show the window on (DISPLAY is not set)\n", stderr);
    return 1;
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName("Halvic");
  halvic::ui::applyDesktopLook(application);

  halvic::ui::QtDialogs dialogs;
  halvic::ui::QtPrinters printers;
  // "Exit" ends the event loop as soon as its handler returns; nothing is saved or asked.
  halvic::MainWindow window(dialogs, printers, [] { QApplication::quit(); });
  window.Form_Load();

  halvic::ui::QtFormWindow mainWindow(window.form(), &window.windowSurface(),
                                      {{"Picgraph", &window.graphSurface()}});
  mainWindow.setOnClose([&window] { window.cmdexit_Click(); });
  dialogs.setOwner(&mainWindow);
  mainWindow.show();
  return QApplication::exec();
}

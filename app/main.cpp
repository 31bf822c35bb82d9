// The desktop program: the main window on the Qt backend.

#include <QApplication>
#include <cstdio>

#include "app/desktop_program.h"
#include "ui/qt/qt_look.h"

int main(int argc, char** argv) {
  if (!halvic::ui::displayAvailable()) {
    std::fputs("halvic: no display to show the window on (DISPLAY is not set)\n", stderr);
    return 1;
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName("Halvic");
  halvic::ui::applyDesktopLook(application);

  halvic::DesktopProgram program;
  program.show();
  return QApplication::exec();
}

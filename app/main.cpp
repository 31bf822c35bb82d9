// The desktop program: the main window on the Qt backend.

#include <QApplication>
#include <QTimer>
#include <csignal>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/desktop_command_line.h"
#include "app/desktop_program.h"
#include "app/desktop_window_system.h"
#include "ui/qt/qt_look.h"

int main(int argc, char** argv) {
  // Ignored, so that a write past the file size limit (ulimit -f) fails with "File too large",
  // which the writers report, instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  const halvic::CommandLine commandLine =
      halvic::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (const auto status = halvic::answerWithoutWindow(commandLine, std::cout, std::cerr)) {
    return *status;
  }
  if (!halvic::ui::displayAvailable()) {
    std::cerr << halvic::kProgramName
              << ": no display to show the window on (DISPLAY is not set)\n";
    return 1;
  }
  // Qt sees the program's name only: every argument has been taken as the program's own.
  int qtArgumentCount = 1;
  std::unique_ptr<QApplication> application;
  {
    const halvic::WindowSystemStart start;
    application = std::make_unique<QApplication>(qtArgumentCount, argv);
  }
  QApplication::setApplicationName("Halvic");
  halvic::ui::applyDesktopLook(*application);

  halvic::DesktopProgram program;
  program.show();
  // Loaded from the event loop, once the window is up to carry their messages.
  QTimer::singleShot(0, application.get(),
                     [&] { halvic::loadCommandLineImages(program, commandLine.images); });
  return QApplication::exec();
}

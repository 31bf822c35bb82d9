#include "app/desktop_program.h"

#include <QApplication>

namespace halvic {

namespace {

/** The main window's form after its start-up, which runs before any window shows it. */
ui::Form& startedForm(MainWindow& window) {
  window.Form_Load();
  return window.form();
}

}  // namespace

DesktopProgram::DesktopProgram()
    // "Exit" ends the event loop as soon as its handler returns; nothing is saved or asked.
    : logic_(dialogs_, printers_, [] { QApplication::quit(); }),
      window_(startedForm(logic_), &logic_.windowSurface(),
              {{"Picgraph", &logic_.graphSurface()}}) {
  window_.setOnClose([this] { logic_.cmdexit_Click(); });
  dialogs_.setOwner(&window_);
}

}  // namespace halvic

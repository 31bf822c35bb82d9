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
  wirePointer();
}

void DesktopProgram::wirePointer() {
  window_.setOnSurfaceClick([this](int x, int y) { logic_.Form_MouseUp(x, y); });
  ui::PictureBoxWidget& graph = *window_.pictureBox("Picgraph");
  graph.setOnClick([this](int x, int y) { logic_.Picgraph_MouseUp(x, y); });
  graph.setOnWheel([this](int steps) { logic_.Picgraph_MouseWheel(steps); });
}

}  // namespace halvic

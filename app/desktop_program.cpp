#include "app/desktop_program.h"

#include <QApplication>

#include "app/desktop_command_line.h"

namespace halvic {

namespace {

/**
 * The main window's form after its start-up, which runs on the user's settings before any window
 * shows it.
 */
ui::Form& startedForm(MainWindow& window, ui::Settings& settings) {
  window.useSettings(settings);
  window.Form_Load();
  return window.form();
}

}  // namespace

DesktopProgram::DesktopProgram(std::vector<QString> guidePlaces)
    : guidePlaces_(std::move(guidePlaces)),
      // "Exit" ends the event loop as soon as its handler returns; nothing is saved or asked.
      logic_(dialogs_, printers_, [] { QApplication::quit(); }),
      window_(startedForm(logic_, settings_), &logic_.windowSurface(),
              {{"Picgraph", &logic_.graphSurface()}}, logic_.menus()) {
  window_.setOnClose([this] { logic_.cmdexit_Click(); });
  dialogs_.setOwner(&window_);
  wirePointer();
  wireDesktopMenus();
}

void DesktopProgram::wirePointer() {
  window_.clientArea().setOnSurfaceClick(
      [this](int x, int y) { logic_.runGuarded([this, x, y] { logic_.Form_MouseUp(x, y); }); });
  ui::PictureBoxWidget& graph = *window_.clientArea().pictureBox("Picgraph");
  graph.setOnClick(
      [this](int x, int y) { logic_.runGuarded([this, x, y] { logic_.Picgraph_MouseUp(x, y); }); });
  // A file dropped on the left half opens as the object, on the right half as the lamp, as the
  // object's controls stand left of the lamp's.
  window_.clientArea().setOnFileDropped([this](int x, const std::string& path) {
    const bool leftHalf = x < window_.clientArea().width() / 2;
    openImageAs(*this, leftHalf ? ImageKind::Data : ImageKind::Cal, path);
  });
  graph.setOnWheel([this](int steps) {
    logic_.runGuarded([this, steps] { logic_.Picgraph_MouseWheel(steps); });
  });
}

void DesktopProgram::wireDesktopMenus() {
  logic_.menuItem("mnuExportGraphImage").setHandler([this] { exportGraphImage(); });
  logic_.menuItem("mnuPrintPreview").setHandler([this] { showPrintPreview(); });
  logic_.menuItem("mnuUserGuide").setHandler([this] { showUserGuide(); });
}

}  // namespace halvic

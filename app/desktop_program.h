#pragma once

#include "app/main_window.h"
#include "ui/qt/qt_dialogs.h"
#include "ui/qt/qt_form_window.h"
#include "ui/qt/qt_printer.h"

namespace halvic {

/**
 * The desktop program put together: Qt dialogs and printers, the main window's logic on them and
 * the Qt window that shows it, wired so that "Exit" and the window's close control end the event
 * loop. The members are destroyed in the reverse of their order here: the Qt window first, then
 * the logic with its forms, the dialogs last. A QApplication must exist for the object's whole
 * life.
 */
class DesktopProgram {
 public:
  /** Builds everything and runs the window's start-up; nothing is shown yet. */
  DesktopProgram();
  DesktopProgram(const DesktopProgram&) = delete;
  DesktopProgram& operator=(const DesktopProgram&) = delete;

  void show() { window_.show(); }

  ui::QtDialogs& dialogs() { return dialogs_; }
  MainWindow& mainWindow() { return logic_; }
  ui::QtFormWindow& window() { return window_; }

 private:
  /** Clicks on the window's surface and on the graph, and the wheel over the graph. */
  void wirePointer();

  ui::QtDialogs dialogs_;
  ui::QtPrinters printers_;
  MainWindow logic_;
  ui::QtFormWindow window_;
};

}  // namespace halvic

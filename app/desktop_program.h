#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <vector>

#include "app/main_window.h"
#include "ui/qt/qt_dialogs.h"
#include "ui/qt/qt_menu_window.h"
#include "ui/qt/qt_printer.h"
#include "ui/qt/qt_settings.h"

namespace halvic {

/**
 * Where "Help > User Guide" looks for docs/USER-GUIDE.md, in this order: installed beside the
 * program (PREFIX/share/doc/halvic/ for PREFIX/bin/halvic), then in the source tree the program
 * was built from.
 */
std::vector<QString> userGuidePlaces();

/**
 * The desktop program put together: the user's settings, Qt dialogs and printers, the main
 * window's logic on them and the Qt window that shows it (its menu bar above the laid-out client
 * area), wired so that "Exit" and the window's close control end the event loop. It gives the
 * menu items only the desktop offers their handlers: "Export Graph Image...", "Print Preview..."
 * and "User Guide". The members are destroyed in the reverse of their order here: the Qt window
 * first, then the logic with its forms, the dialogs and the settings last. A QApplication must
 * exist for the object's whole life.
 */
class DesktopProgram {
 public:
  /** Builds everything and runs the window's start-up; nothing is shown yet. */
  explicit DesktopProgram(std::vector<QString> guidePlaces = userGuidePlaces());
  DesktopProgram(const DesktopProgram&) = delete;
  DesktopProgram& operator=(const DesktopProgram&) = delete;

  void show() { window_.show(); }

  ui::QtDialogs& dialogs() { return dialogs_; }
  MainWindow& mainWindow() { return logic_; }
  ui::QtMenuWindow& window() { return window_; }

 private:
  /** Clicks on the window's surface and on the graph, and the wheel over the graph. */
  void wirePointer();

  void wireDesktopMenus();

  /**
   * Whether the graphed profile makes a page (as "Print Graph" would draw it); when not, a
   * message says why.
   */
  bool graphDrawable();
  /** "Export Graph Image...": the printed page as a PNG, SVG or PDF file. */
  void exportGraphImage();
  /** "Print Preview...": the printed page in a QPrintPreviewDialog. */
  void showPrintPreview();
  /** "User Guide": the guide in a window of its own, or a message naming where it was sought. */
  void showUserGuide();

  std::vector<QString> guidePlaces_;
  ui::QtSettings settings_;
  ui::QtDialogs dialogs_;
  ui::QtPrinters printers_;
  MainWindow logic_;
  ui::QtMenuWindow window_;
  QPointer<QDialog> guideWindow_;
};

}  // namespace halvic

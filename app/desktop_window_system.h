#pragma once

#include <QtGlobal>
#include <string>

#include "ui/qt/qt_look.h"

namespace halvic {

/**
 * Guards the making of the QApplication, for as long as this object lives: the platform's own
 * warnings (qt.qpa.*) are kept quiet, and a window system that cannot be reached ends the process
 * with one line on standard error and status 1, instead of Qt's fatal message and an abort. Other
 * messages are written as Qt writes them. The handler found before is put back when this object
 * goes, which should be as soon as the application exists.
 */
class WindowSystemStart {
 public:
  WindowSystemStart();
  ~WindowSystemStart();
  WindowSystemStart(const WindowSystemStart&) = delete;
  WindowSystemStart& operator=(const WindowSystemStart&) = delete;

 private:
  QtMessageHandler previous_;
};

/**
 * The one line said when the window system cannot be started, from the environment read through
 * lookup: "halvic: cannot open the display :99" where the X11 platform was to reach DISPLAY.
 */
std::string windowSystemFailure(const ui::EnvironmentLookup& lookup);

}  // namespace halvic

#include "app/desktop_window_system.h"

#include <QByteArrayView>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/desktop_command_line.h"

namespace halvic {

namespace {

bool isSetAndNotEmpty(const char* value) { return value != nullptr && value[0] != '\0'; }

/** Whether Qt will use the X11 platform: named so, or none named (Qt's choice here). */
bool usesX11(const char* platform) {
  return !isSetAndNotEmpty(platform) || std::string_view(platform).starts_with("xcb");
}

bool isPlatformCategory(const char* category) {
  return category != nullptr && QByteArrayView(category).startsWith("qt.qpa");
}

// Qt takes a plain function, so the handler keeps nothing: it reads the environment when the
// platform fails, and writes the other messages itself rather than through the handler before.
void startMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg) {
    const std::string line =
        windowSystemFailure([](const char* name) { return std::getenv(name); }) + "\n";
    std::fputs(line.c_str(), stderr);
    std::_Exit(1);  // Qt's half-made application cannot be taken down in order
  }
  if (isPlatformCategory(context.category)) {
    return;
  }
  std::fputs(qPrintable(qFormatLogMessage(type, context, message) + QLatin1Char('\n')), stderr);
}

}  // namespace

WindowSystemStart::WindowSystemStart() : previous_(qInstallMessageHandler(startMessage)) {}

WindowSystemStart::~WindowSystemStart() { qInstallMessageHandler(previous_); }

std::string windowSystemFailure(const ui::EnvironmentLookup& lookup) {
  const char* platform = lookup("QT_QPA_PLATFORM");
  const char* display = lookup("DISPLAY");
  if (usesX11(platform) && isSetAndNotEmpty(display)) {
    return std::string(kProgramName) + ": cannot open the display " + display;
  }
  if (isSetAndNotEmpty(platform)) {
    return std::string(kProgramName) + ": cannot start the window system '" + platform + "'";
  }
  return std::string(kProgramName) + ": cannot start the window system";
}

}  // namespace halvic

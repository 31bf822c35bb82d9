// "Help > User Guide": docs/USER-GUIDE.md with its pictures, in a window beside the main one.

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <string>

#include "app/desktop_program.h"
#include "app/user_guide_text.h"
#include "ui/qt/qt_document_window.h"

namespace halvic {

namespace {

constexpr const char* kGuideTitle = "Halvic User Guide";
constexpr const char* kInstalledGuide = "/../share/doc/halvic/USER-GUIDE.md";
constexpr const char* kSourceTreeGuide = "/docs/USER-GUIDE.md";
constexpr std::string_view kGuideMissing = "The user guide was not found. It was looked for at:";

}  // namespace

std::vector<QString> userGuidePlaces() {
  return {QDir::cleanPath(QCoreApplication::applicationDirPath() +
                          QString::fromLatin1(kInstalledGuide)),
          QDir::cleanPath(QString::fromUtf8(HALVIC_SOURCE_DIR) +
                          QString::fromLatin1(kSourceTreeGuide))};
}

void DesktopProgram::showUserGuide() {
  if (guideWindow_) {
    guideWindow_->raise();
    guideWindow_->activateWindow();
    return;
  }
  for (const QString& place : guidePlaces_) {
    if (QFileInfo(place).isFile()) {
      guideWindow_ = ui::openMarkdownWindow(
          place, QString::fromLatin1(kGuideTitle), &window_, [](const QString& guide) {
            return QString::fromStdString(userSectionsOf(guide.toStdString()));
          });
      if (guideWindow_) {
        return;
      }
    }
  }
  std::string message(kGuideMissing);
  for (const QString& place : guidePlaces_) {
    message += "\r\n" + place.toStdString();
  }
  dialogs_.messageBox(message);
}

}  // namespace halvic

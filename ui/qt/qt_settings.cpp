#include "ui/qt/qt_settings.h"

#include <QFileInfo>
#include <QSettings>

namespace halvic::ui {

namespace {

constexpr const char* kLastFolderKey = "lastFolder";

/**
 * The user's settings, opened anew at each use: the objects of one file share their values within
 * the process, and each writes its changes back as it goes.
 */
QSettings userSettings() {
  return QSettings(QSettings::UserScope, QString::fromLatin1(kSettingsOrganisation),
                   QString::fromLatin1(kSettingsApplication));
}

/** A text kept exactly, line breaks as they are (shownText is for what the user reads). */
QString qtText(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

std::optional<std::string> QtSettings::value(std::string_view key) const {
  const QVariant stored = userSettings().value(qtText(key));
  if (!stored.isValid()) {
    return std::nullopt;
  }
  return stored.toString().toUtf8().toStdString();
}

void QtSettings::setValue(std::string_view key, const std::string& value) {
  userSettings().setValue(qtText(key), qtText(value));
}

QString lastFolder() { return userSettings().value(kLastFolderKey).toString(); }

void rememberFolderOf(const QString& path) {
  userSettings().setValue(kLastFolderKey, QFileInfo(path).absolutePath());
}

}  // namespace halvic::ui

#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "ui/settings.h"

namespace halvic::ui {

/**
 * Where the desktop program keeps the user's settings: the QSettings of this organisation and
 * application, in the user's scope.
 */
inline constexpr const char* kSettingsOrganisation = "Halvic";
inline constexpr const char* kSettingsApplication = "Halvic";

/**
 * The user's settings kept by QSettings between runs. Keys may hold '/' to group them
 * ("fitsExport/OBJECT"); values are UTF-8 texts.
 */
class QtSettings : public Settings {
 public:
  std::optional<std::string> value(std::string_view key) const override;
  void setValue(std::string_view key, const std::string& value) override;
};

/** The folder the file dialogs last went to (empty before the first), from the user's settings. */
QString lastFolder();

/** Remembers the folder of path for the next file dialog. */
void rememberFolderOf(const QString& path);

}  // namespace halvic::ui

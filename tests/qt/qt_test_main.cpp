#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>
#include <vector>

#include "ui/qt/qt_look.h"

// Widgets need one QApplication for the whole run, with the look the program itself uses. Runs
// that name no platform (ctest lists the tests without the test environment) draw offscreen.
// Settings (the remembered folder, the observing details) go to a folder of the run's own, never
// to the user's.
int main(int argc, char** argv) {
  QStandardPaths::setTestModeEnabled(true);
  const QTemporaryDir settingsFolder;
  if (!settingsFolder.isValid()) {
    return 1;
  }
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path());

  std::vector<char*> qtArguments(argv, argv + argc);
  char platformOption[] = "-platform";
  char offscreen[] = "offscreen";
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform == nullptr || platform[0] == '\0') {
    qtArguments.push_back(platformOption);
    qtArguments.push_back(offscreen);
  }
  int qtArgumentCount = static_cast<int>(qtArguments.size());
  qtArguments.push_back(nullptr);
  QApplication application(qtArgumentCount, qtArguments.data());
  halvic::ui::applyDesktopLook(application);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <vector>

#include "ui/qt/qt_look.h"

// Widgets need one QApplication for the whole run, with the look the program itself uses. Runs
// that name no platform (ctest lists the tests without the test environment) draw offscreen.
int main(int argc, char** argv) {
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

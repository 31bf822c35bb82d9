// Makes the user guide's pictures: the desktop program taken along the guide's road (the steps
// of guide_steps.cpp), one PNG a step, named as the guide refers to it. Run it in a folder that
// holds a copy of samples/ (tools/screenshots/make_screenshots.sh makes one), under a display.
//
// Usage: halvic-guide-screenshots FOLDER   writes FOLDER/NAME.png for every step
//        halvic-guide-screenshots --list   prints the pictures' names, one a line
// Exit 0 when every step went as the guide says (a step this window cannot take is named on a
// line "SKIP: ..."), 1 when one did not, 2 on misuse or without a display.

#include <QApplication>
#include <QDir>
#include <QTest>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "app/desktop_program.h"
#include "tools/screenshots/guide_session.h"
#include "tools/screenshots/guide_steps.h"
#include "ui/qt/qt_look.h"

namespace {

constexpr const char* kUsage =
    "usage: halvic-guide-screenshots FOLDER\n"
    "       halvic-guide-screenshots --list\n";

void listPictures() {
  for (const halvic::guide::GuideStep& step : halvic::guide::guideSteps()) {
    std::printf("%s\n", step.picture);
  }
}

/** Takes every step, saving its picture; the number of steps that did not go as the guide says. */
int takeSteps(halvic::guide::GuideSession& session, const QDir& folder) {
  int failed = 0;
  for (const halvic::guide::GuideStep& step : halvic::guide::guideSteps()) {
    step.take(session);
    const QImage picture = session.takePicture();
    const std::vector<QString> problems = session.takeProblems();
    if (const std::optional<QString> skip = session.takeSkip()) {
      std::printf("SKIP: %s: %s\n", step.picture, qPrintable(*skip));
      continue;
    }
    const QString file = folder.filePath(QString::fromLatin1(step.picture) + ".png");
    if (!picture.save(file, "PNG")) {
      std::printf("FAIL: %s: cannot write %s\n", step.picture, qPrintable(file));
      ++failed;
      continue;
    }
    for (const QString& problem : problems) {
      std::printf("FAIL: %s: %s\n", step.picture, qPrintable(problem));
    }
    if (!problems.empty()) {
      ++failed;
    }
    std::printf("%s.png %d x %d\n", step.picture, picture.width(), picture.height());
  }
  return failed;
}

}  // namespace

int main(int argc, char** argv) {
  // Ignored, so that a write past the file size limit (ulimit -f) fails with "File too large",
  // which the writers report, instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  if (argc != 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (std::strcmp(argv[1], "--list") == 0) {
    listPictures();
    return 0;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  if (!folder.exists()) {
    std::fprintf(stderr, "halvic-guide-screenshots: no folder %s\n", argv[1]);
    return 2;
  }
  if (!halvic::ui::displayAvailable()) {
    std::fputs("halvic-guide-screenshots: no display (run it under xvfb-run)\n", stderr);
    return 2;
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName("Halvic");
  halvic::ui::applyDesktopLook(application);

  halvic::DesktopProgram program;
  program.show();
  if (!QTest::qWaitForWindowExposed(program.window().window())) {
    std::fputs("halvic-guide-screenshots: the window did not show\n", stderr);
    return 2;
  }
  halvic::guide::GuideSession session(program);
  return takeSteps(session, folder) == 0 ? 0 : 1;
}

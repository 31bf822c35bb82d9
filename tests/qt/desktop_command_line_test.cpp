#include "app/desktop_command_line.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/desktop_program.h"
#include "app/desktop_window_system.h"
#include "tests/qt/modal_answer.h"

namespace halvic {
namespace {

using Action = CommandLine::Action;

TEST(CommandLine, ArgumentsAreReadAsTheUsageSays) {
  struct Row {
    const char* name;
    std::vector<std::string> arguments;
    Action action;
    std::vector<std::string> images;
  };
  const std::vector<Row> rows{
      {"nothing", {}, Action::OpenWindow, {}},
      {"an object image", {"star.kr4"}, Action::OpenWindow, {"star.kr4"}},
      {"object and lamp", {"star.kr4", "neon.kr4"}, Action::OpenWindow, {"star.kr4", "neon.kr4"}},
      {"help", {"--help"}, Action::ShowHelp, {}},
      {"version", {"--version"}, Action::ShowVersion, {}},
      {"help wins over files", {"star.kr4", "--help"}, Action::ShowHelp, {"star.kr4"}},
      {"help wins over version", {"--version", "--help"}, Action::ShowHelp, {}},
      {"a dash name after --", {"--", "-star.kr4"}, Action::OpenWindow, {"-star.kr4"}},
      {"--help after -- is a file", {"--", "--help"}, Action::OpenWindow, {"--help"}},
      {"an unknown option", {"star.kr4", "-v"}, Action::Refuse, {}},
      {"a single dash", {"-"}, Action::Refuse, {}},
      {"a long option not known", {"--verbose"}, Action::Refuse, {}},
      {"three files", {"a.kr4", "b.kr4", "c.kr4"}, Action::Refuse, {}},
      {"an empty name", {""}, Action::Refuse, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const CommandLine parsed = parseCommandLine(row.arguments);
    EXPECT_EQ(parsed.action, row.action);
    if (row.action == Action::Refuse) {
      EXPECT_FALSE(parsed.refusal.empty());
      EXPECT_EQ(parsed.refusal.find('\n'), std::string::npos);
    } else {
      EXPECT_EQ(parsed.images, row.images);
    }
  }
  EXPECT_EQ(rows.size(), 14U);
}

TEST(CommandLine, AnswersWithoutAWindowOnlyForHelpVersionAndRefusals) {
  struct Row {
    const char* name;
    std::vector<std::string> arguments;
    std::optional<int> status;
    std::string out;
    std::string errors;
  };
  const std::vector<Row> rows{
      {"the window opens", {"star.kr4"}, std::nullopt, "", ""},
      {"version", {"--version"}, 0, "halvic 1.2\n", ""},
      {"unknown option",
       {"-x"},
       2,
       "",
       "halvic: unknown option '-x'; halvic --help lists the options\n"},
      {"three files",
       {"a", "b", "c"},
       2,
       "",
       "halvic: 3 files given: an object image and at most a lamp image are taken\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::ostringstream out;
    std::ostringstream errors;
    EXPECT_EQ(answerWithoutWindow(parseCommandLine(row.arguments), out, errors), row.status);
    EXPECT_EQ(out.str(), row.out);
    EXPECT_EQ(errors.str(), row.errors);
  }
  std::ostringstream help;
  std::ostringstream none;
  EXPECT_EQ(answerWithoutWindow(parseCommandLine({"--help"}), help, none), 0);
  EXPECT_TRUE(help.str().starts_with("Usage: halvic [OBJECT [LAMP]]\n"));
  EXPECT_EQ(none.str(), "");
}

// The images of a command line load as "Load Spectra" and "Load Cal" load a chosen file: no
// dialog is shown, and a file that cannot be loaded gives the buttons' own message.
TEST(CommandLine, ImagesLoadThroughTheLoadButtons) {
  const std::string object = HALVIC_SOURCE_DIR "/samples/object-spectrum.kr4";
  const std::string lamp = HALVIC_SOURCE_DIR "/samples/neon-lamp.kr4";
  DesktopProgram program;
  program.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&program.window()));
  const CommandLine commandLine = parseCommandLine({object, lamp});
  ASSERT_EQ(commandLine.action, Action::OpenWindow);
  loadCommandLineImages(program, commandLine.images);

  const Workspace& ws = program.mainWindow().workspace();
  EXPECT_TRUE(ws.image(ImageKind::Data).loaded);
  EXPECT_TRUE(ws.image(ImageKind::Cal).loaded);
  EXPECT_EQ(ws.image(ImageKind::Data).fileName, object);
  EXPECT_EQ(ws.image(ImageKind::Cal).fileName, lamp);
  EXPECT_EQ(program.mainWindow().control("lblfiledata1").caption(), object);
  EXPECT_EQ(program.mainWindow().control("lblfiledata2").caption(), lamp);
  EXPECT_TRUE(ws.graph.showsCal);  // the lamp was loaded last
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

  QString message;
  ui::ModalAnswer refusal([&message](QWidget& dialog) {
    auto& box = dynamic_cast<QMessageBox&>(dialog);
    message = box.text();
    box.accept();
  });
  loadCommandLineImages(program, {HALVIC_SOURCE_DIR "/samples/no-such-image.kr4"});
  EXPECT_EQ(message, "File not loaded successfully");
  EXPECT_EQ(ws.image(ImageKind::Data).fileName, object);  // the image before stays
}

TEST(WindowSystemStart, SaysInOneLineWhichWindowSystemCouldNotBeReached) {
  struct Row {
    const char* name;
    std::map<std::string, std::string> environment;
    std::string line;
  };
  const std::vector<Row> rows{
      {"X11 chosen by Qt", {{"DISPLAY", ":99"}}, "halvic: cannot open the display :99"},
      {"X11 named",
       {{"DISPLAY", "host:3.0"}, {"QT_QPA_PLATFORM", "xcb"}},
       "halvic: cannot open the display host:3.0"},
      {"another platform",
       {{"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", "wayland"}},
       "halvic: cannot start the window system 'wayland'"},
      {"nothing set", {}, "halvic: cannot start the window system"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto lookup = [&row](const char* name) -> const char* {
      const auto found = row.environment.find(name);
      return found == row.environment.end() ? nullptr : found->second.c_str();
    };
    EXPECT_EQ(windowSystemFailure(lookup), row.line);
  }
  EXPECT_EQ(rows.size(), 4U);
}

}  // namespace
}  // namespace halvic

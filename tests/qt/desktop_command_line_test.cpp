#include "app/desktop_command_line.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/desktop_program.h"
#include "app/desktop_window_system.h"
#include "tests/qt/modal_answer.h"

namespace halvic {
namespace {

using Action = CommandLine::Action;

/** A 16-bit FITS image of 40 x 4 pixels with one bright column, its pixel size in the header. */
QByteArray smallFitsImage() {
  QByteArray header;
  for (const char* card :
       {"SIMPLE  =                    T", "BITPIX  =                   16",
        "NAXIS   =                    2", "NAXIS1  =                   40",
        "NAXIS2  =                    4", "XPIXSZ  =                  9.0", "END"}) {
    header += QByteArray(card).leftJustified(80, ' ');
  }
  QByteArray data;
  for (int pixel = 0; pixel < 40 * 4; ++pixel) {
    const char high = pixel % 40 == 20 ? 0x10 : 0x01;  // big-endian 4096 or 256
    data += high;
    data += '\0';
  }
  return header.leftJustified(2880, ' ') + data.leftJustified(2880, '\0');
}

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

namespace halvic {
namespace {

// Files open as what they hold, whatever their names, from the command line and when dropped on
// either half of the window: a FITS image through the reduction form, a camera file directly.
TEST(CommandLine, FilesOpenAsWhatTheyHoldOnTheSideTheyAreGivenFor) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const std::string cameraNamedFits = folder.filePath("camera.fits").toStdString();
  ASSERT_TRUE(QFile::copy(HALVIC_SOURCE_DIR "/samples/neon-lamp.kr4",
                          QString::fromStdString(cameraNamedFits)));
  const std::string fitsNamedKr4 = folder.filePath("image.kr4").toStdString();
  QFile fits(QString::fromStdString(fitsNamedKr4));
  ASSERT_TRUE(fits.open(QIODevice::WriteOnly));
  fits.write(smallFitsImage());
  fits.close();

  enum class Way { CommandLine, DropLeft, DropRight };
  struct Row {
    const char* name;
    Way way;
    std::string path;
    ImageKind kind;
    bool fits;
  };
  const std::vector<Row> rows{
      {"a FITS image named .kr4 on the command line", Way::CommandLine, fitsNamedKr4,
       ImageKind::Data, true},
      {"a camera file named .fits on the command line", Way::CommandLine, cameraNamedFits,
       ImageKind::Data, false},
      {"a camera file dropped on the left half", Way::DropLeft, cameraNamedFits, ImageKind::Data,
       false},
      {"a FITS image dropped on the right half", Way::DropRight, fitsNamedKr4, ImageKind::Cal,
       true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DesktopProgram program;
    program.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&program.window()));
    QString formTitle;
    std::optional<ui::ModalAnswer> pressOk;
    if (row.fits) {
      pressOk.emplace([&formTitle](QWidget& dialog) {
        formTitle = dialog.windowTitle();
        for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
          if (button->text().remove('&') == "OK") {
            button->click();
            return;
          }
        }
        dialog.close();
      });
    }
    if (row.way == Way::CommandLine) {
      loadCommandLineImages(program, {row.path});
    } else {
      QWidget& client = program.window().clientArea();
      QMimeData files;
      files.setUrls({QUrl::fromLocalFile(QString::fromStdString(row.path))});
      const int x = row.way == Way::DropLeft ? client.width() / 4 : client.width() * 3 / 4;
      const QPoint at(x, client.height() / 2);
      // As the window system delivers a drag: it enters, then it is dropped.
      QDragEnterEvent enter(at, Qt::CopyAction, &files, Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(&client, &enter);
      QDropEvent drop(QPointF(at), Qt::CopyAction, &files, Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(&client, &drop);
    }
    const ImageState& image = program.mainWindow().workspace().image(row.kind);
    EXPECT_TRUE(image.loaded);
    EXPECT_EQ(image.fileName, row.path);
    EXPECT_EQ(image.fitsOrigin.has_value(), row.fits);
    EXPECT_EQ(formTitle, row.fits ? "Reduce FITS Image" : "");
    EXPECT_FALSE(program.mainWindow().workspace().image(otherImage(row.kind)).loaded);
  }
}

}  // namespace
}  // namespace halvic

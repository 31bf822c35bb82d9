#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ui/form.h"
#include "ui/headless/headless_dialogs.h"
#include "ui/headless/headless_printer.h"
#include "ui/headless/ppm_file.h"

namespace halvic::ui {
namespace {

std::string readFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(HeadlessDialogsTest, AnswersComeFromTheirOwnQueuesAndTheTranscriptRecordsBoxes) {
  std::ostringstream transcript;
  HeadlessDialogs dialogs(transcript);
  dialogs.queueInput("abc");
  dialogs.queueOpenFile(std::nullopt);
  dialogs.queueOpenFile("x.kr4");
  EXPECT_EQ(dialogs.openFile({}, 0), std::nullopt);
  EXPECT_EQ(dialogs.inputBox("Prompt", "Title", "c:\\images\\"), "abc");
  dialogs.messageBox("line one\r\nline two");
  EXPECT_EQ(dialogs.openFile({}, 0), "x.kr4");
  EXPECT_THROW(dialogs.openFile({}, 0), MissingAnswer);
  EXPECT_THROW(dialogs.inputBox("p", "t", "d"), MissingAnswer);
  EXPECT_EQ(transcript.str(),
            "input-box: Title | Prompt | c:\\\\images\\\\\n"
            "message: line one\\r\\nline two\n"
            "input-box: t | p | d\n");
}

TEST(HeadlessDialogsTest, AModalWindowRunsItsAnswerAndEndsHidden) {
  static constexpr std::array kControls{ControlSpec{.name = "done", .kind = ControlKind::Button}};
  static constexpr FormSpec kDialog{.name = "dialog", .controls = kControls};
  Form dialog(kDialog);
  bool visibleWhileAnswering = false;
  dialog["done"].onClick = [&] {
    visibleWhileAnswering = dialog.visible();
    dialog.hide();
  };
  std::ostringstream transcript;
  HeadlessDialogs dialogs(transcript);
  EXPECT_THROW(dialogs.showModal(dialog), MissingAnswer);
  dialogs.setDefaultModalAnswer([](Form& window) { window["done"].userClick(); });
  dialogs.showModal(dialog);
  EXPECT_TRUE(visibleWhileAnswering);
  EXPECT_FALSE(dialog.visible());
}

TEST(HeadlessPrinterTest, APageIsWrittenWhenTheDocumentEndsWithCoordinatesRoundedHalfToEven) {
  const auto path = std::filesystem::temp_directory_path() / "halvic-headless-page.txt";
  std::filesystem::remove(path);
  HeadlessPrinters printers;
  EXPECT_EQ(printers.startJob(), nullptr);
  printers.useFailingPrinter();
  EXPECT_EQ(printers.startJob(), nullptr);
  printers.usePage(1000, 800, path.string());
  auto canvas = printers.startJob();
  ASSERT_NE(canvas, nullptr);
  EXPECT_EQ(canvas->pageWidth(), 1000);
  EXPECT_EQ(canvas->textWidth("( 12345)"), 80.0);
  EXPECT_EQ(canvas->textHeight("x"), 20.0);
  canvas->text(2.5, 3.5, "Pixel Number");
  canvas->line(0.5, 1.5, -2.5, 10.0);
  canvas->text(std::nan(""), 3.0, "no place");  // left out: no whole unit stands for these
  canvas->line(0.0, 0.0, 3e9, 1.0);
  EXPECT_FALSE(std::filesystem::exists(path)) << "nothing is written before the end";
  EXPECT_TRUE(canvas->endDocument());
  EXPECT_EQ(readFile(path), "text 2 4 Pixel Number\nline 0 2 -2 10\n");
  std::filesystem::remove(path);
}

TEST(PpmFileTest, WritesABinaryImageOfTheRaster) {
  const auto path = std::filesystem::temp_directory_path() / "halvic-raster.ppm";
  Raster raster(2, 1, kWindowGrey);
  raster.plot(1, 0, Rgb{1, 2, 3});
  ASSERT_TRUE(writePpm(raster, path.string()));
  EXPECT_EQ(readFile(path), std::string("P6\n2 1\n255\n\xC0\xC0\xC0\x01\x02\x03", 17));
  std::filesystem::remove(path);
  EXPECT_FALSE(writePpm(raster, "/nonexistent-folder/x.ppm"));
}

}  // namespace
}  // namespace halvic::ui

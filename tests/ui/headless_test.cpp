#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/temp_dir.h"
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
  EXPECT_EQ(dialogs.openFile("Load Spectra", {}, 0), std::nullopt);
  EXPECT_EQ(dialogs.inputBox("Prompt", "Title", "c:\\images\\"), "abc");
  dialogs.messageBox("line one\r\nline two");
  EXPECT_EQ(dialogs.openFile("Load Spectra", {}, 0), "x.kr4");
  EXPECT_THROW(dialogs.openFile("Load Spectra", {}, 0), MissingAnswer);
  EXPECT_THROW(dialogs.inputBox("p", "t", "d"), MissingAnswer);
  EXPECT_EQ(transcript.str(),
            "input-box: Title | Prompt | c:\\\\images\\\\\n"
            "message: line one\\r\\nline two\n"
            "input-box: t | p | d\n");
}

TEST(HeadlessDialogsTest, ASaveAnswerGetsTheFirstFiltersExtensionOnlyWhenAsked) {
  std::ostringstream transcript;
  HeadlessDialogs dialogs(transcript);
  SaveRequest request{.title = "Export Graph Image",
                      .filters = {{"PNG Image (*.png)", "*.png"}, {"SVG Image (*.svg)", "*.svg"}}};
  for (const char* answer : {"graph", "graph", "graph.svg"}) {
    dialogs.queueSave(answer);
  }
  dialogs.queueSave(std::nullopt);
  EXPECT_EQ(dialogs.saveFile(request), "graph");
  request.addFilterExtension = true;
  EXPECT_EQ(dialogs.saveFile(request), "graph.png");
  EXPECT_EQ(dialogs.saveFile(request), "graph.svg");
  EXPECT_EQ(dialogs.saveFile(request), std::nullopt);
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

// A form of two fields whose "count" must be a digit: a refusal shows its message, the next
// answer corrects the fields as they stand, and with no answer left the form is cancelled.
TEST(HeadlessDialogsTest, AFormTakesItsAnswersUntilTheyAreAccepted) {
  const FormRequest request{
      .title = "Details",
      .fields = {{"name", "Name", FormField::Kind::Text, "shown"},
                 {"count", "Count", FormField::Kind::Text, "1"},
                 {"apply", "Apply", FormField::Kind::Check, "0"}},
      .validate = [](const std::vector<FormField>& fields) -> std::optional<std::string> {
        const std::string& count = fields[1].value;
        if (count.size() == 1 && count[0] >= '0' && count[0] <= '9') {
          return std::nullopt;
        }
        return "Count must be a digit.";
      }};
  struct Row {
    std::string name;
    std::vector<std::optional<FormAnswer>> answers;
    std::optional<std::vector<std::string>> taken;
    std::string transcript;
  };
  const std::vector<Row> rows{
      {"taken as answered",
       {FormAnswer{{"count", "7"}, {"apply", "1"}}},
       std::vector<std::string>{"shown", "7", "1"},
       ""},
      {"refused, then corrected; the first answer's name stays",
       {FormAnswer{{"name", "x"}, {"count", "77"}}, FormAnswer{{"count", "8"}}},
       std::vector<std::string>{"x", "8", "0"},
       "message: Count must be a digit.\n"},
      {"refused with nothing left: cancelled",
       {FormAnswer{{"count", "x"}}},
       std::nullopt,
       "message: Count must be a digit.\n"},
      {"cancelled", {std::nullopt}, std::nullopt, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::ostringstream transcript;
    HeadlessDialogs dialogs(transcript);
    for (const auto& answer : row.answers) {
      dialogs.queueForm(answer);
    }
    const std::optional<std::vector<FormField>> taken = dialogs.showForm(request);
    ASSERT_EQ(taken.has_value(), row.taken.has_value());
    if (taken) {
      std::vector<std::string> values;
      for (const FormField& field : *taken) {
        values.push_back(field.value);
      }
      EXPECT_EQ(values, *row.taken);
    }
    EXPECT_EQ(transcript.str(), row.transcript);
  }
  std::ostringstream transcript;
  HeadlessDialogs dialogs(transcript);
  EXPECT_THROW(dialogs.showForm(request), MissingAnswer);
  dialogs.queueForm(FormAnswer{{"colour", "red"}});
  EXPECT_THROW(dialogs.showForm(request), MissingAnswer);
  dialogs.queueForm(FormAnswer{{"apply", "yes"}});
  EXPECT_THROW(dialogs.showForm(request), MissingAnswer);
}

TEST(HeadlessPrinterTest, APageIsWrittenWhenTheDocumentEndsWithCoordinatesRoundedHalfToEven) {
  const test::TempDir dir;
  const std::filesystem::path path = dir.file("page.txt");
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
  const test::TempDir dir;
  const std::filesystem::path path = dir.file("raster.ppm");
  Raster raster(2, 1, kWindowGrey);
  raster.plot(1, 0, Rgb{1, 2, 3});
  ASSERT_TRUE(writePpm(raster, path.string()));
  EXPECT_EQ(readFile(path), std::string("P6\n2 1\n255\n\xC0\xC0\xC0\x01\x02\x03", 17));
  std::filesystem::remove(path);
  EXPECT_FALSE(writePpm(raster, "/nonexistent-folder/x.ppm"));
}

}  // namespace
}  // namespace halvic::ui

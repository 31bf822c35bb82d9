// The text export: building the text of a full calibrated profile, and a whole "Write Text File"
// press with the file written. The printed page of a calibrated profile on the headless canvas.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "app/main_window.h"
#include "output/graph_printout.h"
#include "output/text_export.h"
#include "tests/support/grating_examples.h"
#include "ui/headless/headless_dialogs.h"
#include "ui/headless/headless_printer.h"

namespace {

const std::string kLamp = std::string(HALVIC_SOURCE_DIR) + "/samples/neon-lamp.kr4";

void BM_BuildCalibratedText768(benchmark::State& state) {
  halvic::ProfileArray profile;
  for (int column = 1; column <= halvic::kProfileColumns; ++column) {
    profile.set(column, 20000 + 37 * column % 50000);
  }
  const halvic::TextExportInputs inputs{.profile = profile,
                                        .length = halvic::kProfileColumns,
                                        .calibration = halvic::test::workedExampleModel()};
  for (auto _ : state) {
    halvic::TextExport text = halvic::buildTextExport(inputs);
    benchmark::DoNotOptimize(text.bytes.data());
  }
}
BENCHMARK(BM_BuildCalibratedText768)->Unit(benchmark::kMicrosecond);

/** A private folder under the system's temporary folder, removed with its files at the end. */
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "halvic_bench_XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) {
      path_ = pattern;
    }
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) {
      std::filesystem::remove_all(path_, ignored);
    }
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The 765-column lamp loaded from a temporary folder and calibrated with the worked example; each
// press builds the text and replaces the file beside the image.
void BM_WriteTextFilePress(benchmark::State& state) {
  const ScratchFolder folder;
  std::error_code error;
  const std::filesystem::path image = folder.path() / "neon-lamp.kr4";
  if (folder.path().empty() || !std::filesystem::copy_file(kLamp, image, error)) {
    state.SkipWithError("cannot copy the sample into a temporary folder");
    return;
  }
  std::ostringstream transcript;
  halvic::ui::HeadlessDialogs dialogs(transcript);
  halvic::ui::HeadlessPrinters printers;
  halvic::MainWindow window(dialogs, printers, nullptr);
  window.Form_Load();
  dialogs.queueOpenFile(image.string());
  window.cmdload2_Click();
  halvic::Workspace& ws = window.workspace();
  ws.calibration.calibrated = true;
  ws.calibration.model.alphaDeg = 2.5;
  ws.calibration.model.grooveSpacingUm = 6.666666;
  for (auto _ : state) {
    window.cmdtext_Click();
  }
  if (!transcript.str().empty() ||
      ws.selectedFileName != (folder.path() / "neon-lamp.txt").string()) {
    state.SkipWithError("the export did not succeed");
  }
}
BENCHMARK(BM_WriteTextFilePress)->Unit(benchmark::kMicrosecond);

// One whole printout of a calibrated 765-column profile on a 1100 x 850 headless page: 765 model
// evaluations, 764 curve segments cut to the frame, about 90 ticks, labels and frame lines. The
// page is kept in memory; the document is never ended, so no file is written.
void BM_GraphPrintoutCalibrated765(benchmark::State& state) {
  halvic::ProfileArray profile;
  for (int column = 1; column <= 765; ++column) {
    profile.set(column, 20000 + 37 * column % 50000);
  }
  halvic::ui::HeadlessPrinters printers;
  printers.usePage(1100, 850, "never-written.page");
  const halvic::GraphPrintoutInputs inputs{
      .profile = profile,
      .profileMax = 48305,
      .profileMin = 20037,
      .title = "neon-lamp.kr4 captured on 03/14/2024 at 21:12:40",
      .calibration = halvic::test::workedExampleModel()};
  for (auto _ : state) {
    const std::unique_ptr<halvic::ui::PrinterCanvas> canvas = printers.startJob();
    const halvic::GraphPrintout printout = halvic::drawGraphPrintout(*canvas, inputs);
    if (!printout.drawn) {
      state.SkipWithError("the page was not drawn");
      return;
    }
    benchmark::DoNotOptimize(canvas.get());
  }
}
BENCHMARK(BM_GraphPrintoutCalibrated765)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

// "Mark Line 2" as the user presses it: the centroid, the checks, the dispersion estimate, the
// full two-line solve and the summary.

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "app/main_window.h"
#include "ui/headless/headless_dialogs.h"
#include "ui/headless/headless_printer.h"

namespace {

const std::string kLines =
    std::string(HALVIC_SOURCE_DIR) + "/tests/script/data/worked-example-lines.kr4";

// The worked example: 6562.852 A on column 200 as line 1, 4861.33 A on column 600 as line 2.
void BM_MarkLine2WithItsFullSolve(benchmark::State& state) {
  std::ostringstream transcript;
  halvic::ui::HeadlessDialogs dialogs(transcript);
  halvic::ui::HeadlessPrinters printers;
  halvic::MainWindow window(dialogs, printers, nullptr);
  window.Form_Load();
  dialogs.queueOpenFile(kLines);
  window.cmdload2_Click();
  window.control("cboscale").userSelect(43);
  window.control("hsbspectra").userSet(200);
  window.cmdmarkline1_Click();
  window.control("cboscale").userSelect(42);
  window.control("hsbspectra").userSet(600);
  for (auto _ : state) {
    window.cmdmarkline2_Click();
  }
  if (!window.workspace().calibrated || !transcript.str().empty()) {
    state.SkipWithError("the lines did not calibrate");
  }
}
BENCHMARK(BM_MarkLine2WithItsFullSolve)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

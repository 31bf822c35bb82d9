// A whole load as the user sees it, and the strip redraw it contains, on the headless backend.

#include <benchmark/benchmark.h>

#include <sstream>

#include "app/main_window.h"
#include "bench/load_inputs.h"
#include "display/strip_rendering.h"
#include "ui/headless/headless_dialogs.h"
#include "ui/headless/headless_printer.h"

namespace {

using halvic::bench::kCompressedLamp;

// Read, check, decode a 765 x 20 compressed file, extract, draw the strip and the graph.
void BM_LoadCompressedImage(benchmark::State& state) {
  std::ostringstream transcript;
  halvic::ui::HeadlessDialogs dialogs(transcript);
  halvic::ui::HeadlessPrinters printers;
  halvic::MainWindow window(dialogs, printers, nullptr);
  window.Form_Load();
  for (auto _ : state) {
    dialogs.queueOpenFile(kCompressedLamp);
    window.cmdload2_Click();
  }
  if (!window.workspace().calLoaded || !transcript.str().empty()) {
    state.SkipWithError("the sample did not load");
  }
}
BENCHMARK(BM_LoadCompressedImage)->Unit(benchmark::kMicrosecond);

void BM_RawStripRedraw(benchmark::State& state) {
  const halvic::ImageArray image = halvic::bench::rawStripImage();
  halvic::ProfileArray profile;
  halvic::ui::Raster window(775, 379, halvic::ui::kWindowGrey);
  double betaDeg = 0.0;
  const halvic::StripInputs strip = halvic::bench::rawStrip(image, profile);
  for (auto _ : state) {
    halvic::drawStrip(window, strip, betaDeg);
    benchmark::DoNotOptimize(window.pixels().data());
  }
}
BENCHMARK(BM_RawStripRedraw)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

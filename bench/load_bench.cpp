// A whole load as the user sees it, and the strip redraw it contains.

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "app/main_window.h"
#include "display/strip_rendering.h"
#include "ui/headless/headless_dialogs.h"
#include "ui/headless/headless_printer.h"

namespace {

const std::string kCompressedLamp =
    std::string(HALVIC_SOURCE_DIR) + "/samples/neon-lamp-compressed.kr4";

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
  halvic::ImageArray image;
  for (int row = 1; row <= 20; ++row) {
    for (int column = 1; column <= 768; ++column) {
      image.set(column, row, static_cast<int16_t>(100 + column * row % 4000));
    }
  }
  halvic::ProfileArray profile;
  halvic::ui::Raster window(775, 379, halvic::ui::kWindowGrey);
  double betaDeg = 0.0;
  const halvic::StripInputs strip{.image = image, .width = 768, .height = 20, .stripLeft = 3,
                                  .stripTop = 8, .background = 100, .range = 4000,
                                  .profile = profile};
  for (auto _ : state) {
    halvic::drawStrip(window, strip, betaDeg);
    benchmark::DoNotOptimize(window.pixels().data());
  }
}
BENCHMARK(BM_RawStripRedraw)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

#pragma once

// The headless load and strip redraw benchmarks and what they draw. load_bench runs them;
// qt_window_bench runs them too, next to the same work in the desktop window, so that each pair
// is measured in the same run of the same machine.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "app/main_window.h"
#include "display/strip_rendering.h"
#include "imagefile/image_array.h"
#include "spectrum/profile_array.h"
#include "ui/headless/headless_dialogs.h"
#include "ui/headless/headless_printer.h"
#include "ui/raster.h"

namespace halvic::bench {

/** The 765 x 20 compressed neon lamp sample that "Load Cal" reads. */
inline const std::string kCompressedLamp =
    std::string(HALVIC_SOURCE_DIR) + "/samples/neon-lamp-compressed.kr4";

/** A full 768 x 20 image of a ramp pattern for the raw strip. */
inline ImageArray rawStripImage() {
  ImageArray image;
  for (int row = 1; row <= 20; ++row) {
    for (int column = 1; column <= 768; ++column) {
      image.set(column, row, static_cast<int16_t>(100 + column * row % 4000));
    }
  }
  return image;
}

/** The raw (not expanded) strip of image at the data strip's place in the window. */
inline StripInputs rawStrip(const ImageArray& image, const ProfileArray& profile) {
  return StripInputs{.image = image,
                     .width = 768,
                     .height = 20,
                     .stripLeft = 3,
                     .stripTop = 8,
                     .background = 100,
                     .range = 4000,
                     .profile = profile};
}

// Read, check, decode a 765 x 20 compressed file, extract, draw the strip and the graph.
inline void BM_LoadCompressedImage(benchmark::State& state) {
  std::ostringstream transcript;
  ui::HeadlessDialogs dialogs(transcript);
  ui::HeadlessPrinters printers;
  MainWindow window(dialogs, printers, nullptr);
  window.Form_Load();
  for (auto _ : state) {
    dialogs.queueOpenFile(kCompressedLamp);
    window.cmdload2_Click();
  }
  if (!window.workspace().image(ImageKind::Cal).loaded || !transcript.str().empty()) {
    state.SkipWithError("the sample did not load");
  }
}

inline void BM_RawStripRedraw(benchmark::State& state) {
  const ImageArray image = rawStripImage();
  ProfileArray profile;
  ui::Raster window(775, 379, ui::kWindowGrey);
  double betaDeg = 0.0;
  const StripInputs strip = rawStrip(image, profile);
  for (auto _ : state) {
    drawStrip(window, strip, betaDeg);
    benchmark::DoNotOptimize(window.pixels().data());
  }
}

}  // namespace halvic::bench

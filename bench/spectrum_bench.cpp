#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>

#include "imagefile/image_array.h"
#include "spectrum/graph_rendering.h"
#include "spectrum/profile_extraction.h"
#include "ui/colour.h"
#include "ui/raster.h"

namespace halvic {
namespace {

/** A full-size image of sky with a few bright lines and scattered hot pixels. */
ImageArray busyImage() {
  ImageArray image;
  uint32_t state = 12345;
  for (int row = 1; row <= kImageRows; ++row) {
    for (int column = 1; column <= kImageColumns; ++column) {
      state = state * 1664525u + 1013904223u;
      int value = 200 + static_cast<int>(state >> 24);
      if (column % 97 == 0 && row >= 6 && row <= 14) {
        value += 20000;
      }
      if ((state >> 8) % 500 == 0) {
        value = 30000;
      }
      image.set(column, row, static_cast<int16_t>(value));
    }
  }
  return image;
}

void BM_ExtractDataProfileAllOptions(benchmark::State& state) {
  const ImageArray image = busyImage();
  const ExtractionOptions options{.useMedian = true, .filterAirglow = true, .smoothing = true};
  for (auto _ : state) {
    ExtractedProfile profile = extractDataProfile(image, 768, 6, 14, options);
    benchmark::DoNotOptimize(profile);
  }
}
BENCHMARK(BM_ExtractDataProfileAllOptions)->Unit(benchmark::kMicrosecond);

void BM_DrawGraph(benchmark::State& state) {
  const ExtractedProfile profile = extractDataProfile(busyImage(), 768, 6, 14, {});
  ui::Raster graph(258, 110, ui::kWindowGrey);
  const GraphInputs inputs{profile.values,        profile.length, profile.max, profile.min, 390, 5,
                           GraphScale::Autoscaled};
  for (auto _ : state) {
    drawGraph(graph, inputs);
    benchmark::DoNotOptimize(graph.pixels().data());
  }
}
BENCHMARK(BM_DrawGraph)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace halvic

BENCHMARK_MAIN();

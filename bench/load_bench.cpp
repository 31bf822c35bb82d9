// A whole load as the user sees it, and the strip redraw it contains, on the headless backend.

#include <benchmark/benchmark.h>

#include "bench/load_benchmarks.h"

namespace {

using halvic::bench::BM_LoadCompressedImage;
using halvic::bench::BM_RawStripRedraw;

BENCHMARK(BM_LoadCompressedImage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawStripRedraw)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

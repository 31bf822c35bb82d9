#include <benchmark/benchmark.h>

#include "calibration/grating_solve.h"

namespace {

using halvic::GratingModel;
using halvic::LineMarks;
using halvic::LineWavelength;

GratingModel startModel() {
  GratingModel model;
  model.xPixelSize = 9.0f;
  return model;
}

LineMarks workedExample() {
  return LineMarks{LineWavelength::fromDouble(6562.852), LineWavelength::fromDouble(4861.33),
                   200.0f, 600.0f};
}

constexpr float kDispersion = 472.645f;

void BM_FullSolve(benchmark::State& state) {
  const GratingModel start = startModel();
  const LineMarks marks = workedExample();
  for (auto _ : state) {
    benchmark::DoNotOptimize(halvic::solveGratingModel(start, marks, kDispersion, false));
  }
}
BENCHMARK(BM_FullSolve);

// Two neon lines on the finest grating put alpha near 39 degrees: the scans run almost to their
// last candidate, close to the longest a solve can take.
void BM_FullSolveNear40Degrees(benchmark::State& state) {
  const GratingModel start = startModel();
  const LineMarks marks{LineWavelength::fromDouble(7032.413), LineWavelength::fromDouble(6929.467),
                        200.0f, 600.0f};
  const float dispersion =
      halvic::estimateDispersion(marks.line1Wavelength, marks.line1Pixel, marks.line2Wavelength,
                                 marks.line2Pixel, start.xPixelSize)
          .value_or(0.0f);
  for (auto _ : state) {
    benchmark::DoNotOptimize(halvic::solveGratingModel(start, marks, dispersion, false));
  }
}
BENCHMARK(BM_FullSolveNear40Degrees);

void BM_Refit(benchmark::State& state) {
  const LineMarks marks = workedExample();
  const halvic::SolveResult full =
      halvic::solveGratingModel(startModel(), marks, kDispersion, false);
  LineMarks remarked = marks;
  remarked.line1Pixel = 204.5f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(halvic::solveGratingModel(full.model, remarked, kDispersion, true));
  }
}
BENCHMARK(BM_Refit);

}  // namespace

BENCHMARK_MAIN();

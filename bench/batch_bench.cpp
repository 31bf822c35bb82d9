// halvic-batch's work on one image: the sample object read, extracted and written as its FITS
// pair, as a batch does for every image. The whole program on 100 and 1,000 images is measured by
// tools/perf/batch_figures.sh.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "tests/support/grating_examples.h"
#include "tools/batch/batch_image.h"
#include "tools/batch/batch_inputs.h"

namespace {

const std::string kSamples = std::string(HALVIC_SOURCE_DIR) + "/samples/";

halvic::BatchSettings settingsIn(const std::string& folder) {
  halvic::BatchSettings settings;
  settings.calibration.model = halvic::test::workedExampleModel();
  settings.calibration.calibrated = true;
  settings.outFolder = folder;
  settings.overwrite = true;
  settings.fields = halvic::parseObservingText("OBJNAME = bench").value.value();
  return settings;
}

void BM_CalibrateCameraImage(benchmark::State& state) {
  std::string folder = (std::filesystem::temp_directory_path() / "batch-bench-XXXXXX").string();
  if (::mkdtemp(folder.data()) == nullptr) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const halvic::BatchSettings settings = settingsIn(folder);
  const halvic::ImageJob job{kSamples + "object-spectrum.kr4", std::nullopt};
  for (auto _ : state) {
    const halvic::ImageOutcome outcome = halvic::calibrateImage(settings, job);
    if (!outcome.written) {
      state.SkipWithError(outcome.status.c_str());
      break;
    }
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_CalibrateCameraImage)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

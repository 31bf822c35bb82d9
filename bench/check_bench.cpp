// "Check Calibration" and "Refine with All Lines": the check of all 40 lamp lines of the list,
// the refine on the lamp's own lines with its choice of terms, and the whole menu command.

#include <benchmark/benchmark.h>

#include <cmath>
#include <sstream>
#include <vector>

#include "app/main_window.h"
#include "calibration/lamp_refine.h"
#include "calibration/line_check.h"
#include "spectrum/profile_extraction.h"
#include "tools/samplegen/lamp_file.h"
#include "tools/samplegen/sample_spectra.h"
#include "ui/headless/headless_dialogs.h"
#include "ui/headless/headless_printer.h"

namespace {

using halvic::GratingModel;

// 150 lines/mm seen by 13.5 um pixels spreads 3300 to 8200 A over the strip: every one of the
// list's 40 lamp lines falls on it.
const halvic::samplegen::LampOptions kWideLamp{150.0, 13.5f, 2.5, 140.0, 1};

struct LampCheck {
  GratingModel model;
  halvic::ImageArray image;
  halvic::ExtractedProfile profile;
};

LampCheck lampCheck(const halvic::samplegen::LampOptions& options) {
  LampCheck lamp;
  lamp.model = halvic::samplegen::lampModel(options);
  lamp.image = halvic::samplegen::renderLampImage(lamp.model, options.seed);
  lamp.profile =
      halvic::extractCalProfile(lamp.image, halvic::samplegen::kSampleWidth, 1, 20, false);
  return lamp;
}

halvic::LineCheck check(const LampCheck& lamp, const GratingModel& model) {
  const std::vector<halvic::LineWavelength> lamps = halvic::lampLineWavelengths();
  return halvic::checkCalibration(halvic::LineCheckInputs{lamp.profile.values, lamp.profile.length,
                                                          lamp.image, 1, 20, model, 2.5},
                                  lamps);
}

void BM_CheckFortyLines(benchmark::State& state) {
  const LampCheck lamp = lampCheck(kWideLamp);
  for (auto _ : state) {
    benchmark::DoNotOptimize(check(lamp, lamp.model));
  }
  if (check(lamp, lamp.model).lines.size() != 40) {
    state.SkipWithError("not every lamp line fell on the strip");
  }
}
BENCHMARK(BM_CheckFortyLines)->Unit(benchmark::kMicrosecond);

// The refine on the wide lamp from a two-line solve's typical offsets, marked at its third and
// thirty-eighth lines: identification outwards over all 40 listed lines (those apart from their
// neighbours are identified) and the choice of terms.
void BM_RefineOnFortyLines(benchmark::State& state) {
  const LampCheck lamp = lampCheck(kWideLamp);
  const std::vector<halvic::LineWavelength> listed = halvic::lampLineWavelengths();
  const halvic::LineCheck truth = check(lamp, lamp.model);
  GratingModel start = lamp.model;
  start.alphaDeg += 0.002;
  start.focalLengthMm *= 1.001;
  const auto pixelOf = [&truth](size_t index) {
    return static_cast<float>(std::lround(truth.lines.at(index).measuredPixel.value_or(0.0f)));
  };
  const halvic::LineMarks marks{truth.lines.at(2).wavelength, truth.lines.at(37).wavelength,
                                pixelOf(2), pixelOf(37)};
  const halvic::LampProfile profile{lamp.profile.values, lamp.profile.length, lamp.image, 1, 20};
  halvic::LampRefine result;
  for (auto _ : state) {
    result = halvic::refineOnLampLines(halvic::LampRefineInputs{profile, start, marks, listed});
    benchmark::DoNotOptimize(result);
  }
  state.counters["identified"] = static_cast<double>(result.lines.size());
  state.counters["used"] = result.used;
  if (result.used < 20) {
    state.SkipWithError(("the refine used only " + std::to_string(result.used) + " lines").c_str());
  }
}
BENCHMARK(BM_RefineOnFortyLines)->Unit(benchmark::kMicrosecond);

// The menu command as the user chooses it on the samples' lamp: the check under the two-line
// model, the refine, the checks that settle it, the table and the form (cancelled).
void BM_RefineWithAllLinesCommand(benchmark::State& state) {
  std::ostringstream transcript;
  halvic::ui::HeadlessDialogs dialogs(transcript);
  halvic::ui::HeadlessPrinters printers;
  halvic::MainWindow window(dialogs, printers, nullptr);
  window.Form_Load();
  dialogs.queueOpenFile(std::string(HALVIC_SOURCE_DIR) + "/samples/neon-lamp.kr4");
  window.cmdload2_Click();
  window.control("cbobox").userSelect(2);
  window.control("cboscale").userSelect(8);
  window.control("hsbspectra").userSet(214);
  window.cmdmarkline1_Click();
  window.control("cboscale").userSelect(23);
  window.control("hsbspectra").userSet(590);
  window.cmdmarkline2_Click();
  for (auto _ : state) {
    dialogs.queueForm(std::nullopt);
    window.mnuRefineWithAllLines_Click();
    transcript.str("");
  }
  if (!window.workspace().calibration.calibrated) {
    state.SkipWithError("the lamp did not calibrate");
  }
}
BENCHMARK(BM_RefineWithAllLinesCommand)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

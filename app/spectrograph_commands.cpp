// "Spectrograph..." and "Lamp Lines..." of the Calibration menu: what the user knows of the
// instrument (its grating, the angle between collimator and camera, the pixel size) and which
// lamps' lines the check and the refine look for. Both are remembered between runs.

#include <algorithm>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "calibration/lamp_lines.h"
#include "calibration/line_check.h"
#include "calibration/spectrograph.h"

namespace halvic {

namespace {

constexpr std::string_view kSpectrographTitle = "Spectrograph";
constexpr std::string_view kSpectrographText =
    "Leave a field empty for the program's own choice: the grating from the dispersion, no "
    "angle between collimator and camera, the pixel size of the image header.";
constexpr std::string_view kLampLinesTitle = "Lamp Lines";
constexpr std::string_view kLampLinesText =
    "The lamps whose lines Check Calibration and Refine with All Lines look for; none ticked: the "
    "mercury, neon and argon lines of the line list.";
constexpr std::string_view kPairWithoutSolution =
    "The two lines give no solution; calibration not changed.";
constexpr std::string_view kRefineDropped =
    "The refine was dropped: the two marked lines were solved again for the spectrograph now "
    "set.";

// The remembered settings, one key a field.
constexpr std::string_view kGratingKey = "spectrograph/grating";
constexpr std::string_view kDeviationKey = "spectrograph/deviation";
constexpr std::string_view kPixelKey = "spectrograph/pixel";
constexpr std::string_view kLampKeyPrefix = "lampLines/";

constexpr std::string_view kGratingField = "grating";
constexpr std::string_view kDeviationField = "deviation";
constexpr std::string_view kPixelField = "pixel";

std::string fieldValue(const std::vector<ui::FormField>& fields, std::string_view name) {
  for (const ui::FormField& field : fields) {
    if (field.name == name) {
      return field.value;
    }
  }
  return {};
}

SpectrographTexts textsOf(const std::vector<ui::FormField>& fields) {
  return {fieldValue(fields, kGratingField), fieldValue(fields, kDeviationField),
          fieldValue(fields, kPixelField)};
}

ui::FormRequest spectrographForm(const Spectrograph& shown) {
  const SpectrographTexts texts = spectrographTexts(shown);
  using Kind = ui::FormField::Kind;
  return ui::FormRequest{
      .title = std::string(kSpectrographTitle),
      .text = std::string(kSpectrographText),
      .fields = {{std::string(kGratingField), "Grating (lines/mm)", Kind::Text, texts.grating},
                 {std::string(kDeviationField), "Angle between collimator and camera (degrees)",
                  Kind::Text, texts.deviation},
                 {std::string(kPixelField), "Pixel size (micrometres)", Kind::Text, texts.pixel}},
      .validate = [](const std::vector<ui::FormField>& fields) -> std::optional<std::string> {
        const SpectrographRead read = readSpectrograph(textsOf(fields));
        return read.spectrograph ? std::nullopt : std::optional<std::string>(read.refusal);
      }};
}

std::string lampKey(LampElement element) {
  return std::string(kLampKeyPrefix) + std::string(lampElementSymbol(element));
}

}  // namespace

Calibration MainWindow::withSpectrograph(Calibration calibration,
                                         const Spectrograph& spectrograph) const {
  calibration.spectrograph = spectrograph;
  calibration.model.deviationDeg = spectrograph.deviationDeg.value_or(0.0);
  calibration.model.xPixelSize = pixelSizeInForce(spectrograph);
  return calibration;
}

void MainWindow::useRememberedChoices() {
  const SpectrographTexts remembered{settings().value(kGratingKey).value_or(""),
                                     settings().value(kDeviationKey).value_or(""),
                                     settings().value(kPixelKey).value_or("")};
  // What cannot be read any more (settings edited by hand) is left unset.
  const SpectrographRead read = readSpectrograph(remembered);
  ws_.calibration = withSpectrograph(ws_.calibration, read.spectrograph.value_or(Spectrograph{}));
  ws_.lines.lampElements.clear();
  for (const LampElement element : kLampElements) {
    if (settings().value(lampKey(element)) == "1") {
      ws_.lines.lampElements.push_back(element);
    }
  }
}

void MainWindow::rememberSpectrograph(const Spectrograph& spectrograph) {
  const SpectrographTexts texts = spectrographTexts(spectrograph);
  settings().setValue(kGratingKey, texts.grating);
  settings().setValue(kDeviationKey, texts.deviation);
  settings().setValue(kPixelKey, texts.pixel);
}

void MainWindow::mnuSpectrograph_Click() {
  const std::optional<std::vector<ui::FormField>> fields =
      dialogs_.showForm(spectrographForm(ws_.calibration.spectrograph));
  if (!fields) {
    return;
  }
  const Spectrograph chosen = *readSpectrograph(textsOf(*fields)).spectrograph;
  rememberSpectrograph(chosen);
  const Calibration next = withSpectrograph(ws_.calibration, chosen);
  if (!next.calibrated) {
    // The next solve uses it; the label stays as it is.
    changeCalibration(
        next, CalibrationChange{.name = kSpectrographTitle, .label = CalibrationLabel::AsIs});
    return;
  }
  // The marked lines are solved again, as "Mark Line 2" solves them, for the spectrograph set.
  const std::optional<Solved> solution = solvedAgain(next);
  if (!solution) {
    dialogs_.messageBox(kPairWithoutSolution);
    return;
  }
  const bool refineDropped = ws_.calibration.refinedLines > 0;
  changeToSolved(*solution, CalibrationChange{.name = kSpectrographTitle});
  if (refineDropped) {
    dialogs_.messageBox(kRefineDropped);
  }
}

void MainWindow::mnuLampLines_Click() {
  ui::FormRequest form{.title = std::string(kLampLinesTitle),
                       .text = std::string(kLampLinesText),
                       .fields = {},
                       .validate = {}};
  for (const LampElement element : kLampElements) {
    const bool chosen = std::find(ws_.lines.lampElements.begin(), ws_.lines.lampElements.end(),
                                  element) != ws_.lines.lampElements.end();
    const std::string symbol(lampElementSymbol(element));
    form.fields.push_back(
        {symbol, symbol, ui::FormField::Kind::Check, chosen ? std::string("1") : "0"});
  }
  const std::optional<std::vector<ui::FormField>> fields = dialogs_.showForm(form);
  if (!fields) {
    return;
  }
  std::vector<LampElement> chosen;
  for (size_t index = 0; index < kLampElements.size(); ++index) {
    if ((*fields)[index].value == "1") {
      chosen.push_back(kLampElements[index]);
    }
  }
  chooseLamps(chosen);
}

void MainWindow::chooseLamps(const std::vector<LampElement>& elements) {
  ws_.lines.lampElements = elements;
  for (const LampElement element : kLampElements) {
    const bool chosen = std::find(elements.begin(), elements.end(), element) != elements.end();
    settings().setValue(lampKey(element), chosen ? "1" : "0");
  }
}

std::vector<LineWavelength> MainWindow::lampWavelengths() const {
  return listedLampWavelengths(ws_.lines.lampElements);
}

}  // namespace halvic

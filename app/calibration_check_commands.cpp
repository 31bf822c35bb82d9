// "Check Calibration" of the Calibration menu: every lamp line of the chosen lists measured at the
// lamp's own line width against the model, shown as a table with a residual plot.

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "calibration/calibration_summary.h"
#include "calibration/grating_choice.h"
#include "calibration/grating_solve.h"
#include "calibration/grating_table.h"
#include "calibration/line_check.h"
#include "display/residual_plot.h"
#include "ui/number_format.h"
#include "ui/units.h"

namespace halvic {

namespace {

constexpr std::string_view kCheckTitle = "Check Calibration";
constexpr std::string_view kRefineAction = "Refine with All Lines";
constexpr std::string_view kRowPrefix = "check: ";
constexpr std::string_view kSummaryPrefix = "check-rms: ";
constexpr std::string_view kLinesPrefix = "check-lines: ";
constexpr std::string_view kNoNumber = "-";

/** An automatic choice is flagged when another density's check RMS is this many times smaller. */
constexpr double kBetterGratingFactor = 3.0;

/** A number in the float form of scripts and the CSV, or "-" when the line has none. */
std::string fullCell(const std::optional<double>& value) {
  return value ? ui::shortestText(static_cast<float>(*value)) : std::string(kNoNumber);
}

/** A number rounded to what it means, for the table as shown. */
std::string shownCell(const std::optional<double>& value, std::string_view pattern) {
  return value ? ui::formatNumber(*value, pattern) : std::string(kNoNumber);
}

std::optional<double> measuredOf(const CheckedLine& line) {
  return line.measuredPixel ? std::optional<double>(static_cast<double>(*line.measuredPixel))
                            : std::nullopt;
}

std::vector<std::string> fullRow(const CheckedLine& line) {
  return {line.wavelength.text(),        std::string(lineStatusWord(line.status)),
          fullCell(line.predictedPixel), fullCell(measuredOf(line)),
          fullCell(line.residualA),      fullCell(line.residualPx),
          fullCell(line.residualKms)};
}

// A thousandth of an Angstrom, a hundredth of a column, a tenth of a km/s: what the figures are
// good to, and no more.
std::vector<std::string> shownRow(const CheckedLine& line) {
  return {line.wavelength.text(),
          std::string(lineStatusWord(line.status)),
          shownCell(line.predictedPixel, "0.00"),
          shownCell(measuredOf(line), "0.00"),
          shownCell(line.residualA, "0.000"),
          shownCell(line.residualPx, "0.00"),
          shownCell(line.residualKms, "0.0")};
}

std::string angstroms(double value) { return ui::formatNumber(value, "0.000"); }

}  // namespace

std::string MainWindow::calibrationSummaryText() {
  const Calibration& calibration = ws_.calibration;
  std::string summary =
      calibrationSummary(calibration.model, calibration.dispersionAPerMm, ws_.graph.betaDeg);
  if (calibration.spectrograph.anySet()) {
    summary += "\r\n" + spectrographSettingsLine(calibration.spectrograph);
  }
  if (calibration.refinedLines > 0) {
    summary += "\r\nrefined with " + std::to_string(calibration.refinedLines) + " lines, RMS " +
               ui::formatNumber(calibration.refinedRmsA, "0.00") + " A";
  }
  return summary;
}

LampProfile MainWindow::lampProfile() const {
  const ImageState& lamp = ws_.image(ImageKind::Cal);
  return LampProfile{lamp.profile, lamp.width, lamp.image, lamp.cropRow1, lamp.cropRow2};
}

LineCheck MainWindow::checkWith(const GratingModel& model) const {
  const std::vector<LineWavelength> lamps = lampWavelengths();
  const ImageState& lamp = ws_.image(ImageKind::Cal);
  return checkCalibration(LineCheckInputs{.profile = lamp.profile,
                                          .length = lamp.width,
                                          .image = lamp.image,
                                          .cropRow1 = lamp.cropRow1,
                                          .cropRow2 = lamp.cropRow2,
                                          .model = model,
                                          .lineWidth = lampLineWidth(lampProfile())},
                          lamps);
}

void MainWindow::drawCheckPlot(ui::Raster& plot, const LineCheck& check,
                               const GratingModel& model) const {
  std::vector<ResidualPoint> points;
  const LineMarks& marks = ws_.calibration.marks;
  for (const CheckedLine& line : check.lines) {
    if (line.residualA && line.status == LineStatus::Used) {
      const bool marked =
          line.wavelength == marks.line1Wavelength || line.wavelength == marks.line2Wavelength;
      points.push_back({line.wavelength.value, *line.residualA, marked});
    }
  }
  const int16_t length = ws_.image(ImageKind::Cal).width;
  double betaDeg = 0.0;
  const double first = evaluateGratingModel(model, 1.0, betaDeg);
  const double last = evaluateGratingModel(model, static_cast<double>(length), betaDeg);
  const double step = length > 1 ? std::fabs(last - first) / (length - 1) : 0.0;
  drawResidualPlot(plot, points, ResidualAxes{std::min(first, last), std::max(first, last), step});
}

ui::TableRequest MainWindow::checkTable(const LineCheck& check, const GratingModel& model,
                                        std::string_view title, const ui::Raster& plot) const {
  ui::TableRequest table;
  table.title = title;
  table.columns = {"Wavelength (A)", "Status",        "Predicted pixel", "Measured pixel",
                   "Residual (A)",   "Residual (px)", "Residual (km/s)"};
  for (const CheckedLine& line : check.lines) {
    table.rows.push_back(shownRow(line));
    table.fullRows.push_back(fullRow(line));
  }
  table.summaryLabels = {"RMS (A)", "RMS (km/s)", "Used lines"};
  table.summaryCells = {fullCell(check.rmsA), fullCell(check.rmsKms), std::to_string(check.used)};
  const bool found = check.used > 0;
  table.feet.push_back(ui::TableFoot{
      .labels = {"Lines on the strip", "Found", "From (A)", "To (A)"},
      .cells = {std::to_string(check.lines.size()), std::to_string(check.used),
                fullCell(found ? std::optional<double>(check.fromA) : std::nullopt),
                fullCell(found ? std::optional<double>(check.toA) : std::nullopt)},
      .prefix = std::string(kLinesPrefix)});
  table.note = "Grating " +
               gratingName(ws_.calibration.spectrograph.linesPerMm, model.grooveSpacingUm) +
               ", lines measured " + ui::formatNumber(lampLineWidth(lampProfile()), "0.0") +
               " pixels wide";
  table.picture = &plot;
  table.rowPrefix = kRowPrefix;
  table.summaryPrefix = kSummaryPrefix;
  table.exportName = "calibration-check.csv";
  return table;
}

void MainWindow::flagBetterGrating(const LineCheck& check) {
  const Calibration& calibration = ws_.calibration;
  if (calibration.spectrograph.linesPerMm || !check.rmsA) {
    return;
  }
  const double automaticDensity = kMicrometresPerMillimetre / calibration.model.grooveSpacingUm;
  std::optional<double> bestDensity;
  double bestRms = *check.rmsA / kBetterGratingFactor;
  for (const TableGrating& grating : kGratingTable) {
    const double density = grating.linesPerMm;
    if (std::fabs(density - automaticDensity) < 1.0) {
      continue;
    }
    const SolveResult other = halvic::solveGratingModel(calibration.model, calibration.marks,
                                                        calibration.dispersionAPerMm, false,
                                                        grooveSpacingOfDensity(density));
    if (!other.solved) {
      continue;
    }
    const LineCheck otherCheck = checkWith(other.model);
    // The two marked lines fit any grating, so a density only counts when it finds at least as
    // many clean lines, and enough to say more than the marks do.
    const bool comparable =
        otherCheck.rmsA && otherCheck.used >= check.used && otherCheck.used >= kFewestRefineLines;
    if (comparable && *otherCheck.rmsA < bestRms) {
      bestDensity = density;
      bestRms = *otherCheck.rmsA;
    }
  }
  if (bestDensity) {
    dialogs_.messageBox("The automatic grating, " + ui::formatNumber(automaticDensity, "0") +
                        " lines/mm, leaves a check RMS of " + angstroms(*check.rmsA) + " A; " +
                        ui::shortestText(*bestDensity) + " lines/mm gives " + angstroms(bestRms) +
                        " A. Choose it with Calibration > Spectrograph.");
  }
}

void MainWindow::mnuCheckCalibration_Click() {
  const LineCheck check = checkWith(gratingModel());
  ui::Raster plot(kResidualPlotWidth, kResidualPlotHeight, kResidualPlotBackground);
  drawCheckPlot(plot, check, gratingModel());
  ui::TableRequest table = checkTable(check, gratingModel(), kCheckTitle, plot);
  table.actions = {std::string(kRefineAction)};
  const std::optional<std::string> action = dialogs_.showTable(table);
  flagBetterGrating(check);
  if (action == kRefineAction) {
    mnuRefineWithAllLines_Click();
  }
}

}  // namespace halvic

// "Check Calibration", "Refine with All Lines" and "Grating" of the Calibration menu: every lamp
// line of the list measured against the model, a least-squares fit of the model to them all, and
// the grating the solve assumes.

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "calibration/calibration_summary.h"
#include "calibration/grating_choice.h"
#include "calibration/grating_refine.h"
#include "calibration/grating_solve.h"
#include "calibration/grating_table.h"
#include "calibration/line_check.h"
#include "display/residual_plot.h"
#include "ui/number_format.h"
#include "ui/units.h"

namespace halvic {

namespace {

constexpr std::string_view kCheckTitle = "Check Calibration";
constexpr std::string_view kRefinedTitle = "Refined Calibration";
constexpr std::string_view kRefineAction = "Refine with All Lines";
constexpr std::string_view kRowPrefix = "check: ";
constexpr std::string_view kSummaryPrefix = "check-rms: ";
constexpr std::string_view kNoNumber = "-";

constexpr std::string_view kTooFewLines = "Too few lamp lines to refine; calibration not changed.";
constexpr std::string_view kNotConverged = "The refine did not converge; calibration not changed.";

constexpr std::string_view kApplyField = "apply";
constexpr std::string_view kApplyLabel = "Apply the refined model";

/** Rounds of fitting and measuring again before the refine takes what it has. */
constexpr int kMostRefineRounds = 4;

/** An automatic choice is flagged when another density's check RMS is this many times smaller. */
constexpr double kBetterGratingFactor = 3.0;

std::string numberCell(const std::optional<double>& value) {
  return value ? ui::shortestText(static_cast<float>(*value)) : std::string(kNoNumber);
}

std::vector<std::string> checkRow(const CheckedLine& line) {
  const std::optional<double> measured =
      line.measuredPixel ? std::optional<double>(static_cast<double>(*line.measuredPixel))
                         : std::nullopt;
  return {line.wavelength.text(),          std::string(lineStatusWord(line.status)),
          numberCell(line.predictedPixel), numberCell(measured),
          numberCell(line.residualA),      numberCell(line.residualPx),
          numberCell(line.residualKms)};
}

std::vector<RefineLine> usedLines(const LineCheck& check) {
  std::vector<RefineLine> lines;
  for (const CheckedLine& line : check.lines) {
    if (line.status == LineStatus::Used) {
      lines.push_back({static_cast<double>(*line.measuredPixel), line.wavelength.value});
    }
  }
  return lines;
}

std::string angstroms(double value) { return ui::formatNumber(value, "0.000"); }

/** What the refine's form shows above its check box. */
std::string refineReport(const RefineResult& result, int twoLineUsed) {
  const std::string lineBreak = "\r\n";
  return "RMS of the two-line model: " + angstroms(result.rmsBeforeA) + " A over " +
         std::to_string(twoLineUsed) + " lines" + lineBreak +
         "RMS of the refined model: " + angstroms(result.rmsAfterA) + " A over " +
         std::to_string(result.linesKept) + " lines" + lineBreak +
         "Alpha Angle (deg) = " + ui::formatNumber(result.model.alphaDeg, "0.00000") + " +/- " +
         ui::formatNumber(result.alphaErrorDeg, "0.00000") + lineBreak +
         "Focal length (mm) = " + ui::formatNumber(result.model.focalLengthMm, "0.000") + " +/- " +
         ui::formatNumber(result.focalLengthErrorMm, "0.000");
}

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

LineCheck MainWindow::checkWith(const GratingModel& model) const {
  const std::vector<LineWavelength> lamps = lampWavelengths();
  const ImageState& lamp = ws_.image(ImageKind::Cal);
  return checkCalibration(LineCheckInputs{.profile = lamp.profile,
                                          .length = lamp.width,
                                          .image = lamp.image,
                                          .cropRow1 = lamp.cropRow1,
                                          .cropRow2 = lamp.cropRow2,
                                          .model = model,
                                          .width = ws_.lines.centroidWidth},
                          lamps);
}

std::optional<std::string> MainWindow::showCheck(const LineCheck& check, const GratingModel& model,
                                                 std::string_view title, bool offerRefine) {
  ui::TableRequest table;
  table.title = title;
  table.columns = {"Wavelength (A)", "Status",        "Predicted pixel", "Measured pixel",
                   "Residual (A)",   "Residual (px)", "Residual (km/s)"};
  std::vector<ResidualPoint> points;
  for (const CheckedLine& line : check.lines) {
    table.rows.push_back(checkRow(line));
    if (line.residualA) {
      const LineMarks& marks = ws_.calibration.marks;
      const bool marked =
          line.wavelength == marks.line1Wavelength || line.wavelength == marks.line2Wavelength;
      points.push_back({line.wavelength.value, *line.residualA, marked});
    }
  }
  table.summaryLabels = {"RMS (A)", "RMS (km/s)", "Used lines"};
  table.summaryCells = {numberCell(check.rmsA), numberCell(check.rmsKms),
                        std::to_string(check.used)};
  table.note = "Grating " +
               gratingName(ws_.calibration.spectrograph.linesPerMm, model.grooveSpacingUm) +
               ", centroid width " + std::to_string(ws_.lines.centroidWidth) + " pixels";
  ui::Raster plot(kResidualPlotWidth, kResidualPlotHeight, kResidualPlotBackground);
  drawResidualPlot(plot, points);
  table.picture = &plot;
  if (offerRefine) {
    table.actions = {std::string(kRefineAction)};
  }
  table.rowPrefix = kRowPrefix;
  table.summaryPrefix = kSummaryPrefix;
  table.exportName = "calibration-check.csv";
  return dialogs_.showTable(table);
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
  const std::optional<std::string> action = showCheck(check, gratingModel(), kCheckTitle, true);
  flagBetterGrating(check);
  if (action == kRefineAction) {
    mnuRefineWithAllLines_Click();
  }
}

MainWindow::RefinedCheck MainWindow::refineUntilSteady() {
  const LineCheck twoLine = checkWith(gratingModel());
  RefinedCheck refined{refineGratingModel(gratingModel(), usedLines(twoLine)), twoLine};
  // The lines were measured in windows the two-line model placed; measured again where the
  // refined model puts them, a line may come out cleaner or not at all. The fit is repeated on
  // the lines measured under its own result until they no longer change.
  for (int round = 1; round < kMostRefineRounds && refined.result.status == RefineStatus::Refined;
       ++round) {
    const std::vector<RefineLine> fitted = usedLines(refined.check);
    refined.check = checkWith(refined.result.model);
    const std::vector<RefineLine> remeasured = usedLines(refined.check);
    if (remeasured == fitted) {
      break;
    }
    RefineResult again = refineGratingModel(refined.result.model, remeasured);
    again.rmsBeforeA = refined.result.rmsBeforeA;
    refined.result = again;
  }
  if (refined.result.status == RefineStatus::Refined) {
    refined.check = checkWith(refined.result.model);
  }
  refined.twoLineUsed = twoLine.used;
  return refined;
}

void MainWindow::mnuRefineWithAllLines_Click() {
  const RefinedCheck refined = refineUntilSteady();
  const RefineResult& result = refined.result;
  if (result.status == RefineStatus::TooFewLines) {
    dialogs_.messageBox(kTooFewLines);
    return;
  }
  if (result.status != RefineStatus::Refined) {
    dialogs_.messageBox(kNotConverged);
    return;
  }
  showCheck(refined.check, result.model, kRefinedTitle, false);
  const ui::FormRequest form{
      .title = std::string(kRefineAction),
      .text = refineReport(result, refined.twoLineUsed),
      .fields = {ui::FormField{std::string(kApplyField), std::string(kApplyLabel),
                               ui::FormField::Kind::Check, "0"}},
      .validate = {}};
  const auto answer = dialogs_.showForm(form);
  if (!answer || answer->empty() || answer->front().value != "1") {
    return;  // the two-line model stays
  }
  Calibration next = ws_.calibration;
  next.model.alphaDeg = result.model.alphaDeg;
  next.model.focalLengthMm = result.model.focalLengthMm;
  next.refinedLines = result.linesKept;
  next.refinedRmsA = result.rmsAfterA;
  changeCalibration(next, CalibrationChange{.name = kRefineAction});
}

}  // namespace halvic

// "Refine with All Lines" of the Calibration menu: the model refined on the lamp's own lines and
// shown beside the model in force in one dialog; applied through the calibration's door.

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "calibration/lamp_refine.h"
#include "calibration/lamp_reidentify.h"
#include "display/residual_plot.h"
#include "ui/number_format.h"

namespace halvic {

namespace {

constexpr std::string_view kRefineAction = "Refine with All Lines";
constexpr std::string_view kReidentifyAction = "Re-identify on This Lamp";
constexpr std::string_view kNotReidentified = "Lamp not re-identified: ";
constexpr std::string_view kRefinedTitle = "Refined Calibration";
constexpr std::string_view kApplyAction = "Apply";
constexpr std::string_view kApplyField = "apply";
constexpr std::string_view kRefinePrefix = "refine: ";

constexpr std::string_view kTooFewLines = "Too few lamp lines to refine; calibration not changed.";
constexpr std::string_view kNotConverged = "The refine did not converge; calibration not changed.";
constexpr std::string_view kNotImproved =
    "The refined model predicts the lamp lines no better than the model in force; calibration "
    "not changed.";

/** One row of the side-by-side comparison, its columns padded for a fixed-width font. */
std::string comparisonRow(std::string_view label, std::string_view before, std::string_view after) {
  constexpr size_t kLabelWidth = 24;
  constexpr size_t kValueWidth = 20;
  std::string row(label);
  row.resize(std::max(kLabelWidth, row.size() + 1), ' ');
  row += before;
  row.resize(std::max(kLabelWidth + kValueWidth, row.size() + 1), ' ');
  return row + std::string(after);
}

struct TermRow {
  ModelTerm term;
  std::string_view label;
  std::string_view pattern;
};

constexpr std::array kTermRows{TermRow{ModelTerm::Alpha, "alpha (deg)", "0.00000"},
                               TermRow{ModelTerm::FocalLength, "focal (mm)", "0.000"},
                               TermRow{ModelTerm::Deviation, "deviation (deg)", "0.00000"},
                               TermRow{ModelTerm::Distortion3, "distortion3", "0.00000"},
                               TermRow{ModelTerm::Distortion2, "distortion2", "0.00000"}};

/** The model in force and the refined one side by side: each term, the errors, the lines. */
std::string comparisonText(const GratingModel& before, const LampRefine& refined) {
  const std::string lineBreak = "\r\n";
  std::string text = comparisonRow("", "In force", "Refined") + lineBreak;
  for (const TermRow& row : kTermRows) {
    std::string after = ui::formatNumber(termValue(refined.model, row.term), row.pattern);
    for (size_t i = 0; i < refined.terms.size(); ++i) {
      if (refined.terms[i] == row.term && i < refined.standardErrors.size()) {
        after += " +/- " + ui::formatNumber(refined.standardErrors[i], row.pattern);
      }
    }
    text += comparisonRow(row.label, ui::formatNumber(termValue(before, row.term), row.pattern),
                          after) +
            lineBreak;
  }
  text += comparisonRow("Error at the lines (px)",
                        ui::formatNumber(refined.startRmsPx, "0.000") + " RMS",
                        ui::formatNumber(refined.leaveOneOutPx, "0.000") + " leave-one-out") +
          lineBreak;
  text += comparisonRow("RMS (A)", ui::formatNumber(refined.startRmsA, "0.000"),
                        ui::formatNumber(refined.rmsA, "0.000")) +
          lineBreak;
  text += comparisonRow("Lines used", std::to_string(refined.used), std::to_string(refined.used)) +
          lineBreak;
  text += comparisonRow("Lines rejected", "-", std::to_string(refined.rejected));
  return text;
}

std::string termList(const LampRefine& refined) {
  std::string terms;
  for (const ModelTerm term : refined.terms) {
    if (!terms.empty()) {
      terms.push_back(',');
    }
    terms.append(termName(term));
  }
  return terms;
}

}  // namespace

bool MainWindow::askToApplyRefine(const LampRefine& refined) {
  const LineCheck check = checkWith(refined.model);
  ui::Raster plot(kResidualPlotWidth, kResidualPlotHeight, kResidualPlotBackground);
  drawCheckPlot(plot, check, refined.model);
  ui::TableRequest table = checkTable(check, refined.model, kRefinedTitle, plot);
  table.text = comparisonText(gratingModel(), refined);
  table.feet.push_back(
      ui::TableFoot{.labels = {"Terms", "RMS (A)", "Used", "Rejected"},
                    .cells = {termList(refined), ui::shortestText(static_cast<float>(refined.rmsA)),
                              std::to_string(refined.used), std::to_string(refined.rejected)},
                    .prefix = std::string(kRefinePrefix)});
  if (!refined.improved()) {
    table.note += "; the refined model is no better than the model in force";
  }
  table.actions = {std::string(kApplyAction)};
  table.closeLabel = "Cancel";
  table.defaultAction = refined.improved() ? std::optional<size_t>(0) : std::nullopt;
  table.actionsEnabled = refined.improved();
  table.answerField = kApplyField;
  return dialogs_.showTable(table) == kApplyAction;
}

void MainWindow::mnuRefineWithAllLines_Click() {
  const std::vector<LineWavelength> listed = lampWavelengths();
  const LampRefine refined =
      refineOnLampLines(LampRefineInputs{lampProfile(), gratingModel(), ws_.calibration.marks,
                                         listed, ws_.lines.lampElements.empty()});
  if (refined.status == RefineStatus::TooFewLines) {
    dialogs_.messageBox(kTooFewLines);
    return;
  }
  if (refined.status != RefineStatus::Refined) {
    dialogs_.messageBox(kNotConverged);
    return;
  }
  if (!askToApplyRefine(refined)) {
    return;  // the model in force stays
  }
  if (!refined.improved()) {
    dialogs_.messageBox(kNotImproved);
    return;
  }
  Calibration next = ws_.calibration;
  next.model = refined.model;
  next.refinedLines = refined.used;
  next.refinedRmsA = refined.rmsA;
  changeCalibration(next, CalibrationChange{.name = kRefineAction});
}

// The saved lamp is the one the loaded calibration file was made from; the result replaces the
// calibration at once, as a load does, and "Undo" puts the loaded one back.
void MainWindow::mnuReidentify_Click() {
  const std::vector<LineWavelength> listed = lampWavelengths();
  const Reidentification result = reidentifyOnLamp(ReidentifyInputs{
      ws_.calibration, ws_.calibrationLamp, lampProfile(), listed, ws_.lines.lampElements.empty()});
  if (!result.calibration) {
    dialogs_.messageBox(std::string(kNotReidentified) + result.reason);
    return;
  }
  changeCalibration(*result.calibration, CalibrationChange{.name = kReidentifyAction});
}

}  // namespace halvic

// The line list and the centroid width list.

#include <cmath>
#include <optional>

#include "app/main_window.h"
#include "app/main_window_tooltips.h"
#include "calibration/line_list.h"
#include "ui/number_text.h"

namespace halvic {

namespace {

constexpr std::string_view kLineListToolTip = toolTipOf("cboscale");

/** A manual entry as a 32-bit float, or nullopt when it is not a number a float can hold. */
std::optional<float> manualWavelength(const std::string& text) {
  const std::optional<double> value = ui::parseDecimal(text);
  if (!value) {
    return std::nullopt;
  }
  const auto single = static_cast<float>(*value);
  if (!std::isfinite(single)) {
    return std::nullopt;
  }
  return single;
}

}  // namespace

void MainWindow::cboscale_Click() {
  chooseLine();
  // "Manual Entry" names no wavelength of its own: the tip tells which one is in force.
  const bool manual = control("cboscale").listIndex() == static_cast<int>(lineList().size());
  control("cboscale")
      .setToolTip(manual ? "The wavelength in force: " + ws_.lines.selectedWavelength.text() +
                               " Angstroms"
                         : std::string(kLineListToolTip));
}

void MainWindow::chooseLine() {
  const int index = control("cboscale").listIndex();
  const auto lines = lineList();
  if (index >= 0 && index < static_cast<int>(lines.size())) {
    ws_.lines.selectedWavelength = lines[static_cast<size_t>(index)].wavelength;
    return;
  }
  if (index != static_cast<int>(lines.size())) {
    return;  // no selection
  }
  const std::optional<std::string> answer =
      dialogs_.inputBox("Enter wavelength of selected line in Angstroms", "Manual Wavelength Entry",
                        kStartLineWavelength.text());
  if (!answer) {
    return;  // cancelled: the line chosen before stays in force
  }
  const std::optional<float> wavelength = manualWavelength(*answer);
  if (!wavelength) {
    dialogs_.messageBox("Wavelength not understood; line not changed!");
    return;
  }
  ws_.lines.selectedWavelength = LineWavelength::fromSingle(*wavelength);
}

void MainWindow::cbobox_Click() {
  const int index = control("cbobox").listIndex();
  const auto widths = centroidWidthList();
  if (index >= 0 && index < static_cast<int>(widths.size())) {
    ws_.lines.centroidWidth = widths[static_cast<size_t>(index)].width;
  }
  if (ws_.lines.centroidWidth != ws_.lines.lastCentroidWidth) {
    drawGraph();
    ws_.lines.lastCentroidWidth = ws_.lines.centroidWidth;
  }
}

}  // namespace halvic

// "Print Graph": the graphed profile on one page of the default printer, with no dialog.

#include <memory>

#include "app/command_failures.h"
#include "app/main_window.h"

namespace halvic {

namespace {

constexpr std::string_view kPrinted = "One page has been sent to your printer.";

}  // namespace

GraphPrintout MainWindow::drawPrintedGraph(ui::PrinterCanvas& canvas) const {
  std::optional<GratingModel> calibration;
  if (ws_.calibration.calibrated) {
    calibration = gratingModel();
  }
  return drawGraphPrintout(canvas, GraphPrintoutInputs{.profile = ws_.graph.profile,
                                                       .profileMax = ws_.graph.profileMax,
                                                       .profileMin = ws_.graph.profileMin,
                                                       .title = ws_.graphedImage().caption,
                                                       .calibration = calibration});
}

void MainWindow::cmdprint_Click() {
  const std::unique_ptr<ui::PrinterCanvas> canvas = printers_.startJob();
  if (!canvas) {
    dialogs_.messageBox(kNotPrinted);
    return;
  }
  const GraphPrintout printout = drawPrintedGraph(*canvas);
  if (printout.lastEvaluated) {
    ws_.graph.pixelWavelength = printout.lastEvaluated->wavelength;
    ws_.graph.betaDeg = printout.lastEvaluated->betaDeg;
  }
  // A page that could not be drawn whole is never ended: the canvas drops the job unsent.
  if (!printout.drawn || !canvas->endDocument()) {
    dialogs_.messageBox(kNotPrinted);
    return;
  }
  dialogs_.messageBox(kPrinted);
}

}  // namespace halvic

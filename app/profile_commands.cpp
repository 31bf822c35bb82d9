// Profiles, the graph, and the commands that choose or change what the graph shows.

#include "app/main_window.h"
#include "spectrum/graph_rendering.h"

namespace halvic {

ExtractionOptions MainWindow::extractionOptions() const {
  return ExtractionOptions{control("chkmedian").value() != 0, control("chkfilter").value() != 0,
                           control("smoothing").value() != 0};
}

void MainWindow::showProfile(const ExtractedProfile& extracted) {
  ws_.profile = extracted.values;
  ws_.profileLength = extracted.length;
  ws_.profileMax = extracted.max;
  ws_.profileMin = extracted.min;
}

void MainWindow::extractDataProfile() {
  const ExtractedProfile extracted = halvic::extractDataProfile(
      ws_.dataImage, ws_.dataWidth, ws_.dataCropRow1, ws_.dataCropRow2, extractionOptions());
  ws_.dataProfile = extracted.values;
  showProfile(extracted);
}

void MainWindow::extractCalProfile() {
  const ExtractedProfile extracted = halvic::extractCalProfile(
      ws_.calImage, ws_.calWidth, ws_.calCropRow1, ws_.calCropRow2, extractionOptions().smoothing);
  ws_.calProfile = extracted.values;
  showProfile(extracted);
}

// The graph, the marked frame and label and the outputs always stand for one profile: while the
// cal profile is graphed, a new data extraction goes only into the data profile's copy (which the
// expanded data strip shows) and the graph keeps the cal profile.
void MainWindow::refreshDataProfile() {
  if (!ws_.graphShowsCal) {
    extractDataProfile();
    return;
  }
  ws_.dataProfile = halvic::extractDataProfile(ws_.dataImage, ws_.dataWidth, ws_.dataCropRow1,
                                               ws_.dataCropRow2, extractionOptions())
                        .values;
}

GraphInputs MainWindow::graphInputs() const {
  GraphScale scale = GraphScale::Autoscaled;
  if (ws_.linearGraph) {
    scale = GraphScale::Linear;
  } else if (ws_.logGraph) {
    scale = GraphScale::Log;
  } else if (ws_.pushedGraph) {
    scale = GraphScale::Pushed;
  }
  return GraphInputs{ws_.profile,     ws_.profileLength, ws_.profileMax, ws_.profileMin,
                     ws_.cursorPixel, ws_.centroidWidth, scale};
}

void MainWindow::drawGraph() { halvic::drawGraph(graph_, graphInputs()); }

void MainWindow::markCurrentImage(ImageKind kind) {
  const ImageSlot current = imageSlot(ws_, kind);
  const ImageSlot other = imageSlot(ws_, otherImage(kind));
  control(current.frame).setBorderColour(ui::kRed);
  control(other.frame).setBorderColour(ui::kBlack);
  control(current.label).setForeColour(ui::kRed);
  control(other.label).setForeColour(ui::kBlack);
}

void MainWindow::graphImage(ImageKind kind) {
  if (kind == ImageKind::Data) {
    extractDataProfile();
  } else {
    extractCalProfile();
  }
  markCurrentImage(kind);
  graph_.clear();
  ws_.graphShowsCal = kind == ImageKind::Cal;
  drawGraph();
}

void MainWindow::cmdcalcspectra_Click() { graphImage(ImageKind::Data); }

void MainWindow::Cmdcalccal_Click() { graphImage(ImageKind::Cal); }

void MainWindow::chooseScale(MainControl option, bool& flag) {
  control(option).setValue(1);  // clears the other three option buttons
  ws_.linearGraph = false;
  ws_.logGraph = false;
  ws_.autoscaledGraph = false;
  ws_.pushedGraph = false;
  flag = true;
  drawGraph();
}

void MainWindow::Lingraph_Click() { chooseScale("Lingraph", ws_.linearGraph); }

void MainWindow::loggraph_Click() { chooseScale("loggraph", ws_.logGraph); }

void MainWindow::autograph_Click() { chooseScale("autograph", ws_.autoscaledGraph); }

void MainWindow::pushgraph_Click() { chooseScale("pushgraph", ws_.pushedGraph); }

void MainWindow::chkmedian_Click() {
  refreshDataProfile();
  drawGraph();
  if (expandChecked()) {
    drawDataStrip();
  }
}

void MainWindow::chkfilter_Click() { chkmedian_Click(); }

void MainWindow::smoothing_Click() {
  if (ws_.graphShowsCal) {
    refreshDataProfile();
    extractCalProfile();
  } else {
    ws_.calProfile = halvic::extractCalProfile(ws_.calImage, ws_.calWidth, ws_.calCropRow1,
                                               ws_.calCropRow2, extractionOptions().smoothing)
                         .values;
    extractDataProfile();
  }
  drawGraph();
  if (expandChecked()) {
    drawDataStrip();
    drawCalStrip();
  }
}

}  // namespace halvic

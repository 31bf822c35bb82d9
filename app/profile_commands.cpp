// Profiles, the graph, and the commands that choose or change what the graph shows.

#include "app/main_window.h"
#include "spectrum/graph_rendering.h"

namespace halvic {

ExtractionOptions MainWindow::extractionOptions() const {
  return ExtractionOptions{control("chkmedian").value() != 0, control("chkfilter").value() != 0,
                           control("smoothing").value() != 0};
}

void MainWindow::showProfile(const ExtractedProfile& extracted) {
  ws_.graph.profile = extracted.values;
  ws_.graph.profileLength = extracted.length;
  ws_.graph.profileMax = extracted.max;
  ws_.graph.profileMin = extracted.min;
}

namespace {

ExtractedProfile extractedData(const ImageState& data, ExtractionOptions options) {
  return halvic::extractDataProfile(data.image, data.width, data.cropRow1, data.cropRow2, options);
}

ExtractedProfile extractedCal(const ImageState& cal, bool smoothing) {
  return halvic::extractCalProfile(cal.image, cal.width, cal.cropRow1, cal.cropRow2, smoothing);
}

}  // namespace

void MainWindow::extractDataProfile() {
  const ExtractedProfile extracted = extractedData(ws_.image(ImageKind::Data), extractionOptions());
  ws_.image(ImageKind::Data).profile = extracted.values;
  showProfile(extracted);
}

void MainWindow::extractCalProfile() {
  const ExtractedProfile extracted =
      extractedCal(ws_.image(ImageKind::Cal), extractionOptions().smoothing);
  ws_.image(ImageKind::Cal).profile = extracted.values;
  showProfile(extracted);
}

// The graph, the marked frame and label and the outputs always stand for one profile: while the
// cal profile is graphed, a new data extraction goes only into the data profile's copy (which the
// expanded data strip shows) and the graph keeps the cal profile.
void MainWindow::refreshDataProfile() {
  if (!ws_.graph.showsCal) {
    extractDataProfile();
    return;
  }
  ws_.image(ImageKind::Data).profile =
      extractedData(ws_.image(ImageKind::Data), extractionOptions()).values;
}

GraphInputs MainWindow::graphInputs() const {
  const GraphState& graph = ws_.graph;
  return GraphInputs{graph.profile,     graph.profileLength,     graph.profileMax, graph.profileMin,
                     graph.cursorPixel, ws_.lines.centroidWidth, graph.scale};
}

void MainWindow::drawGraph() { halvic::drawGraph(graph_, graphInputs()); }

// A profile extracted again has new values under the cursor: the read-out follows at once, as a
// cursor change would, rather than showing the old profile's value until the cursor moves.
void MainWindow::redrawGraphedProfile() {
  drawGraph();
  showReadout();
}

void MainWindow::markCurrentImage(ImageKind kind) {
  const ImageControls& current = imageControls(kind);
  const ImageControls& other = imageControls(otherImage(kind));
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
  ws_.graph.showsCal = kind == ImageKind::Cal;
  redrawGraphedProfile();
}

void MainWindow::cmdcalcspectra_Click() { graphImage(ImageKind::Data); }

void MainWindow::Cmdcalccal_Click() { graphImage(ImageKind::Cal); }

void MainWindow::chooseScale(MainControl option, GraphScale scale) {
  control(option).setValue(1);  // clears the other three option buttons
  ws_.graph.scale = scale;
  drawGraph();
}

void MainWindow::Lingraph_Click() { chooseScale("Lingraph", GraphScale::Linear); }

void MainWindow::loggraph_Click() { chooseScale("loggraph", GraphScale::Log); }

void MainWindow::autograph_Click() { chooseScale("autograph", GraphScale::Autoscaled); }

void MainWindow::pushgraph_Click() { chooseScale("pushgraph", GraphScale::Pushed); }

void MainWindow::chkmedian_Click() {
  refreshDataProfile();
  redrawGraphedProfile();
  if (expandChecked()) {
    drawDataStrip();
  }
}

void MainWindow::chkfilter_Click() { chkmedian_Click(); }

void MainWindow::smoothing_Click() {
  if (ws_.graph.showsCal) {
    refreshDataProfile();
    extractCalProfile();
  } else {
    ws_.image(ImageKind::Cal).profile =
        extractedCal(ws_.image(ImageKind::Cal), extractionOptions().smoothing).values;
    extractDataProfile();
  }
  redrawGraphedProfile();
  if (expandChecked()) {
    drawDataStrip();
    drawCalStrip();
  }
}

}  // namespace halvic

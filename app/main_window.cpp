#include "app/main_window.h"

#include "app/main_window_layout.h"
#include "app/main_window_menus.h"
#include "app/main_window_tooltips.h"
#include "calibration/line_list.h"
#include "ui/number_format.h"

namespace halvic {

namespace {

constexpr ui::Place kGraphArea = mainSpec("Picgraph").drawingArea();

}  // namespace

MainWindow::MainWindow(ui::Dialogs& dialogs, ui::Printers& printers,
                       std::function<void()> endProgram)
    : form_(kMainWindowLayout),
      frmcontrast_(kContrastDialogLayout),
      menus_(kMainWindowMenus),
      window_(kMainWindowLayout.clientWidth, kMainWindowLayout.clientHeight,
              kMainWindowLayout.background),
      graph_(kGraphArea.width, kGraphArea.height, ui::kWindowGrey),
      dialogs_(dialogs),
      printers_(printers),
      endProgram_(std::move(endProgram)) {
  wireHandlers();
  wireMenus();
  guardCommands();
}

void MainWindow::wireMenus() {
  const auto on = [this](MainMenuItem item, void (MainWindow::*handler)()) {
    menuItem(item).setHandler([this, handler] { (this->*handler)(); });
  };
  on("mnuLoadSpectra", &MainWindow::cmdload_Click);
  on("mnuLoadCal", &MainWindow::cmdload2_Click);
  on("mnuOpenFitsObject", &MainWindow::mnuOpenFitsObject_Click);
  on("mnuOpenFitsLamp", &MainWindow::mnuOpenFitsLamp_Click);
  on("mnuExportFits", &MainWindow::mnuExportFits_Click);
  on("mnuExportCsv", &MainWindow::mnuExportCsv_Click);
  on("mnuExit", &MainWindow::cmdexit_Click);
  on("mnuUndo", &MainWindow::mnuUndo_Click);
  on("mnuRedo", &MainWindow::mnuRedo_Click);
  on("mnuSaveCalibration", &MainWindow::mnuSaveCalibration_Click);
  on("mnuLoadCalibration", &MainWindow::mnuLoadCalibration_Click);
  on("mnuCheckCalibration", &MainWindow::mnuCheckCalibration_Click);
  on("mnuRefineWithAllLines", &MainWindow::mnuRefineWithAllLines_Click);
  on("mnuReidentify", &MainWindow::mnuReidentify_Click);
  on("mnuSpectrograph", &MainWindow::mnuSpectrograph_Click);
  on("mnuLampLines", &MainWindow::mnuLampLines_Click);
  on("mnuAbout", &MainWindow::showAbout);
}

void MainWindow::showAbout() {
  dialogs_.messageBox(std::string(kMainWindowLayout.caption) +
                      "\r\nWavelength calibration of long-slit spectra from a grating "
                      "spectrograph.");
}

void MainWindow::wireHandlers() {
  const auto on = [this](MainControl name, std::function<void()> ui::Control::*event,
                         void (MainWindow::*handler)()) {
    control(name).*event = [this, handler] { (this->*handler)(); };
  };
  using C = ui::Control;
  on("cmdexit", &C::onClick, &MainWindow::cmdexit_Click);
  on("cmdload", &C::onClick, &MainWindow::cmdload_Click);
  on("cmdload2", &C::onClick, &MainWindow::cmdload2_Click);
  on("chkexpand", &C::onClick, &MainWindow::chkexpand_Click);
  on("hsbcropdata1", &C::onScroll, &MainWindow::hsbcropdata1_Scroll);
  on("hsbcropdata2", &C::onScroll, &MainWindow::hsbcropdata2_Scroll);
  on("hsbcropcal1", &C::onScroll, &MainWindow::hsbcropcal1_Scroll);
  on("hsbcropcal2", &C::onScroll, &MainWindow::hsbcropcal2_Scroll);
  on("hsbcropdata1", &C::onChange, &MainWindow::hsbcropdata1_Change);
  on("hsbcropdata2", &C::onChange, &MainWindow::hsbcropdata2_Change);
  on("hsbcropcal1", &C::onChange, &MainWindow::hsbcropcal1_Change);
  on("hsbcropcal2", &C::onChange, &MainWindow::hsbcropcal2_Change);
  on("cmdcalcspectra", &C::onClick, &MainWindow::cmdcalcspectra_Click);
  on("Cmdcalccal", &C::onClick, &MainWindow::Cmdcalccal_Click);
  on("Lingraph", &C::onClick, &MainWindow::Lingraph_Click);
  on("loggraph", &C::onClick, &MainWindow::loggraph_Click);
  on("autograph", &C::onClick, &MainWindow::autograph_Click);
  on("pushgraph", &C::onClick, &MainWindow::pushgraph_Click);
  on("chkmedian", &C::onClick, &MainWindow::chkmedian_Click);
  on("chkfilter", &C::onClick, &MainWindow::chkfilter_Click);
  on("smoothing", &C::onClick, &MainWindow::smoothing_Click);
  on("hsbspectra", &C::onScroll, &MainWindow::hsbspectra_Scroll);
  on("hsbspectra", &C::onChange, &MainWindow::hsbspectra_Change);
  on("cboscale", &C::onClick, &MainWindow::cboscale_Click);
  on("cbobox", &C::onClick, &MainWindow::cbobox_Click);
  on("cmdemission", &C::onClick, &MainWindow::cmdemission_Click);
  on("cmdmarkline1", &C::onClick, &MainWindow::cmdmarkline1_Click);
  on("cmdmarkline2", &C::onClick, &MainWindow::cmdmarkline2_Click);
  on("cmdtext", &C::onClick, &MainWindow::cmdtext_Click);
  on("cmdstrip", &C::onClick, &MainWindow::cmdstrip_Click);
  on("cmdprint", &C::onClick, &MainWindow::cmdprint_Click);
  on("cmdcontrast", &C::onClick, &MainWindow::cmdcontrast_Click);
  on("cmdcontrast2", &C::onClick, &MainWindow::cmdcontrast2_Click);
  contrastControl("cmddone").onClick = [this] { cmddone_Click(); };
}

void MainWindow::Form_Load() {
  frmcontrast_.hide();
  for (const ToolTipRow& row : kMainWindowToolTips) {
    control(row.control).setToolTip(std::string(row.text));
  }
  for (const ContrastToolTipRow& row : kContrastDialogToolTips) {
    contrastControl(row.control).setToolTip(std::string(row.text));
  }
  for (const LineListEntry& entry : lineList()) {
    control("cboscale").addItem(std::string(entry.text));
  }
  control("cboscale").addItem(std::string(kManualEntryText));
  control("cboscale").setListIndex(kStartLineIndex);

  // The start values are the workspace's own (kStartModel, the start line and width); the
  // start-up sets them again, so that the start state is the same however the window came
  // into being.
  ws_.pixelPickMode = false;
  ws_.pixelPickImage = 1;
  ws_.lines = LineChoice{};
  ws_.calibration = Calibration{};
  useRememberedChoices();
  ws_.graph.scale = GraphScale::Autoscaled;
  for (const ImageKind kind : kImageKinds) {
    ImageState& image = ws_.image(kind);
    image.cropRow1 = 1;
    image.cropRow2 = kImageRows;
    control(imageControls(kind).cropLabel1).setCaption(ui::labelText(image.cropRow1));
    control(imageControls(kind).cropLabel2).setCaption(ui::labelText(image.cropRow2));
    image.loaded = false;
  }

  for (const WidthListEntry& entry : centroidWidthList()) {
    control("cbobox").addItem(std::string(entry.text));
  }
  control("cbobox").setListIndex(kStartWidthIndex);
  updateCalibrationMenus();
  updateUndoMenus();
}

void MainWindow::cmdexit_Click() {
  if (endProgram_) {
    endProgram_();
  }
}

GratingModel MainWindow::gratingModel() const { return ws_.calibration.model; }

}  // namespace halvic

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
}

void MainWindow::wireMenus() {
  const auto on = [this](std::string_view menu, std::string_view item,
                         void (MainWindow::*handler)()) {
    menus_(menu, item).setHandler([this, handler] { (this->*handler)(); });
  };
  on("File", "Load Spectra", &MainWindow::cmdload_Click);
  on("File", "Load Cal", &MainWindow::cmdload2_Click);
  on("File", "Export FITS", &MainWindow::mnuExportFits_Click);
  on("File", "Export CSV", &MainWindow::mnuExportCsv_Click);
  on("File", "Exit", &MainWindow::cmdexit_Click);
  on("Calibration", "Save Calibration", &MainWindow::mnuSaveCalibration_Click);
  on("Calibration", "Load Calibration", &MainWindow::mnuLoadCalibration_Click);
  on("Calibration", "Check Calibration", &MainWindow::mnuCheckCalibration_Click);
  on("Calibration", "Refine with All Lines", &MainWindow::mnuRefineWithAllLines_Click);
  on("Calibration", "Grating", &MainWindow::mnuGrating_Click);
  on("Help", "About", &MainWindow::showAbout);
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

  ws_.pixelPickMode = false;
  ws_.pixelPickImage = 1;
  ws_.centroidWidth = kStartCentroidWidth;
  ws_.lastCentroidWidth = kStartCentroidWidth;

  ws_.focalLengthMm = kStartModel.focalLengthMm;
  ws_.grooveSpacingUm = kStartModel.grooveSpacingUm;
  ws_.gammaDeg = kStartModel.gammaDeg;
  ws_.degreesPerRadian = kStartModel.degreesPerRadian;
  ws_.selectedLineWavelength = kStartLineWavelength;

  ws_.calibrated = false;
  ws_.focalLengthSolved = false;
  ws_.linearGraph = false;
  ws_.logGraph = false;
  ws_.autoscaledGraph = true;
  ws_.pushedGraph = false;

  ws_.dataCropRow1 = 1;
  ws_.dataCropRow2 = kImageRows;
  ws_.calCropRow1 = 1;
  ws_.calCropRow2 = kImageRows;
  control("lbldatacrop1").setCaption(ui::labelText(ws_.dataCropRow1));
  control("lbldatacrop2").setCaption(ui::labelText(ws_.dataCropRow2));
  control("lblcalcrop1").setCaption(ui::labelText(ws_.calCropRow1));
  control("lblcalcrop2").setCaption(ui::labelText(ws_.calCropRow2));

  ws_.dataLoaded = false;
  ws_.calLoaded = false;

  for (const WidthListEntry& entry : centroidWidthList()) {
    control("cbobox").addItem(std::string(entry.text));
  }
  control("cbobox").setListIndex(kStartWidthIndex);
  updateCalibrationMenus();
}

void MainWindow::cmdexit_Click() {
  if (endProgram_) {
    endProgram_();
  }
}

GratingModel MainWindow::gratingModel() const { return gratingModelOf(ws_); }

}  // namespace halvic

#pragma once

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "app/calibration_history.h"
#include "app/image_controls.h"
#include "app/main_window_layout.h"
#include "app/main_window_menus.h"
#include "app/workspace.h"
#include "calibration/grating_model.h"
#include "calibration/grating_solve.h"
#include "calibration/lamp_refine.h"
#include "calibration/line_check.h"
#include "imagefile/fits_image.h"
#include "imagefile/fits_reduction.h"
#include "imagefile/image_reader.h"
#include "output/calibration_file.h"
#include "output/graph_printout.h"
#include "spectrum/graph_rendering.h"
#include "spectrum/profile_extraction.h"
#include "ui/dialogs.h"
#include "ui/form.h"
#include "ui/menu.h"
#include "ui/printer.h"
#include "ui/raster.h"
#include "ui/settings.h"

namespace halvic {

/**
 * The main window: it owns the workspace, its controls, the contrast dialog and the two drawing
 * surfaces, and holds every command as a handler named after its control and event. The window
 * reaches the screen only through the ui interfaces, so the desktop program and the scripted
 * sessions run this same class.
 */
class MainWindow {
 public:
  /** endProgram is called by "Exit"; the caller ends the event loop or the script. */
  MainWindow(ui::Dialogs& dialogs, ui::Printers& printers, std::function<void()> endProgram);
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  Workspace& workspace() { return ws_; }
  const Workspace& workspace() const { return ws_; }
  ui::Form& form() { return form_; }
  ui::Form& contrastDialog() { return frmcontrast_; }
  /** The menu bar above the client area. */
  ui::MenuBar& menus() { return menus_; }
  /** A menu item; the name is checked against the menu table when the program builds. */
  ui::MenuItem& menuItem(MainMenuItem name) { return menus_[name.name()]; }
  /**
   * Where remembered settings live: in memory unless the program gives the user's own (the
   * desktop program does; scripted sessions keep the default). settings must outlive the window.
   */
  void useSettings(ui::Settings& settings) { settings_ = &settings; }
  ui::Settings& settings() { return *settings_; }
  /** A control of the window; the name is checked against the layout when the program builds. */
  ui::Control& control(MainControl name) { return form_[name.name()]; }
  const ui::Control& control(MainControl name) const { return *form_.find(name.name()); }
  ui::Control& contrastControl(ContrastControl name) { return frmcontrast_[name.name()]; }
  /** The window's persistent drawing: strips, crop marker lines, cursor mark. */
  ui::Raster& windowSurface() { return window_; }
  /** The drawing area of Picgraph. */
  ui::Raster& graphSurface() { return graph_; }
  /**
   * The printed page of the graphed profile drawn on canvas, as "Print Graph" prints it, with the
   * wavelength axis once calibrated; the document is not ended and the workspace is not changed.
   */
  GraphPrintout drawPrintedGraph(ui::PrinterCanvas& canvas) const;

  /** Start-up: fills the lists and sets the start values; runs once, before the window shows. */
  void Form_Load();

  /**
   * Runs a command the user gave outside the controls and the menus (a click on a drawing
   * surface, the wheel, a command of the desktop program alone) as they run theirs: a fault
   * that escapes it is caught, the workspace is put back as it was, and the message "The
   * command failed: REASON" is shown. Nothing escapes.
   */
  void runGuarded(const std::function<void()>& command);

  // Start and stop.
  void cmdexit_Click();
  // Loads.
  void cmdload_Click();
  void cmdload2_Click();
  void mnuOpenFitsObject_Click();
  void mnuOpenFitsLamp_Click();
  // Strips and their contrast.
  void chkexpand_Click();
  void cmdcontrast_Click();
  void cmdcontrast2_Click();
  void cmddone_Click();
  // Crop boxes.
  void hsbcropdata1_Scroll();
  void hsbcropdata2_Scroll();
  void hsbcropcal1_Scroll();
  void hsbcropcal2_Scroll();
  void hsbcropdata1_Change();
  void hsbcropdata2_Change();
  void hsbcropcal1_Change();
  void hsbcropcal2_Change();
  // Graph.
  void cmdcalcspectra_Click();
  void Cmdcalccal_Click();
  void Lingraph_Click();
  void loggraph_Click();
  void autograph_Click();
  void pushgraph_Click();
  void chkmedian_Click();
  void chkfilter_Click();
  void smoothing_Click();
  // Cursor and read-out.
  void hsbspectra_Scroll();
  void hsbspectra_Change();
  /** A click released at window pixel (x, y): on a loaded strip it puts the cursor there. */
  void Form_MouseUp(int x, int y);
  /** A click released at graph pixel (x, y): the cursor goes to the column drawn there. */
  void Picgraph_MouseUp(int x, int y);
  /** The wheel turned over the graph, positive away from the user: one column a notch, as over
   * the cursor's scroll bar (away from the user is towards column 1). */
  void Picgraph_MouseWheel(int steps);
  void cmdemission_Click();
  // Line list and centroid width.
  void cboscale_Click();
  void cbobox_Click();
  // Outputs.
  void cmdtext_Click();
  void cmdstrip_Click();
  void cmdprint_Click();
  // Line marking.
  void cmdmarkline1_Click();
  void cmdmarkline2_Click();
  // Menu commands of their own: exports and calibration files.
  void mnuExportFits_Click();
  void mnuExportCsv_Click();
  void mnuSaveCalibration_Click();
  void mnuLoadCalibration_Click();
  // Calibration menu: undo and redo, check, refine, the spectrograph and the lamps.
  void mnuUndo_Click();
  void mnuRedo_Click();
  void mnuCheckCalibration_Click();
  void mnuRefineWithAllLines_Click();
  void mnuReidentify_Click();
  void mnuSpectrograph_Click();
  void mnuLampLines_Click();
  /** The lamps whose lines the check and the refine look for, remembered for the next run. */
  void chooseLamps(const std::vector<LampElement>& elements);

  /**
   * The one door through which the calibration changes. It puts next in force, keeps the one it
   * replaces for "Undo" under the name of the change (unless the change is an amendment that
   * is no step of its own), and redraws everything that shows the calibration: the expanded
   * strips, the menu items, and the label as `label` asks.
   */
  enum class CalibrationLabel {
    Summary,  // the calibration summary once calibrated, else the cursor read-out
    AsIs,     // what the handler has written there stays
  };
  struct CalibrationChange {
    std::string_view name;  // "Mark Line 1"; empty: an amendment, not a step of its own
    CalibrationLabel label = CalibrationLabel::Summary;
  };
  void changeCalibration(const Calibration& next, const CalibrationChange& change);

 private:
  void wireHandlers();
  void wireMenus();
  /** Every user action on a control or a menu item runs through runCommand. */
  void guardCommands();
  /**
   * Runs command; when a fault escapes it, puts the workspace and the calibration history back
   * as they were and shows fixedFailure with the fault as its reason, or, when fixedFailure is
   * empty, "The command failed: " and the fault. Nothing escapes.
   */
  void runCommand(std::string_view fixedFailure, const std::function<void()>& command);
  void showAbout();
  void fillLists();

  // Loads.
  void loadImage(ImageKind kind);
  /** The open-file dialog, titled after the button that asks. */
  void chooseImageFile(MainControl button);
  /**
   * Reads the chosen file into the image of that kind; the pixel size in force once it is
   * loaded (the header's, else the one before), or nullopt, with its message, when refused.
   */
  std::optional<float> readImageFile(ImageKind kind);
  /**
   * Puts an image read from the chosen file in the workspace as that kind: its pixels, header and
   * the fields scanned from the header; it is a camera file's until the caller says otherwise.
   */
  void commitImage(ImageKind kind, const ImageHeaderFields& fields, const ImageArray& pixels,
                   const HeaderBytes& headerBytes);
  /**
   * Shows the image just committed as that kind: its strip, crop rows, profile and cursor, with
   * pixelSize (the one its header gave, else the one before) in force.
   */
  void showLoadedImage(ImageKind kind, float pixelSize);
  /**
   * "Open FITS Object" and "Open FITS Lamp": a FITS image chosen, read, reduced to a strip by the
   * reduction form and shown as a camera file is; refused with its reason, or cancelled, it
   * leaves the image of that kind and its label as they were.
   */
  void openFitsImage(ImageKind kind);
  /** A reduction taken from the form, with the size of the image's own pixels along it. */
  struct ChosenReduction {
    Reduction reduction;
    std::optional<float> pixelSizeUm;
  };
  /**
   * The reduction form for image, pre-filled as proposed (a lamp's from the FITS object loaded);
   * the pixel size is asked only when neither the spectrograph nor the header gives it. nullopt
   * when the user cancels.
   */
  std::optional<ChosenReduction> chooseReduction(ImageKind kind, const FitsImage& image);
  /**
   * Before an export of the object once calibrated: when the object and the lamp loaded were
   * reduced differently (or one is a camera file and the other a FITS image), says so and
   * returns true; the export then writes nothing.
   */
  bool refuseExportOfDifferentReductions();
  void blackOutStrip(MainControl frameName);
  void placeInFrame(ImageKind kind);
  void resetCropControls(ImageKind kind);
  /** A load's pixel size, the camera's, in force for the calibration and everything kept. */
  void usePixelSize(float pixelSize);
  /** The pixel size the model takes: the spectrograph's when set, else the headers'. */
  float pixelSizeInForce(const Spectrograph& spectrograph) const;

  // The spectrograph and the lamps, remembered between runs.
  /** What the user set last time: the spectrograph, the lamps; read once at start-up. */
  void useRememberedChoices();
  void rememberSpectrograph(const Spectrograph& spectrograph);
  /** calibration with the spectrograph's settings in its model. */
  Calibration withSpectrograph(Calibration calibration, const Spectrograph& spectrograph) const;
  /** The wavelengths of the lamp lines the check and the refine look for, in order. */
  std::vector<LineWavelength> lampWavelengths() const;

  // Profiles.
  ExtractionOptions extractionOptions() const;
  void extractDataProfile();
  void extractCalProfile();
  void showProfile(const ExtractedProfile& extracted);
  void refreshDataProfile();
  /** Draws the graph of a profile just extracted again, and the read-out of its values. */
  void redrawGraphedProfile();

  // Strips.
  void adjustContrast(ImageKind kind);
  void drawDataStrip();
  void drawCalStrip();
  void drawStripOf(ImageKind kind);
  void drawCropMarkerLinesOf(ImageKind kind);
  bool expandChecked();

  // Graph.
  GraphInputs graphInputs() const;
  void drawGraph();
  void graphImage(ImageKind kind);
  void markCurrentImage(ImageKind kind);
  void chooseScale(MainControl option, GraphScale scale);

  // Crop boxes.
  void cropFirstRowScrolled(ImageKind kind);
  void cropSecondRowScrolled(ImageKind kind);
  void cropRowChanged(ImageKind kind, bool firstRow);

  // Exports.
  /** The observing details form, filled in from what was remembered. */
  ui::FormRequest observingForm();
  /** DATE-OBS of the graphed image under the form's UTC offset, when its header dates it. */
  std::optional<std::string> graphedDateObs(const std::vector<ui::FormField>& fields) const;
  void rememberObservingDetails(const std::vector<ui::FormField>& fields);

  // The calibration's door.
  /** Draws again what shows the model: the expanded strips of the loaded images. */
  void redrawModelViews();
  /** The label after a new calibration: its summary once calibrated, else the read-out. */
  void showCalibrationLabel();
  /** Undo and Redo name the change they step over, and are enabled when there is one. */
  void updateUndoMenus();
  /** Puts a step of the history in force through the door. */
  void stepTo(const std::optional<CalibrationHistory::Step>& step);

  // Cursor and read-out.
  void moveCursorMark();
  /** Moves the cursor's scroll bar to column, which raises its change handler when it moves. */
  void moveCursorTo(int column);
  void showReadout();
  void showWavelengthReadout();
  GratingModel gratingModel() const;

  void chooseLine();

  // Line marking.
  /** The centroid under the cursor; nullopt, with its message, when none. */
  std::optional<float> centroidLine();
  /** A solved calibration and the angle of the solve's last evaluation. */
  struct Solved {
    Calibration calibration;
    double betaDeg = 0.0;
  };
  /**
   * calibration with its model solved (a full solve unless focalLengthSolved, then the alpha
   * re-fit), as a new solve stands: without a refine. nullopt when it cannot be solved.
   */
  std::optional<Solved> solved(Calibration calibration) const;
  /** calibration with the full solve of its two marked lines run again; nullopt when it fails. */
  std::optional<Solved> solvedAgain(Calibration calibration) const;
  /** A solve's calibration through the door, its last evaluation's angle left as the solve's. */
  void changeToSolved(const Solved& solution, const CalibrationChange& change);

  // Calibration check and refine.
  /** Enables "Check Calibration" and "Refine" once calibrated with a lamp image loaded. */
  void updateCalibrationMenus();
  /** The summary of the calibration in force, with the refine's line while one is applied. */
  std::string calibrationSummaryText();
  /** The lamp's profile as the check and the refine measure it. */
  LampProfile lampProfile() const;
  /** What a saved calibration keeps of how it was made: crops, filters, the lamp's profile. */
  CalibrationSource calibrationSource() const;
  /** Every lamp line of the list measured in the cal profile against model. */
  LineCheck checkWith(const GratingModel& model) const;
  /** A check as a table with its residual plot, not yet shown. */
  ui::TableRequest checkTable(const LineCheck& check, const GratingModel& model,
                              std::string_view title, const ui::Raster& plot) const;
  /** Draws the check's residuals on plot. */
  void drawCheckPlot(ui::Raster& plot, const LineCheck& check, const GratingModel& model) const;
  /** Under the automatic grating, says so when another density checks far better. */
  void flagBetterGrating(const LineCheck& check);
  /** Shows the refine's one dialog; whether the user chose to apply it. */
  bool askToApplyRefine(const LampRefine& refined);

  Workspace ws_;
  CalibrationHistory history_;
  ui::Form form_;
  ui::Form frmcontrast_;
  ui::MenuBar menus_;
  ui::MemorySettings memorySettings_;
  ui::Settings* settings_ = &memorySettings_;
  ui::Raster window_;
  ui::Raster graph_;
  ui::Dialogs& dialogs_;
  ui::Printers& printers_;
  std::function<void()> endProgram_;
  /** Whether "Done" took the contrast dialog's values, rather than its window being closed. */
  bool contrastTaken_ = false;
  /** Where the cursor mark was last drawn, so that it is erased there; none before the first. */
  std::optional<int> cursorMarkX_;
};

}  // namespace halvic

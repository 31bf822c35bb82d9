// The user guide's road, step by step: docs/USER-GUIDE.md tells these steps and shows their
// pictures. The images are those of samples/, whose README gives the true positions of their
// lines and the calibration that two of them give; the expectations below are its figures.

#include "tools/screenshots/guide_steps.h"

#include <array>

#include "tools/screenshots/guide_session.h"

namespace halvic::guide {

namespace {

constexpr QLatin1String kLamp("samples/neon-lamp.kr4");
constexpr QLatin1String kObject("samples/object-spectrum.kr4");
/** The file dialog hands the path on as seen from the folder the program runs in. */
constexpr std::string_view kLampShown = "./samples/neon-lamp.kr4";
constexpr std::string_view kObjectShown = "./samples/object-spectrum.kr4";

// Entry 8 and entry 23 of the line list lie at columns 214.00 and 590.00 of the lamp.
constexpr QLatin1String kFirstLine("5852.488 (Ne)");
constexpr int kFirstLineColumn = 214;
constexpr QLatin1String kSecondLine("6506.528 (Ne)");
constexpr int kSecondLineColumn = 590;
/** The 5-column centroid of the first line is 213.9988. */
constexpr std::string_view kFirstLineMarked = "Pixel 214.00";
/** The two-line solve of the lamp, as the samples' README gives it. */
constexpr std::string_view kCalibrationSummary =
    "Focal length (mm)= -84.20\r\n"
    "Alpha Angle (deg)= 10.683\r\n"
    "Pixel 381 Wavelength (A) = 6143.60\r\n"
    "Dispersion (A/mm) = -193.2738";

// The object's light falls on rows 7 to 14; the other rows hold only the sky.
constexpr int kObjectFirstRow = 7;
constexpr int kObjectLastRow = 14;

/** "Write Text File" writes beside the image, "txt" in place of its last three characters. */
constexpr QLatin1String kTextFile("samples/object-spectrum.txt");
constexpr std::string_view kTextFileSaved = "./samples/object-spectrum.txt saved as text file";

constexpr QLatin1String kFitsName("object-spectrum.fits");
constexpr QLatin1String kFitsCompanion("object-spectrum-pixels.fits");
constexpr std::string_view kFitsSaved = "./object-spectrum.fits saved as FITS file";

constexpr QLatin1String kPrinted("One page has been sent to your printer.");
constexpr QLatin1String kNotPrinted("There was a problem printing to your printer.");

void windowAsItOpens(GuideSession& /*session*/) {}

void loadLamp(GuideSession& session) {
  session.click("cmdload2", {GuideSession::chooseFile(kLamp)});
  session.expectCaption("lblfiledata2", kLampShown);
}

void pickFirstLine(GuideSession& session) { session.pickListEntry("cboscale", kFirstLine, true); }

void cursorOnFirstLine(GuideSession& session) {
  session.dragScrollBar("hsbspectra", kFirstLineColumn);
}

void markFirstLine(GuideSession& session) {
  session.click("cmdmarkline1");
  session.expectCaption("Lblwavelength", kFirstLineMarked);
}

void markSecondLine(GuideSession& session) {
  session.pickListEntry("cboscale", kSecondLine, false);
  session.dragScrollBar("hsbspectra", kSecondLineColumn);
  session.click("cmdmarkline2");
  session.expectCaption("Lblwavelength", kCalibrationSummary);
}

void loadObject(GuideSession& session) {
  session.click("cmdload", {GuideSession::chooseFile(kObject)});
  session.expectCaption("lblfiledata1", kObjectShown);
}

void filterAirglow(GuideSession& session) {
  session.dragScrollBar("hsbcropdata1", kObjectFirstRow);
  session.dragScrollBar("hsbcropdata2", kObjectLastRow);
  session.click("chkfilter");
  session.expectValue("chkfilter", 1);
}

void writeTextFile(GuideSession& session) {
  session.click("cmdtext");
  session.expectCaption("Lblwavelength", kTextFileSaved);
  session.expectFile(kTextFile);
}

void exportFits(GuideSession& session) {
  session.command(
      &MainWindow::mnuExportFits_Click,
      {GuideSession::chooseFile(kFitsName), session.fillForm({{"OBJNAME", "Sample star"},
                                                              {"OBSERVER", "A. Observer"},
                                                              {"BSS_INST", "600 l/mm grating"},
                                                              {"BSS_SITE", "Back garden"},
                                                              {"GEO_LONG", "7.25"},
                                                              {"GEO_LAT", "47.5"},
                                                              {"GEO_ELEV", "420"},
                                                              {"EXPTIME", "300"},
                                                              {"UTC_OFFSET", "-1"}})});
  session.expectCaption("Lblwavelength", kFitsSaved);
  session.expectFile(kFitsName);
  session.expectFile(kFitsCompanion);
}

void printGraph(GuideSession& session) {
  QString message;
  session.click("cmdprint", {session.readMessage(message)});
  session.expect(message == kPrinted || message == kNotPrinted,
                 QStringLiteral("\"Print Graph\" said \"") + message + QLatin1Char('"'));
}

void fileMenu(GuideSession& session) { session.openMenu(QStringLiteral("File")); }

constexpr std::array kGuideSteps{
    GuideStep{"window", windowAsItOpens},        GuideStep{"load-lamp", loadLamp},
    GuideStep{"pick-line", pickFirstLine},       GuideStep{"cursor-on-line", cursorOnFirstLine},
    GuideStep{"mark-line-1", markFirstLine},     GuideStep{"mark-line-2", markSecondLine},
    GuideStep{"load-object", loadObject},        GuideStep{"filter-airglow", filterAirglow},
    GuideStep{"write-text-file", writeTextFile}, GuideStep{"export-fits", exportFits},
    GuideStep{"print-graph", printGraph},        GuideStep{"file-menu", fileMenu},
};

}  // namespace

std::span<const GuideStep> guideSteps() { return kGuideSteps; }

}  // namespace halvic::guide

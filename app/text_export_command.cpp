// "Write Text File": the graphed profile as a text file beside the image it came from.

#include <span>
#include <string>

#include "app/main_window.h"
#include "imagefile/atomic_file.h"
#include "imagefile/regular_file.h"
#include "output/text_export.h"

namespace halvic {

namespace {

constexpr std::string_view kNoImage = "No image loaded; no text file written.";
constexpr std::string_view kNotSaved = "Text file not saved: ";
constexpr std::string_view kSaved = " saved as text file";
constexpr std::string_view kIsTheImage = "it is the image itself";

std::string notSavedMessage(const std::string& fileName, const std::string& reason) {
  return std::string(kNotSaved) + fileName + " (" + reason + ")";
}

}  // namespace

void MainWindow::cmdtext_Click() {
  const std::string imageFileName = ws_.graphedImage().fileName;
  if (imageFileName.empty()) {
    dialogs_.messageBox(kNoImage);
    return;
  }
  if (refuseExportOfDifferentReductions()) {
    return;
  }
  std::optional<GratingModel> calibration;
  if (ws_.calibration.calibrated) {
    calibration = gratingModel();
  }
  const TextExport text = buildTextExport(TextExportInputs{
      .profile = ws_.graph.profile, .length = ws_.graph.profileLength, .calibration = calibration});
  const std::string fileName = textExportName(imageFileName);
  // The one check before writing: an image whose name the export takes would be destroyed.
  if (isSameFile(fileName, imageFileName)) {
    dialogs_.messageBox(notSavedMessage(fileName, std::string(kIsTheImage)),
                        fileName + ": " + std::string(kIsTheImage));
    return;
  }
  // Written whole before anything claims it was saved: a failed write leaves the old file, the
  // label and the workspace as they were.
  if (const auto failure = writeFileAtomically(fileName, std::span<const char>(text.bytes))) {
    dialogs_.messageBox(notSavedMessage(fileName, *failure), fileName + ": " + *failure);
    return;
  }
  if (text.lastEvaluated) {
    ws_.graph.pixelWavelength = text.lastEvaluated->wavelength;
    ws_.graph.betaDeg = text.lastEvaluated->betaDeg;
  }
  ws_.selectedFileName = fileName;
  control("Lblwavelength").setCaption(fileName + std::string(kSaved));
}

}  // namespace halvic

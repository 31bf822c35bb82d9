// "Export CSV...": the graphed profile as comma-separated text for spreadsheets and scripts.

#include <span>
#include <string>

#include "app/main_window.h"
#include "imagefile/atomic_file.h"
#include "output/csv_export.h"
#include "output/export_names.h"

namespace halvic {

namespace {

constexpr std::string_view kNoImage = "No image loaded; nothing exported.";
constexpr std::string_view kNotSaved = "CSV file not saved: ";
constexpr std::string_view kSaved = " saved as CSV file";
constexpr std::string_view kFallbackName = "spectrum";

}  // namespace

void MainWindow::mnuExportCsv_Click() {
  const std::string imagePath = ws_.graphedImage().fileName;
  if (imagePath.empty()) {
    dialogs_.messageBox(kNoImage);
    return;
  }
  if (refuseExportOfDifferentReductions()) {
    return;
  }
  const std::optional<std::string> chosen = dialogs_.saveFile(ui::SaveRequest{
      .title = "Export CSV",
      .filters = {{"CSV Files (*.csv)", "*.csv"}},
      .suggestedName = suggestedExportName(imagePath, kFallbackName, kCsvExtension),
      .filesWritten =
          [](const std::string& path) {
            return std::vector<std::string>{withExtension(path, kCsvExtension)};
          },
  });
  if (!chosen || namesNoFile(*chosen)) {
    return;
  }
  std::optional<GratingModel> calibration;
  if (ws_.calibration.calibrated) {
    calibration = gratingModel();
  }
  const std::string text = buildCsvExport(ws_.graph.profile, ws_.graph.profileLength, calibration);
  const std::string fileName = withExtension(*chosen, kCsvExtension);
  if (const auto failure = writeFileAtomically(fileName, std::span<const char>(text))) {
    dialogs_.messageBox(std::string(kNotSaved) + fileName + " (" + *failure + ")", *failure);
    return;
  }
  control("Lblwavelength").setCaption(fileName + std::string(kSaved));
}

}  // namespace halvic

// "Save Strip Image": the graphed image's profile as a new camera image file.

#include <filesystem>
#include <vector>

#include "app/command_failures.h"
#include "app/main_window.h"
#include "imagefile/atomic_file.h"
#include "imagefile/strip_writer.h"

namespace halvic {

namespace {

constexpr std::string_view kStripPrompt = "Input full file name (without extension): ";
constexpr std::string_view kStripTitle = "Enter file name where spectral strip will be saved";
constexpr std::string_view kNoName = "No file name entered; strip file not saved!";
constexpr std::string_view kStripExtension = ".kr4";

/**
 * Where the input box starts: the folder of the image, as its path was chosen (a relative path
 * stays relative), followed by "/"; "./" for an image without a folder or no image at all.
 */
std::string defaultStripFolder(const std::string& imagePath) {
  const std::filesystem::path folder = std::filesystem::path(imagePath).parent_path();
  return folder.empty() ? std::string("./") : folder.string() + "/";
}

/** An answer that names no file: empty, or a folder alone (which would write a hidden ".kr4"). */
bool namesNoFile(const std::string& answer) { return answer.empty() || answer.back() == '/'; }

}  // namespace

void MainWindow::cmdstrip_Click() {
  const ImageState& source = ws_.graphedImage();
  const std::string answer =
      dialogs_.inputBox(kStripPrompt, kStripTitle, defaultStripFolder(source.fileName))
          .value_or(std::string());
  if (namesNoFile(answer)) {
    dialogs_.messageBox(kNoName);
    return;
  }
  std::vector<int32_t> profile;
  for (int column = 1; column <= source.width; ++column) {
    profile.push_back(source.profile.at(column));
  }
  const std::vector<char> file =
      stripImageFile(source.headerBytes, source.height, source.width, profile);
  const std::string path = answer + std::string(kStripExtension);
  if (const std::optional<std::string> failure = writeFileAtomically(path, file)) {
    dialogs_.messageBox(kStripNotSaved, path + ": " + *failure);
    return;
  }
  control("Lblwavelength").setCaption(path + " strip image saved");
}

}  // namespace halvic

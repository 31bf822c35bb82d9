#include "app/desktop_command_line.h"

#include <array>
#include <string_view>
#include <utility>

#include "app/desktop_program.h"
#include "imagefile/fits_image.h"

namespace halvic {

namespace {

constexpr size_t kMostImages = 2;  // the object image and the lamp image

constexpr std::string_view kUsage =
    "Usage: halvic [OBJECT [LAMP]]\n"
    "Puts a wavelength scale on long-slit spectra from a grating spectrograph.\n"
    "\n"
    "  OBJECT     an object image to load at the start, as \"Load Spectra\" does\n"
    "  LAMP       a calibration lamp image to load after it, as \"Load Cal\" does\n"
    "  A FITS image among them opens with the form that reduces it to a strip.\n"
    "  --help     print this help and exit\n"
    "  --version  print the program's version and exit\n"
    "  --         end of the options: names after it may begin with '-'\n";

CommandLine refused(std::string reason) {
  return CommandLine{
      .action = CommandLine::Action::Refuse, .images = {}, .refusal = std::move(reason)};
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine result;
  bool help = false;
  bool version = false;
  bool optionsEnded = false;
  for (const std::string& argument : arguments) {
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && argument == "--help") {
      help = true;
    } else if (!optionsEnded && argument == "--version") {
      version = true;
    } else if (!optionsEnded && argument.starts_with('-')) {
      return refused("unknown option '" + argument + "'; " + std::string(kProgramName) +
                     " --help lists the options");
    } else if (argument.empty()) {
      return refused("an image file name is empty");
    } else {
      result.images.push_back(argument);
    }
  }
  if (help) {
    result.action = CommandLine::Action::ShowHelp;
  } else if (version) {
    result.action = CommandLine::Action::ShowVersion;
  } else if (result.images.size() > kMostImages) {
    return refused(std::to_string(result.images.size()) +
                   " files given: an object image and at most a lamp image are taken");
  }
  return result;
}

std::optional<int> answerWithoutWindow(const CommandLine& commandLine, std::ostream& out,
                                       std::ostream& errors) {
  switch (commandLine.action) {
    case CommandLine::Action::ShowHelp:
      out << kUsage;
      return 0;
    case CommandLine::Action::ShowVersion:
      out << kProgramName << ' ' << HALVIC_VERSION << '\n';
      return 0;
    case CommandLine::Action::Refuse:
      errors << kProgramName << ": " << commandLine.refusal << '\n';
      return 2;
    case CommandLine::Action::OpenWindow:
      break;
  }
  return std::nullopt;
}

void openImageAs(DesktopProgram& program, ImageKind kind, const std::string& path) {
  constexpr std::array<MainControl, kMostImages> kLoadButtons{"cmdload", "cmdload2"};
  constexpr std::array<MainMenuItem, kMostImages> kFitsOpens{"mnuOpenFitsObject",
                                                             "mnuOpenFitsLamp"};
  const size_t side = kind == ImageKind::Data ? 0 : 1;
  program.dialogs().answerNextOpen(path);
  // Told apart by what the file holds, not by its name: a camera file may end in ".fits".
  if (isFitsFile(path)) {
    program.mainWindow().menuItem(kFitsOpens[side]).choose();
  } else {
    program.mainWindow().control(kLoadButtons[side]).userClick();
  }
}

void loadCommandLineImages(DesktopProgram& program, const std::vector<std::string>& images) {
  for (size_t index = 0; index < images.size() && index < kImageKinds.size(); ++index) {
    openImageAs(program, kImageKinds[index], images[index]);
  }
}

}  // namespace halvic

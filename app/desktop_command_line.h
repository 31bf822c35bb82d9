#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/workspace.h"

namespace halvic {

class DesktopProgram;

/** The desktop program's name, as it is run and as it begins the lines it says. */
inline constexpr std::string_view kProgramName = "halvic";

/** What the desktop program's command line asks for. */
struct CommandLine {
  enum class Action { OpenWindow, ShowHelp, ShowVersion, Refuse };
  Action action = Action::OpenWindow;
  /** The object image, then the lamp image, to load once the window shows: none, one or two. */
  std::vector<std::string> images;
  /** Why the command line was refused, in one line without the program's name. */
  std::string refusal;
};

/**
 * The arguments after the program's name: `OBJECT [LAMP]`, `--help` or `--version` (either wins
 * over file names). `--` ends the options, so that a file name after it may begin with a dash.
 * Any other option, an empty name or a third file is refused.
 */
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

/**
 * Answers a command line that needs no window: the help or the version on out (status 0), a
 * refusal as one line on errors (status 2). nullopt when the window is to open.
 */
std::optional<int> answerWithoutWindow(const CommandLine& commandLine, std::ostream& out,
                                       std::ostream& errors);

/**
 * Loads the images of the command line with "Load Spectra" and "Load Cal", or, for a file that
 * starts as FITS does, "Open FITS Object" and "Open FITS Lamp" (which show the reduction form),
 * each answered in the open dialog with its path instead of showing it, so that they load, and
 * are refused, with the same messages as files the user chooses.
 */
void loadCommandLineImages(DesktopProgram& program, const std::vector<std::string>& images);

/**
 * Opens the file at path as the object (Data) or the lamp (Cal), as a command line's image opens:
 * a FITS image with the reduction form, any other file as a camera file.
 */
void openImageAs(DesktopProgram& program, ImageKind kind, const std::string& path);

}  // namespace halvic

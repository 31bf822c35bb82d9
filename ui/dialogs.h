#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace halvic::ui {

class Form;

/** One entry of an open-file dialog's filter list: "All Files (*.*)" with "*.*". */
struct FileFilter {
  std::string description;
  std::string pattern;
};

/**
 * The modal dialogs the program uses. Each call blocks until the user answers. Implemented by the
 * desktop backend with real dialogs and by the headless backend with queued answers.
 */
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  /** An open-file dialog; the chosen path, or nullopt when cancelled or when the dialog failed. */
  virtual std::optional<std::string> openFile(const std::vector<FileFilter>& filters,
                                              int selectedFilter) = 0;
  /** An input box; the entered text, or nullopt when cancelled. */
  virtual std::optional<std::string> inputBox(std::string_view prompt, std::string_view title,
                                              std::string_view defaultText) = 0;
  /**
   * A message box with the application's title and one OK button. reason, when not empty, is what
   * lies behind a fixed message (why a file was refused, what the system said): the desktop shows
   * it as the box's detailed text, a scripted session on its error stream.
   */
  virtual void messageBox(std::string_view text, std::string_view reason) = 0;
  void messageBox(std::string_view text) { messageBox(text, {}); }
  /** Shows a second window modally; returns once the window has been hidden. */
  virtual void showModal(Form& window) = 0;
};

}  // namespace halvic::ui

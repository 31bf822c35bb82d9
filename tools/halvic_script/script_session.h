#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <string_view>

#include "app/main_window.h"
#include "ui/headless/headless_dialogs.h"
#include "ui/headless/headless_printer.h"

namespace halvic {

/**
 * A scripted session: the real main window on the headless backend, driven line by line by a
 * script of user actions, dialog answers and queries. Standard output gets the transcript
 * (messages, input boxes, query answers) in order; a line that cannot be carried out ends the
 * session with "error: line N: REASON" on the error stream.
 */
class ScriptSession {
 public:
  ScriptSession(std::ostream& transcript, std::ostream& errors);

  /** Runs the script to its end or to "click cmdexit"; returns the exit status (0 or 2). */
  int run(std::istream& script);

  /** The window, for tests. */
  MainWindow& window() { return window_; }

 private:
  void runLine(std::string_view line);
  ui::Control& control(std::string_view name);

  void answerOpen(std::string_view text);
  static ui::FormAnswer formAnswer(std::string_view text);
  void chooseMenuItem(std::string_view path);
  void press(std::string_view surface, int x, int y);
  void wheel(std::string_view surface, int steps);
  void answerContrast(std::string_view background, std::string_view range);
  void userAction(std::string_view command, std::string_view name, std::string_view argument);
  void printControl(std::string_view name);
  void printColour(std::string_view name);
  void printVariable(std::string_view expression);
  void saveSurface(const ui::Raster& surface, std::string_view file);

  std::ostream& transcript_;
  std::ostream& errors_;
  ui::HeadlessDialogs dialogs_;
  ui::HeadlessPrinters printers_;
  bool ended_ = false;
  MainWindow window_;
};

}  // namespace halvic

// halvic-script [SCRIPT]: runs a scripted session of the main window without a display.

#include <clocale>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "tools/halvic_script/script_session.h"

int main(int argc, char** argv) {
  // The user's locale, as the desktop program's toolkit sets it, so that a session runs as it
  // would in the window: whatever the locale, the files it writes must not change.
  std::setlocale(LC_ALL, "");
  // Ignored, so that a write past the file size limit (ulimit -f) fails with "File too large",
  // which the writers report, instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  if (argc > 2) {
    std::cerr << "usage: halvic-script [SCRIPT]\n";
    return 2;
  }
  halvic::ScriptSession session(std::cout, std::cerr);
  if (argc == 2) {
    std::ifstream script(argv[1]);
    if (!script || !std::filesystem::is_regular_file(argv[1])) {
      std::cerr << "error: cannot read " << argv[1] << '\n';
      return 2;
    }
    return session.run(script);
  }
  return session.run(std::cin);
}

// Writes the sample camera image files into the folder named on the command line ("samples" when
// none is given) and prints what they contain.

#include <iostream>
#include <string>

#include "tools/samplegen/sample_files.h"

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : "samples";
  const std::string error = halvic::samplegen::writeSampleFiles(folder);
  if (!error.empty()) {
    std::cerr << "halvic-samplegen: " << error << '\n';
    return 1;
  }
  std::cout << halvic::samplegen::describeSamples();
  return 0;
}

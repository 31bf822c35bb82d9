// Writes the sample camera image files into the folder named on the command line ("samples" when
// none is given) and prints what they contain; or, with --lamp, one lamp of a chosen spectrograph.

#include <CLI/CLI.hpp>
#include <csignal>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

#include "tools/samplegen/lamp_file.h"
#include "tools/samplegen/sample_files.h"

namespace {

int writeLamp(const std::string& path, const halvic::samplegen::LampOptions& options) {
  const auto bytes = halvic::samplegen::buildLampFile(options);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (bytes) {
    out.write(reinterpret_cast<const char*>(bytes->data()),
              static_cast<std::streamsize>(bytes->size()));
  }
  out.close();
  if (!bytes || !out) {
    std::cerr << "halvic-samplegen: cannot write " << path << '\n';
    return 1;
  }
  std::cout << halvic::samplegen::describeLamp(options);
  return 0;
}

int writeSamples(const std::string& folder) {
  const std::string error = halvic::samplegen::writeSampleFiles(folder);
  if (!error.empty()) {
    std::cerr << "halvic-samplegen: " << error << '\n';
    return 1;
  }
  std::cout << halvic::samplegen::describeSamples();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Ignored, so that a write past the file size limit (ulimit -f) fails with "File too large",
  // which the writers report, instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  CLI::App app(
      "Writes the sample camera image files of a known grating model into FOLDER, or one "
      "lamp of a chosen spectrograph with --lamp.",
      "halvic-samplegen");
  std::string folder = "samples";
  app.add_option("FOLDER", folder, "where the samples go")->capture_default_str();
  std::string lampPath;
  halvic::samplegen::LampOptions lamp;
  CLI::Option* lampOption = app.add_option("--lamp", lampPath, "write one lamp to FILE instead");
  app.add_option("--grating", lamp.grooveDensity, "lines per mm")
      ->check(CLI::PositiveNumber)
      ->needs(lampOption);
  app.add_option("--pixel-size", lamp.pixelSizeUm, "micrometres")
      ->check(CLI::PositiveNumber)
      ->needs(lampOption);
  app.add_option("--alpha", lamp.alphaDeg, "grating angle, degrees")->needs(lampOption);
  app.add_option("--focal-length", lamp.focalLengthMm, "mm")->needs(lampOption);
  app.add_option("--seed", lamp.seed, "noise seed")->capture_default_str()->needs(lampOption);
  for (const char* required : {"--grating", "--pixel-size", "--alpha", "--focal-length"}) {
    lampOption->needs(app.get_option(required));
  }
  lampOption->excludes(app.get_option("FOLDER"));
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // --help prints the usage and ends well; anything else it cannot read is refused with its
    // reason and status 2, as the other programs refuse their arguments.
    return app.exit(error) == 0 ? 0 : 2;
  }
  return lampPath.empty() ? writeSamples(folder) : writeLamp(lampPath, lamp);
}

// Writes the sample camera image files into the folder named on the command line ("samples" when
// none is given) and prints what they contain; or, with --lamp, one lamp of a chosen spectrograph.

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "tools/samplegen/lamp_file.h"
#include "tools/samplegen/sample_files.h"
#include "ui/number_text.h"

namespace {

constexpr std::string_view kUsage =
    "usage: halvic-samplegen [FOLDER]\n"
    "       halvic-samplegen --lamp FILE --grating LINES_PER_MM --pixel-size MICROMETRES\n"
    "                        --alpha DEGREES --focal-length MM [--seed N]\n";

/** The lamp's options, "--name value" pairs after --lamp FILE; nullopt when one is wrong. */
std::optional<halvic::samplegen::LampOptions> lampOptions(int argc, char** argv) {
  std::map<std::string, double> values{{"--seed", 1.0}};
  for (int i = 3; i + 1 < argc; i += 2) {
    const std::optional<double> value = halvic::ui::parseDecimal(argv[i + 1]);
    if (!value) {
      return std::nullopt;
    }
    values[argv[i]] = *value;
  }
  for (const char* required : {"--grating", "--pixel-size", "--alpha", "--focal-length"}) {
    if (values.count(required) == 0) {
      return std::nullopt;
    }
  }
  if (argc % 2 == 0 || values.size() != 5 || values["--grating"] <= 0.0 ||
      values["--pixel-size"] <= 0.0 || values["--seed"] < 0.0) {
    return std::nullopt;
  }
  return halvic::samplegen::LampOptions{
      values["--grating"], static_cast<float>(values["--pixel-size"]), values["--alpha"],
      values["--focal-length"], static_cast<uint64_t>(values["--seed"])};
}

int writeLamp(int argc, char** argv) {
  const std::optional<halvic::samplegen::LampOptions> options = lampOptions(argc, argv);
  if (!options) {
    std::cerr << kUsage;
    return 2;
  }
  const auto bytes = halvic::samplegen::buildLampFile(*options);
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  if (bytes) {
    out.write(reinterpret_cast<const char*>(bytes->data()),
              static_cast<std::streamsize>(bytes->size()));
  }
  out.close();
  if (!bytes || !out) {
    std::cerr << "halvic-samplegen: cannot write " << argv[2] << '\n';
    return 1;
  }
  std::cout << halvic::samplegen::describeLamp(*options);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Ignored, so that a write past the file size limit (ulimit -f) fails with "File too large",
  // which the writers report, instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  if (argc > 2 && std::string_view(argv[1]) == "--lamp") {
    return writeLamp(argc, argv);
  }
  const std::string folder = argc > 1 ? argv[1] : "samples";
  const std::string error = halvic::samplegen::writeSampleFiles(folder);
  if (!error.empty()) {
    std::cerr << "halvic-samplegen: " << error << '\n';
    return 1;
  }
  std::cout << halvic::samplegen::describeSamples();
  return 0;
}

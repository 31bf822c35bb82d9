// Turns an archived arc spectrum (a FITS table of published wavelengths and flux) into test
// images with a per-column truth file: a 768-column camera image file of a window of it, or the
// whole arc as a FITS image.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "tools/realarcs/arc_files.h"
#include "ui/number_text.h"

namespace {

constexpr std::string_view kUsage =
    "usage: halvic-realarc ARC.fits --first PIXEL --pixel-size MICROMETRES [--note TEXT] STEM\n"
    "         writes STEM.kr4 (pixels PIXEL .. PIXEL+767 of the arc) and STEM-truth.txt\n"
    "       halvic-realarc ARC.fits --wide ROWS --pixel-size MICROMETRES [--note TEXT] STEM\n"
    "         writes STEM.fits (the whole arc, ROWS equal rows) and STEM-truth.txt\n";

struct Request {
  std::string arcPath;
  std::string stem;
  std::optional<int> first;
  std::optional<int> wideRows;
  float pixelSizeUm = 0.0f;
  std::string note;
};

// Beyond these a request is surely a mistake: no archived arc is that long, and a taller wide
// image only repeats its rows.
constexpr int64_t kLastFirstPixel = 1000000;
constexpr int64_t kMostWideRows = 4096;

std::optional<int> wholeNumber(const std::string& text, int64_t largest) {
  const halvic::ui::WholeNumber number = halvic::ui::parseWholeNumber(text, 1, largest);
  if (number.status != halvic::ui::WholeNumberStatus::Ok) {
    return std::nullopt;
  }
  return static_cast<int>(number.value);
}

/** ARC, "--name value" pairs and STEM; nullopt when anything is missing, unknown or wrong. */
std::optional<Request> parse(int argc, char** argv) {
  if (argc < 6 || argc % 2 != 1) {
    return std::nullopt;
  }
  std::map<std::string, std::string> options;
  for (int i = 2; i + 1 < argc - 1; i += 2) {
    options[argv[i]] = argv[i + 1];
  }
  const bool window = options.count("--first") == 1;
  const bool wide = options.count("--wide") == 1;
  // 0 stands for a size missing or not a number, refused with the negative ones.
  const double pixelSize = options.count("--pixel-size")
                               ? halvic::ui::parseDecimal(options["--pixel-size"]).value_or(0.0)
                               : 0.0;
  const size_t known = 2 + options.count("--note");
  if (window == wide || known != options.size() || pixelSize <= 0.0) {
    return std::nullopt;
  }
  Request request{argv[1], argv[argc - 1]};
  request.pixelSizeUm = static_cast<float>(pixelSize);
  request.note = options.count("--note") ? options["--note"] : "";
  if (window) {
    request.first = wholeNumber(options["--first"], kLastFirstPixel);
  } else {
    request.wideRows = wholeNumber(options["--wide"], kMostWideRows);
  }
  if (!request.first && !request.wideRows) {
    return std::nullopt;
  }
  return request;
}

bool writeFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::cerr << "halvic-realarc: cannot write " << path << '\n';
  }
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Request> request = parse(argc, argv);
  if (!request) {
    std::cerr << kUsage;
    return 2;
  }
  const halvic::realarcs::ArcTableRead read = halvic::realarcs::readArcTable(request->arcPath);
  if (!read.table) {
    std::cerr << "halvic-realarc: cannot read " << request->arcPath << " (" << read.failure
              << ")\n";
    return 1;
  }
  const halvic::realarcs::ArcSource source{
      std::filesystem::path(request->arcPath).filename().string(), request->pixelSizeUm,
      request->note};
  const halvic::realarcs::ArcFiles files =
      request->first ? halvic::realarcs::buildWindowFiles(*read.table, *request->first, source)
                     : halvic::realarcs::buildWideFiles(*read.table, *request->wideRows, source);
  if (!files.failure.empty()) {
    std::cerr << "halvic-realarc: " << request->arcPath << ": " << files.failure << '\n';
    return 1;
  }
  const std::string extension = request->first ? ".kr4" : ".fits";
  const bool written = writeFile(request->stem + extension,
                                 std::string_view(files.image.data(), files.image.size())) &&
                       writeFile(request->stem + "-truth.txt", files.truth);
  return written ? 0 : 1;
}

#include "tools/realarcs/arc_files.h"

#include "calibration/air_wavelength.h"
#include "output/fits_file.h"
#include "tools/realarcs/arc_counts.h"
#include "tools/samplegen/camera_image_encoder.h"
#include "tools/samplegen/lamp_file.h"
#include "ui/number_format.h"

namespace halvic::realarcs {

namespace {

// The date of the archive the arcs come from; a fixed date and time keep the files reproducible.
constexpr std::string_view kCaptureDate = "08/26/2024";
constexpr std::string_view kCaptureTime = "12:00:00";

std::string pixelRange(int firstPixel, size_t count) {
  return std::to_string(firstPixel) + " to " +
         std::to_string(firstPixel + static_cast<int>(count) - 1);
}

ImageArray windowImage(std::span<const uint16_t> counts) {
  ImageArray image;
  for (int row = 1; row <= kWindowRows; ++row) {
    for (int column = 1; column <= kWindowColumns; ++column) {
      image.set(column, row, static_cast<int16_t>(counts[static_cast<size_t>(column - 1)]));
    }
  }
  return image;
}

}  // namespace

std::string truthText(std::span<const double> vacuumA, int firstPixel, const ArcSource& source) {
  std::string text =
      "# Air wavelengths (IAU standard, Morton 2000) of the published vacuum solution of\n# " +
      source.arcName + ", its pixels " + pixelRange(firstPixel, vacuumA.size()) +
      " (counted from 1) as columns 1 to " + std::to_string(vacuumA.size()) + "; pixel size " +
      ui::shortestText(source.pixelSizeUm) + " um.\n";
  if (!source.note.empty()) {
    text += "# " + source.note + "\n";
  }
  text += "# column air_wavelength_A\n";
  int column = 1;
  for (const double vacuum : vacuumA) {
    text += std::to_string(column++) + ' ' + ui::shortestText(airFromVacuum(vacuum)) + '\n';
  }
  return text;
}

ArcFiles buildWindowFiles(const ArcTable& arc, int firstPixel, const ArcSource& source) {
  const size_t pixels = arc.vacuumA.size();
  if (firstPixel < 1 || static_cast<size_t>(firstPixel - 1 + kWindowColumns) > pixels) {
    return {{},
            {},
            "pixels " + pixelRange(firstPixel, kWindowColumns) + " are not all in the arc's 1 to " +
                std::to_string(pixels)};
  }
  const auto first = static_cast<size_t>(firstPixel - 1);
  const std::span<const double> flux = std::span(arc.flux).subspan(first, kWindowColumns);
  const std::vector<uint16_t> counts = scaledCounts(flux);
  const DisplayLevels levels = displayLevels(counts);
  CameraImageHeader header;
  header.height = static_cast<int16_t>(kWindowRows);
  header.width = static_cast<int16_t>(kWindowColumns);
  header.background = levels.background;
  header.range = levels.range;
  header.xPixelSizeMm = samplegen::pixelSizeText(source.pixelSizeUm);
  header.date = kCaptureDate;
  header.time = kCaptureTime;
  const auto bytes =
      samplegen::encodeCameraImage(header, windowImage(counts), PixelForm::Plain, {});
  if (!bytes) {
    return {{}, {}, "the header does not fit its block"};
  }
  return {std::vector<char>(bytes->begin(), bytes->end()),
          truthText(std::span(arc.vacuumA).subspan(first, kWindowColumns), firstPixel, source),
          {}};
}

ArcFiles buildWideFiles(const ArcTable& arc, int height, const ArcSource& source) {
  if (height < 1) {
    return {{}, {}, "the height must be at least 1 row"};
  }
  const std::vector<uint16_t> row = scaledCounts(arc.flux);
  std::vector<uint16_t> values;
  values.reserve(row.size() * static_cast<size_t>(height));
  for (int copy = 0; copy < height; ++copy) {
    values.insert(values.end(), row.begin(), row.end());
  }
  FitsWriter writer;
  writer.addUnsigned16Image(values, static_cast<long>(row.size()), height);
  writer.writeFloat("XPIXSZ", source.pixelSizeUm, "pixel size along the rows (um)");
  writer.writeText("OBJECT", "arc " + source.arcName, "lamp spectrum");
  FileBytes file = writer.finish();
  if (file.failure) {
    return {{}, {}, *file.failure};
  }
  return {std::move(file.bytes), truthText(arc.vacuumA, 1, source), {}};
}

}  // namespace halvic::realarcs

#include "tools/samplegen/lamp_file.h"

#include <cstdio>

#include "tools/samplegen/camera_image_encoder.h"
#include "tools/samplegen/sample_spectra.h"
#include "ui/number_text.h"
#include "ui/units.h"

namespace halvic::samplegen {

namespace {

std::string formatted(const char* pattern, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, pattern, value);
  return buffer;
}

}  // namespace

std::string pixelSizeText(float pixelSizeUm) {
  return formatted("%.7g", static_cast<double>(pixelSizeUm) / kMicrometresPerMillimetre);
}

GratingModel lampModel(const LampOptions& options) {
  GratingModel model;
  // What the reader makes of the header's text: its 32-bit float times 1000 in 32-bit float.
  const double headerMm = ui::parseDecimal(pixelSizeText(options.pixelSizeUm)).value_or(0.0);
  model.xPixelSize = static_cast<float>(headerMm) * static_cast<float>(kMicrometresPerMillimetre);
  model.grooveSpacingUm = kMicrometresPerMillimetre / options.grooveDensity;
  model.alphaDeg = options.alphaDeg;
  model.focalLengthMm = options.focalLengthMm;
  return model;
}

std::optional<std::vector<uint8_t>> buildLampFile(const LampOptions& options) {
  CameraImageHeader header;
  header.height = static_cast<int16_t>(kSampleHeight);
  header.width = static_cast<int16_t>(kSampleWidth);
  header.background = 100;
  header.range = 4000;
  header.xPixelSizeMm = pixelSizeText(options.pixelSizeUm);
  header.date = "12/09/2026";
  header.time = "02:00:00";
  return encodeCameraImage(header, renderLampImage(lampModel(options), options.seed),
                           PixelForm::Plain, {});
}

std::string describeLamp(const LampOptions& options) {
  const GratingModel model = lampModel(options);
  std::string text = "Lamp model\n";
  text += "  groove density " + formatted("%.10g", options.grooveDensity) + " lines/mm\n";
  text += "  pixel size " + formatted("%.9g", static_cast<double>(model.xPixelSize)) + " um\n";
  text += "  alpha " + formatted("%.10g", model.alphaDeg) + " deg\n";
  text += "  focal length " + formatted("%.10g", model.focalLengthMm) + " mm\n";
  text += "  seed " + std::to_string(options.seed) + "\n";
  text += "\n| Entry | Wavelength (A) | Element | Peak (counts) | Pixel |\n|---|---|---|---|---|\n";
  for (const PlacedLine& placed : placeLampLines(model)) {
    text += "| " + std::to_string(placed.line.listIndex) + " | " +
            formatted("%.3f", placed.line.wavelength) + " | " + placed.line.element + " | " +
            formatted("%g", placed.line.peakCounts) + " | " + formatted("%.4f", placed.pixel) +
            " |\n";
  }
  return text;
}

}  // namespace halvic::samplegen

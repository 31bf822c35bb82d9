#include "ui/headless/ppm_file.h"

#include <fstream>

namespace halvic::ui {

bool writePpm(const Raster& raster, const std::string& path) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << "P6\n" << raster.width() << ' ' << raster.height() << "\n255\n";
  for (const Rgb& pixel : raster.pixels()) {
    const char bytes[3] = {static_cast<char>(pixel.red), static_cast<char>(pixel.green),
                           static_cast<char>(pixel.blue)};
    file.write(bytes, 3);
  }
  file.close();
  return static_cast<bool>(file);
}

}  // namespace halvic::ui

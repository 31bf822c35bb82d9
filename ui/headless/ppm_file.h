#pragma once

#include <string>

#include "ui/raster.h"

namespace halvic::ui {

/** Writes the raster as a binary PPM (P6) image; false when the file cannot be written. */
bool writePpm(const Raster& raster, const std::string& path);

}  // namespace halvic::ui

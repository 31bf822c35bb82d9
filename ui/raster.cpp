#include "ui/raster.h"

#include <algorithm>
#include <cstdlib>

namespace halvic::ui {

Raster::Raster(int width, int height, Rgb background)
    : width_(width),
      height_(height),
      background_(background),
      pixels_(static_cast<size_t>(width) * static_cast<size_t>(height), background) {}

Rgb Raster::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) {
    return background_;
  }
  return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

void Raster::set(int x, int y, Rgb colour) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) {
    return;
  }
  pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] = colour;
}

void Raster::changed() {
  if (listener_) {
    listener_();
  }
}

void Raster::plot(int x, int y, Rgb colour) {
  set(x, y, colour);
  changed();
}

void Raster::line(int x1, int y1, int x2, int y2, Rgb colour) {
  const int dx = std::abs(x2 - x1);
  const int dy = -std::abs(y2 - y1);
  const int stepX = x1 < x2 ? 1 : -1;
  const int stepY = y1 < y2 ? 1 : -1;
  int error = dx + dy;
  int x = x1;
  int y = y1;
  for (;;) {
    set(x, y, colour);
    if (x == x2 && y == y2) {
      break;
    }
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += stepX;
    }
    if (twice <= dx) {
      error += dx;
      y += stepY;
    }
  }
  changed();
}

void Raster::clear() {
  std::fill(pixels_.begin(), pixels_.end(), background_);
  changed();
}

}  // namespace halvic::ui

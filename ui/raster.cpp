#include "ui/raster.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace halvic::ui {

Raster::Raster(int width, int height, Rgb background)
    : width_(width),
      height_(height),
      background_(background),
      pixels_(static_cast<size_t>(width) * static_cast<size_t>(height), background) {}

Rgb Raster::pixel(int x, int y) const {
  if (!contains(x, y)) {
    return background_;
  }
  return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

void Raster::set(int x, int y, Rgb colour) {
  if (!contains(x, y)) {
    return;
  }
  pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] = colour;
}

void Raster::report(const Span& span) const {
  if (listener_) {
    listener_(Rect{span.left, span.top, span.right - span.left + 1, span.bottom - span.top + 1});
  }
}

void Raster::setChangeListener(ChangeListener listener) {
  listener_ = std::move(listener);
  if (batchDepth_ > 0) {
    batchChange_ = {0, 0, width_ - 1, height_ - 1};
  }
}

// Without a listener nothing is tracked, so that a surface nobody shows draws as fast as it can.
void Raster::changed(const Span& span) {
  if (!listener_ || span.left > span.right || span.top > span.bottom) {
    return;
  }
  if (batchDepth_ > 0) {
    widenBatch(span);
  } else {
    report(span);
  }
}

void Raster::endBatch() {
  if (--batchDepth_ > 0) {
    return;
  }
  const Span gathered = batchChange_;
  batchChange_ = kNoSpan;
  changed(gathered);
}

void Raster::plot(int x, int y, Rgb colour) {
  if (!contains(x, y)) {
    return;
  }
  pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] = colour;
  // The point by itself: the hot path of strips drawn point by point inside a batch.
  if (!listener_) {
    return;
  }
  if (batchDepth_ > 0) {
    widenBatch({x, y, x, y});
  } else {
    report({x, y, x, y});
  }
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
  // The bounding box, clipped to the surface.
  changed({std::max(std::min(x1, x2), 0), std::max(std::min(y1, y2), 0),
           std::min(std::max(x1, x2), width_ - 1), std::min(std::max(y1, y2), height_ - 1)});
}

void Raster::clear() {
  std::fill(pixels_.begin(), pixels_.end(), background_);
  changed({0, 0, width_ - 1, height_ - 1});
}

}  // namespace halvic::ui

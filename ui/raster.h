#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "ui/colour.h"

namespace halvic::ui {

/**
 * A persistent drawing surface of whole pixels: what is drawn stays until it is drawn over or
 * cleared. The main window's drawing and the graph box are each one of these; the desktop window
 * only shows them, so what tests read here is what the user sees. Points outside the surface are
 * clipped silently.
 */
class Raster {
 public:
  Raster(int width, int height, Rgb background);

  int width() const { return width_; }
  int height() const { return height_; }
  Rgb background() const { return background_; }

  /** The colour at (x, y); the background outside the surface. */
  Rgb pixel(int x, int y) const;

  void plot(int x, int y, Rgb colour);
  /** A straight line with both end points drawn (Bresenham). */
  void line(int x1, int y1, int x2, int y2, Rgb colour);
  /** Paints the whole surface in its background colour. */
  void clear();

  /** Raw pixels, row by row from the top left, for display and image files. */
  const std::vector<Rgb>& pixels() const { return pixels_; }

  /** Called after every change; the desktop backend repaints from it. */
  void setChangeListener(std::function<void()> listener) { listener_ = std::move(listener); }

 private:
  void set(int x, int y, Rgb colour);
  void changed();

  int width_;
  int height_;
  Rgb background_;
  std::vector<Rgb> pixels_;
  std::function<void()> listener_;
};

}  // namespace halvic::ui

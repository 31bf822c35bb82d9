#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

#include "ui/colour.h"
#include "ui/rect.h"

namespace halvic::ui {

/**
 * A persistent drawing surface of whole pixels: what is drawn stays until it is drawn over or
 * cleared. The main window's drawing and the graph box are each one of these; the desktop window
 * only shows them, so what tests read here is what the user sees. Points outside the surface are
 * clipped silently.
 *
 * Each drawing operation reports the rectangle it changed, clipped to the surface, to the change
 * listener: a plot its pixel, a line its bounding box, a clear the whole surface; an operation
 * wholly outside the surface reports nothing. While a RasterBatch is open the reports are held
 * back and gathered into one (see RasterBatch).
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

  /** Receives the rectangle that changed; the desktop backend repaints that part. */
  using ChangeListener = std::function<void(const Rect& changed)>;
  /**
   * The one listener; an empty one stops the reports. One set while a batch is open hears of the
   * whole surface when the batch ends, since nothing before it was tracked.
   */
  void setChangeListener(ChangeListener listener);

 private:
  friend class RasterBatch;

  /** Pixels from (left, top) to (right, bottom), both included; empty when left > right. */
  struct Span {
    int left;
    int top;
    int right;
    int bottom;
  };
  /** Empty, and the start of a union: any span widens it to itself. */
  static constexpr Span kNoSpan{std::numeric_limits<int>::max(), std::numeric_limits<int>::max(),
                                std::numeric_limits<int>::min(), std::numeric_limits<int>::min()};

  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  void set(int x, int y, Rgb colour);
  /** Reports a change, or adds it to the open batch; the span must lie on the surface. */
  void changed(const Span& span);
  // Stores only what moves: in a strip drawn row by row almost every point is inside already.
  void widenBatch(const Span& span) {
    if (span.left < batchChange_.left) {
      batchChange_.left = span.left;
    }
    if (span.top < batchChange_.top) {
      batchChange_.top = span.top;
    }
    if (span.right > batchChange_.right) {
      batchChange_.right = span.right;
    }
    if (span.bottom > batchChange_.bottom) {
      batchChange_.bottom = span.bottom;
    }
  }
  void report(const Span& span) const;
  void beginBatch() { ++batchDepth_; }
  void endBatch();

  int width_;
  int height_;
  Rgb background_;
  std::vector<Rgb> pixels_;
  ChangeListener listener_;
  int batchDepth_ = 0;
  Span batchChange_ = kNoSpan;
};

/**
 * Gathers a raster's change reports for as long as it lives: the changes only grow one rectangle,
 * reported once when the outermost batch on the raster ends, and not at all when nothing changed.
 * Batches nest. Pixels change at once as usual; only the reports wait. Used where one operation
 * draws many points, so that a window repaints once instead of once a point. The raster must
 * outlive the batch.
 */
class RasterBatch {
 public:
  explicit RasterBatch(Raster& raster) : raster_(raster) { raster_.beginBatch(); }
  ~RasterBatch() { raster_.endBatch(); }
  RasterBatch(const RasterBatch&) = delete;
  RasterBatch& operator=(const RasterBatch&) = delete;

 private:
  Raster& raster_;
};

}  // namespace halvic::ui

#pragma once

namespace halvic::ui {

/** A rectangle of whole pixels: its top left pixel and its size. */
struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace halvic::ui

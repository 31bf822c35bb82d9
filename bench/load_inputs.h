#pragma once

// What the load and strip benchmarks draw, shared so that the headless and the desktop window
// figures measure the same work.

#include <cstdint>
#include <string>

#include "display/strip_rendering.h"
#include "imagefile/image_array.h"
#include "spectrum/profile_array.h"

namespace halvic::bench {

/** The 765 x 20 compressed neon lamp sample that "Load Cal" reads. */
inline const std::string kCompressedLamp =
    std::string(HALVIC_SOURCE_DIR) + "/samples/neon-lamp-compressed.kr4";

/** A full 768 x 20 image of a ramp pattern for the raw strip. */
inline ImageArray rawStripImage() {
  ImageArray image;
  for (int row = 1; row <= 20; ++row) {
    for (int column = 1; column <= 768; ++column) {
      image.set(column, row, static_cast<int16_t>(100 + column * row % 4000));
    }
  }
  return image;
}

/** The raw (not expanded) strip of image at the data strip's place in the window. */
inline StripInputs rawStrip(const ImageArray& image, const ProfileArray& profile) {
  return StripInputs{.image = image,
                     .width = 768,
                     .height = 20,
                     .stripLeft = 3,
                     .stripTop = 8,
                     .background = 100,
                     .range = 4000,
                     .profile = profile};
}

}  // namespace halvic::bench

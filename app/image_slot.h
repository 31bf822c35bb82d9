#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/workspace.h"
#include "display/strip_rendering.h"

namespace halvic {

enum class ImageKind { Data, Cal };

/**
 * The twin values of one image, data or cal, and the names of its controls, so that the twin
 * commands run one set of steps on either image.
 */
struct ImageSlot {
  std::string& fileName;
  std::string& caption;
  ImageArray& image;
  HeaderBytes& headerBytes;
  int16_t& height;
  int16_t& width;
  int16_t& background;
  int32_t& range;
  double& stripLeft;
  int16_t& stripTop;
  int16_t& cropRow1;
  int16_t& cropRow2;
  bool& loaded;
  ProfileArray& profileCopy;
  std::string_view frame;       // the strip frame shape
  std::string_view label;       // the heading label marked red while its profile is graphed
  std::string_view cropBar1;    // scroll bar of the first crop row
  std::string_view cropBar2;    // scroll bar of the second crop row
  std::string_view cropLabel1;  // label of the first crop row
  std::string_view cropLabel2;  // label of the second crop row
  CropMarkerOffsets markers;
};

/** The values and control names of the data image or of the cal image. */
ImageSlot imageSlot(Workspace& ws, ImageKind kind);

inline ImageKind otherImage(ImageKind kind) {
  return kind == ImageKind::Data ? ImageKind::Cal : ImageKind::Data;
}

}  // namespace halvic

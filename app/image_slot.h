#pragma once

#include <cstdint>
#include <string>

#include "app/main_window_layout.h"
#include "app/workspace.h"

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
  MainControl fileLabel;   // the label that names the loaded file
  MainControl frame;       // the strip frame shape
  MainControl label;       // the heading label marked red while its profile is graphed
  MainControl cropBar1;    // scroll bar of the first crop row
  MainControl cropBar2;    // scroll bar of the second crop row
  MainControl cropLabel1;  // label of the first crop row
  MainControl cropLabel2;  // label of the second crop row
};

/** The values and control names of the data image or of the cal image. */
ImageSlot imageSlot(Workspace& ws, ImageKind kind);

inline ImageKind otherImage(ImageKind kind) {
  return kind == ImageKind::Data ? ImageKind::Cal : ImageKind::Data;
}

}  // namespace halvic

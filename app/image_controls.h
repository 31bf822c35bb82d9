#pragma once

#include "app/main_window_layout.h"
#include "app/workspace.h"

namespace halvic {

/** The controls of one image's side of the window, so that twin commands run one set of steps. */
struct ImageControls {
  MainControl loadButton;  // the button that loads it
  MainControl fileLabel;   // the label that names the loaded file
  MainControl frame;       // the strip frame shape
  MainControl label;       // the heading label marked red while its profile is graphed
  MainControl cropBar1;    // scroll bar of the first crop row
  MainControl cropBar2;    // scroll bar of the second crop row
  MainControl cropLabel1;  // label of the first crop row
  MainControl cropLabel2;  // label of the second crop row
};

inline constexpr ImageControls kDataControls{"cmdload",      "lblfiledata1", "Shphart1",
                                             "Label3",       "hsbcropdata1", "hsbcropdata2",
                                             "lbldatacrop1", "lbldatacrop2"};
inline constexpr ImageControls kCalControls{"cmdload2",    "lblfiledata2", "shphart2",
                                            "Label2",      "hsbcropcal1",  "hsbcropcal2",
                                            "lblcalcrop1", "lblcalcrop2"};

inline constexpr const ImageControls& imageControls(ImageKind kind) {
  return kind == ImageKind::Data ? kDataControls : kCalControls;
}

}  // namespace halvic

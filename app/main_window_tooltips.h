#pragma once

#include <array>
#include <string_view>

#include "app/main_window_layout.h"

namespace halvic {

/** What a control does, in a sentence, shown when the pointer rests on it. */
struct ToolTipRow {
  MainControl control;
  std::string_view text;
};

// clang-format off
inline constexpr std::array kMainWindowToolTips{
    ToolTipRow{"Label3", "The object spectrum; red while its profile is graphed"},
    ToolTipRow{"lblfiledata1", "The object image file that is loaded"},
    ToolTipRow{"cmdload", "Load an object image (a camera image file)"},
    ToolTipRow{"cmdcontrast", "Set the background and range of the object strip"},
    ToolTipRow{"cmdcalcspectra", "Graph the object's profile from its crop box"},
    ToolTipRow{"cmdemission", "Show the wavelength of the centroid of the line under the cursor"},
    ToolTipRow{"Lingraph", "Graph on a linear scale from the profile's minimum to its maximum"},
    ToolTipRow{"loggraph", "Graph on a logarithmic scale"},
    ToolTipRow{"autograph", "Graph scaled to the shown stretch of the profile"},
    ToolTipRow{"pushgraph", "Graph scaled to the shown stretch, at most 2048 counts high"},
    ToolTipRow{"smoothing", "Smooth the profile over five columns"},
    ToolTipRow{"chkexpand", "Show each strip as its profile, coloured by wavelength once calibrated"},
    ToolTipRow{"chkfilter", "Subtract the sky measured outside the object's crop box"},
    ToolTipRow{"chkmedian", "Replace pixels unlike their neighbours by the neighbours' median"},
    ToolTipRow{"Picgraph", "The profile around the cursor; click a column to put the cursor there"},
    ToolTipRow{"hsbspectra", "The cursor: the profile column examined and marked"},
    ToolTipRow{"Lblwavelength", "The cursor's read-out, or what the last command did"},
    ToolTipRow{"Label2", "The calibration lamp spectrum; red while its profile is graphed"},
    ToolTipRow{"lblfiledata2", "The calibration lamp image file that is loaded"},
    ToolTipRow{"cmdload2", "Load a calibration lamp image (a camera image file)"},
    ToolTipRow{"cmdcontrast2", "Set the background and range of the lamp strip"},
    ToolTipRow{"Cmdcalccal", "Graph the lamp's profile from its crop box"},
    ToolTipRow{"cmdmarkline1", "Mark the line under the cursor as line 1, at the chosen wavelength"},
    ToolTipRow{"cmdmarkline2", "Mark the line under the cursor as line 2 and calibrate"},
    ToolTipRow{"Label1", "Choose the wavelength of the line to mark"},
    ToolTipRow{"Label4", "Choose how many columns the centroid measures"},
    ToolTipRow{"cboscale", "The laboratory wavelength of the line to mark"},
    ToolTipRow{"cbobox", "The width in columns of the centroid window"},
    ToolTipRow{"Label5", "The rows of the object image its profile is made from"},
    ToolTipRow{"hsbcropdata1", "The first row of the object's crop box"},
    ToolTipRow{"hsbcropdata2", "The last row of the object's crop box"},
    ToolTipRow{"lbldatacrop1", "The first row of the object's crop box"},
    ToolTipRow{"lbldatacrop2", "The last row of the object's crop box"},
    ToolTipRow{"Label6", "The rows of the lamp image its profile is made from"},
    ToolTipRow{"hsbcropcal1", "The first row of the lamp's crop box"},
    ToolTipRow{"hsbcropcal2", "The last row of the lamp's crop box"},
    ToolTipRow{"lblcalcrop1", "The first row of the lamp's crop box"},
    ToolTipRow{"lblcalcrop2", "The last row of the lamp's crop box"},
    ToolTipRow{"cmdtext", "Write the graphed profile to a text file beside its image"},
    ToolTipRow{"cmdstrip", "Save the graphed profile as a strip image file"},
    ToolTipRow{"cmdprint", "Print the graph on the default printer"},
    ToolTipRow{"cmdexit", "End the program"},
};

struct ContrastToolTipRow {
  ContrastControl control;
  std::string_view text;
};

inline constexpr std::array kContrastDialogToolTips{
    ContrastToolTipRow{"Lblbackground", "The pixel value shown black"},
    ContrastToolTipRow{"txtbackground", "The pixel value shown black: a whole number"},
    ContrastToolTipRow{"lblrange", "How many counts above the background reach white"},
    ContrastToolTipRow{"txtrange", "How many counts above the background reach white: not 0"},
    ContrastToolTipRow{"cmddone", "Take both values and redraw the strip"},
};
// clang-format on

/** The tool tip of a control, found when the program is built. */
consteval std::string_view toolTipOf(MainControl control) {
  for (const ToolTipRow& row : kMainWindowToolTips) {
    if (row.control.name() == control.name()) {
      return row.text;
    }
  }
  throw "no tool tip for that control";
}

}  // namespace halvic

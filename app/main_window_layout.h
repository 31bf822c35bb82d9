#pragma once

#include <array>

#include "ui/layout.h"
#include "ui/program_name.h"

namespace halvic {

/** The font of the layout's two headings, standing in for "MS Sans Serif" 12 point bold. */
inline constexpr ui::FontSpec kHeadingFont{"MS Sans Serif", 12, true};

namespace layout {

using ui::button;
using ui::checkBox;
using ui::comboBox;
using ui::label;
using ui::line;
using ui::optionButton;
using ui::pictureBox;
using ui::scrollBar;
using ui::scrollRange;
using ui::shape;
using ui::textBox;
inline constexpr ui::Rgb kGrey = ui::kWindowGrey;
inline constexpr ui::Rgb kBlack = ui::kBlack;

// One row a control: name, caption, {x, y, width, height} in client pixels, place in the focus
// order; scroll bars give (minimum, maximum, large change, start value).
// clang-format off
inline constexpr std::array kMainWindowControls{
    // Strip frames.
    shape("Shphart1", {4, 8, 768, 22}),
    shape("shphart2", {4, 40, 768, 22}),

    // Data image column.
    label("Label3", "Object Spectrum:", {24, 64, 161, 25}, 21).inFont(kHeadingFont),
    label("lblfiledata1", "", {16, 96, 185, 25}, 2).backedBy(kGrey),
    button("cmdload", "Load Spectra", {16, 128, 49, 33}, 0).backedBy(kGrey),
    button("cmdcontrast", "Adjust Contrast", {72, 128, 49, 33}, 4),
    button("cmdcalcspectra", "Graph Spectra", {128, 128, 57, 33}, 5),
    button("cmdemission", "Calculate Line Wavelength", {16, 168, 81, 33}, 10),

    // Graph area.
    optionButton("Lingraph", "Linear Graph", {224, 72, 97, 17}, 22),
    optionButton("loggraph", "Log Graph", {224, 88, 89, 17}, 23),
    optionButton("autograph", "Autoscaled Graph", {224, 104, 113, 17}, 24).selected(),
    optionButton("pushgraph", "Pushed Graph", {224, 120, 105, 17}, 38),
    checkBox("smoothing", "Smoothing On", {360, 72, 121, 17}, 25),
    checkBox("chkexpand", "Expand Spectra", {360, 88, 97, 17}, 39),
    checkBox("chkfilter", "Filter Airglow", {360, 104, 97, 17}, 40),
    checkBox("chkmedian", "Use Median", {360, 120, 81, 17}, 41),
    pictureBox("Picgraph", {224, 144, 262, 114}, 17),
    scrollBar("hsbspectra", {224, 264, 265, 17}, 16, scrollRange(1, 768, 10, 381)),
    label("Lblwavelength", "", {248, 288, 225, 81}, 18),

    // Cal image column.
    label("Label2", "Calibration Spectrum:", {512, 64, 177, 25}, 20).inFont(kHeadingFont).coloured(kBlack),
    label("lblfiledata2", "", {512, 96, 185, 25}, 11),
    button("cmdload2", "Load Cal", {512, 128, 49, 33}, 6),
    button("cmdcontrast2", "Adjust Contrast", {568, 128, 49, 33}, 9),
    button("Cmdcalccal", "Graph Cal", {624, 128, 57, 33}, 19),
    button("cmdmarkline1", "Mark Line 1", {512, 168, 49, 33}, 7),
    button("cmdmarkline2", "Mark Line 2", {568, 168, 49, 33}, 8),
    label("Label1", "Identify Spectral Line (Angstroms)", {496, 216, 97, 33}, 13).centred(),
    label("Label4", "Select Width of Region for Centroid Calculation (pixels)", {600, 208, 105, 41}, 14).centred(),
    comboBox("cboscale", {496, 256, 97, 21}, 12),
    comboBox("cbobox", {616, 256, 73, 21}, 15),

    // Crop boxes.
    shape("Shape1", {48, 288, 121, 81}),
    label("Label5", "Data Crop Box", {64, 296, 81, 17}, 32),
    scrollBar("hsbcropdata1", {56, 320, 57, 17}, 28, scrollRange(1, 20, 5, 1)),
    scrollBar("hsbcropdata2", {56, 344, 57, 17}, 29, scrollRange(1, 20, 5, 20)),
    label("lbldatacrop1", "", {120, 320, 33, 17}, 30),
    label("lbldatacrop2", "", {120, 344, 33, 17}, 31),
    shape("Shape2", {536, 288, 121, 81}),
    label("Label6", "Cal Crop Box", {552, 296, 89, 17}, 35),
    scrollBar("hsbcropcal1", {544, 320, 57, 17}, 33, scrollRange(1, 20, 1, 1)),
    scrollBar("hsbcropcal2", {544, 344, 57, 17}, 34, scrollRange(1, 20, 1, 20)),
    label("lblcalcrop1", "", {608, 320, 33, 17}, 36),
    label("lblcalcrop2", "", {608, 344, 33, 17}, 37),

    // Output column.
    line("Line1", {712, 72, 0, 304}),
    button("cmdtext", "Write Text File", {720, 192, 41, 41}, 26),
    button("cmdstrip", "Save Strip Image", {720, 240, 41, 49}, 27),
    button("cmdprint", "Print Graph", {720, 296, 41, 41}, 3),
    button("cmdexit", "Exit", {720, 344, 41, 25}, 1),
};

inline constexpr std::array kContrastDialogControls{
    label("Lblbackground", "Enter Background:", {8, 8, 97, 17}, 1),
    textBox("txtbackground", {104, 8, 57, 19}, 3),
    label("lblrange", "Enter Range:", {32, 32, 65, 17}, 2),
    textBox("txtrange", {104, 32, 57, 19}, 4),
    button("cmddone", "Done", {176, 16, 49, 33}, 0),
};
// clang-format on

}  // namespace layout

inline constexpr ui::FormSpec kMainWindowLayout{
    .name = "frmmain",
    .caption = ui::kProgramName,
    .clientWidth = 775,
    .clientHeight = 379,
    .background = ui::kWindowGrey,
    .controls = layout::kMainWindowControls,
};

inline constexpr ui::FormSpec kContrastDialogLayout{
    .name = "frmcontrast",
    .caption = "Adjust Background and Range",
    .clientWidth = 250,
    .clientHeight = 65,
    .background = ui::kWindowGrey,
    .controls = layout::kContrastDialogControls,
};

/** A control name of the main window, checked against its layout when the program is built. */
using MainControl = ui::CheckedName<layout::kMainWindowControls>;
/** A control name of the contrast dialog, checked likewise. */
using ContrastControl = ui::CheckedName<layout::kContrastDialogControls>;

/** The layout row of a main-window control, found when the program is built. */
consteval const ui::ControlSpec& mainSpec(MainControl name) {
  return ui::specIn(layout::kMainWindowControls, name.name());
}

/** The main window: caption, 775 x 379 client area, every control in one table. */
inline const ui::FormSpec& mainWindowLayout() { return kMainWindowLayout; }

/** The contrast dialog `frmcontrast`. */
inline const ui::FormSpec& contrastDialogLayout() { return kContrastDialogLayout; }

}  // namespace halvic

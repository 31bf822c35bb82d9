#pragma once

#include <array>

#include "ui/menu.h"

namespace halvic {

/**
 * The main window's menu bar, above its laid-out client area: one row an item. Items that repeat
 * a button run that button's handler.
 */
// clang-format off
inline constexpr std::array kMainWindowMenus{
    ui::MenuItemSpec{"File", "&Load Spectra...", "Ctrl+O"},
    ui::MenuItemSpec{"File", "Load &Cal...", ""},
    ui::MenuItemSpec{"File", "&Export FITS...", "Ctrl+E", true},
    ui::MenuItemSpec{"File", "Export C&SV...", ""},
    ui::MenuItemSpec{"File", "Export &Graph Image...", ""},
    ui::MenuItemSpec{"File", "Print Pre&view...", "Ctrl+P"},
    ui::MenuItemSpec{"File", "E&xit", "Ctrl+Q", true},
    ui::MenuItemSpec{"Calibration", "&Save Calibration...", ""},
    ui::MenuItemSpec{"Calibration", "&Load Calibration...", ""},
    ui::MenuItemSpec{"Calibration", "&Check Calibration...", "", true},
    ui::MenuItemSpec{"Calibration", "&Refine with All Lines", ""},
    ui::MenuItemSpec{"Calibration", "&Grating...", ""},
    ui::MenuItemSpec{"Help", "&User Guide", "F1"},
    ui::MenuItemSpec{"Help", "&About", ""},
};
// clang-format on

}  // namespace halvic

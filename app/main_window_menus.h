#pragma once

#include <array>

#include "ui/layout.h"
#include "ui/menu.h"

namespace halvic {

/**
 * The main window's menu bar, above its laid-out client area: one row an item, named in the
 * program as its handler is (mnuUndo, mnuUndo_Click). Items that repeat a button run that
 * button's handler.
 */
// clang-format off
inline constexpr std::array kMainWindowMenus{
    ui::MenuItemSpec{"mnuLoadSpectra", "File", "&Load Spectra...", "Ctrl+O"},
    ui::MenuItemSpec{"mnuLoadCal", "File", "Load &Cal...", ""},
    ui::MenuItemSpec{"mnuOpenFitsObject", "File", "Open FITS &Object...", ""},
    ui::MenuItemSpec{"mnuOpenFitsLamp", "File", "Open FITS La&mp...", ""},
    ui::MenuItemSpec{"mnuExportFits", "File", "&Export FITS...", "Ctrl+E", true},
    ui::MenuItemSpec{"mnuExportCsv", "File", "Export C&SV...", ""},
    ui::MenuItemSpec{"mnuExportGraphImage", "File", "Export &Graph Image...", ""},
    ui::MenuItemSpec{"mnuPrintPreview", "File", "Print Pre&view...", "Ctrl+P"},
    ui::MenuItemSpec{"mnuExit", "File", "E&xit", "Ctrl+Q", true},
    ui::MenuItemSpec{"mnuUndo", "Calibration", "&Undo", "Ctrl+Z"},
    ui::MenuItemSpec{"mnuRedo", "Calibration", "R&edo", "Ctrl+Shift+Z"},
    ui::MenuItemSpec{"mnuSaveCalibration", "Calibration", "&Save Calibration...", "", true},
    ui::MenuItemSpec{"mnuLoadCalibration", "Calibration", "&Load Calibration...", ""},
    ui::MenuItemSpec{"mnuCheckCalibration", "Calibration", "&Check Calibration...", "", true},
    ui::MenuItemSpec{"mnuRefineWithAllLines", "Calibration", "&Refine with All Lines", ""},
    ui::MenuItemSpec{"mnuReidentify", "Calibration", "Re-&identify on This Lamp", ""},
    ui::MenuItemSpec{"mnuSpectrograph", "Calibration", "S&pectrograph...", ""},
    ui::MenuItemSpec{"mnuLampLines", "Calibration", "Lamp Li&nes...", ""},
    ui::MenuItemSpec{"mnuUserGuide", "Help", "&User Guide", "F1"},
    ui::MenuItemSpec{"mnuAbout", "Help", "&About", ""},
};
// clang-format on

/** A menu item of the main window, checked against the menu table when the program is built. */
using MainMenuItem = ui::CheckedName<kMainWindowMenus>;

}  // namespace halvic

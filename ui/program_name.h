#pragma once

#include <string_view>

namespace halvic::ui {

/** The program's name and version: the main window's caption and the writer of every export. */
inline constexpr std::string_view kProgramName =
    "Halvic Spectral Calibration Program - Version 1.2";

}  // namespace halvic::ui

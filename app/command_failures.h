#pragma once

#include <string_view>

namespace halvic {

/**
 * The commands that say one thing whatever made them fail: the loads, "Save Strip Image" and
 * "Print Graph". Every other command that fails by a fault of the program says
 * kCommandFailed followed by the fault.
 */
inline constexpr std::string_view kNotLoaded = "File not loaded successfully";
inline constexpr std::string_view kStripNotSaved = "Invalid path name - try again!";
inline constexpr std::string_view kNotPrinted = "There was a problem printing to your printer.";
inline constexpr std::string_view kCommandFailed = "The command failed: ";

}  // namespace halvic

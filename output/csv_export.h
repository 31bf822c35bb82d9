#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "calibration/grating_model.h"
#include "spectrum/profile_array.h"

namespace halvic {

/**
 * The CSV file of a profile: a header line, then one line a column in pixel order, each line
 * ended by LF. Calibrated: "wavelength_angstrom,value", the model's 64-bit wavelength of the
 * whole column; otherwise "pixel,value", the column number. The value is the profile's whole
 * number. Every number is its shortest text that reads back to the same value, with '.' as the
 * decimal separator whatever the locale. Columns 1..length; 0 or less writes the header alone.
 */
std::string buildCsvExport(const ProfileArray& profile, int16_t length,
                           const std::optional<GratingModel>& calibration);

}  // namespace halvic

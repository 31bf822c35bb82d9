#pragma once

#include <string>
#include <string_view>

namespace halvic {

/** The line of the user guide after which its sections are for the program's maintainers. */
inline constexpr std::string_view kMaintainersMarker = "<!-- For the program's maintainers";

/**
 * The user guide as the program shows it: the Markdown up to the line that begins with
 * kMaintainersMarker (remaking the pictures, and whatever else is for the maintainers), or all of
 * it when there is no such line.
 */
std::string userSectionsOf(std::string_view guide);

}  // namespace halvic

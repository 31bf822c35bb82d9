#pragma once

#include <string>
#include <string_view>

namespace halvic::ui {

/** A text in transcript form: carriage return, line feed and backslash as \r, \n and \\. */
std::string transcriptText(std::string_view text);

}  // namespace halvic::ui

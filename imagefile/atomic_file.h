#pragma once

#include <optional>
#include <span>
#include <string>

namespace halvic {

/**
 * Writes bytes to path as a whole or not at all: into a new temporary file in the same folder,
 * then renamed over path. (It is not forced to the disk before the rename: that costs several
 * milliseconds a file, and the rename already keeps every failure of the program or the system
 * call from leaving a partial file.) A failure at any step removes the temporary file
 * and leaves whatever was at path before untouched, and a shorter file never keeps the tail of a
 * longer old one. A new file gets the usual permissions (0666 less the umask), a replaced one
 * keeps its own; a symbolic link at path is written through to the file it names.
 *
 * Returns nullopt on success, otherwise the system's reason ("No space left on device",
 * "Not a directory", ...).
 */
std::optional<std::string> writeFileAtomically(const std::string& path,
                                               std::span<const char> bytes);

}  // namespace halvic

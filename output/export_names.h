#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace halvic {

inline constexpr std::string_view kFitsExtension = ".fits";
inline constexpr std::string_view kCsvExtension = ".csv";

/** path as typed, with extension added when it does not already end in it ("a" gives "a.fits"). */
std::string withExtension(std::string_view path, std::string_view extension);

/** The exact per-column file written beside NAME.fits: NAME-pixels.fits. */
std::string pixelsFileName(std::string_view fitsPath);

/** Both files a FITS export writes for a chosen path: NAME.fits, then NAME-pixels.fits. */
std::vector<std::string> fitsExportFiles(std::string_view chosenPath);

/**
 * The name a save dialog suggests for an export of an image: the image's file name without its
 * folder and its last extension, followed by extension ("lamp/neon.kr4" gives "neon.csv"); for no
 * image, fallback followed by extension.
 */
std::string suggestedExportName(std::string_view imagePath, std::string_view fallback,
                                std::string_view extension);

/** Whether a save dialog's answer names no file: empty, or a folder alone ("out/"). */
bool namesNoFile(std::string_view path);

}  // namespace halvic

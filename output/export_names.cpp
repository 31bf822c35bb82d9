#include "output/export_names.h"

#include <filesystem>

namespace halvic {

namespace {

constexpr std::string_view kPixelsSuffix = "-pixels";

}  // namespace

std::string withExtension(std::string_view path, std::string_view extension) {
  std::string named(path);
  if (!path.ends_with(extension)) {
    named += extension;
  }
  return named;
}

std::string pixelsFileName(std::string_view fitsPath) {
  const std::string named = withExtension(fitsPath, kFitsExtension);
  return named.substr(0, named.size() - kFitsExtension.size()) + std::string(kPixelsSuffix) +
         std::string(kFitsExtension);
}

std::vector<std::string> fitsExportFiles(std::string_view chosenPath) {
  return {withExtension(chosenPath, kFitsExtension), pixelsFileName(chosenPath)};
}

std::string suggestedExportName(std::string_view imagePath, std::string_view fallback,
                                std::string_view extension) {
  const std::string stem = std::filesystem::path(imagePath).stem().string();
  return (stem.empty() ? std::string(fallback) : stem) + std::string(extension);
}

bool namesNoFile(std::string_view path) { return path.empty() || path.back() == '/'; }

}  // namespace halvic

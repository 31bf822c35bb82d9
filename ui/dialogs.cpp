#include "ui/dialogs.h"

#include <algorithm>
#include <cctype>

namespace halvic::ui {

namespace {

bool isAsciiLetterOrDigit(char character) {
  return std::isalnum(static_cast<unsigned char>(character)) != 0;
}

/** ".png" for the pattern "*.png"; empty for a pattern that names no single extension. */
std::string_view patternExtension(std::string_view pattern) {
  constexpr std::string_view kAnyName = "*.";
  if (!pattern.starts_with(kAnyName) || pattern.size() == kAnyName.size() ||
      !std::all_of(pattern.begin() + static_cast<std::ptrdiff_t>(kAnyName.size()), pattern.end(),
                   isAsciiLetterOrDigit)) {
    return {};
  }
  return pattern.substr(1);
}

bool sameLetter(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

/** What follows the last '/' of path. */
std::string_view fileNameOf(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool hasExtension(std::string_view path, std::string_view extension) {
  const std::string_view name = fileNameOf(path);
  return name.size() > extension.size() &&
         std::equal(extension.begin(), extension.end(),
                    name.end() - static_cast<std::ptrdiff_t>(extension.size()), sameLetter);
}

std::string withFilterExtension(std::string_view path, const std::vector<FileFilter>& filters,
                                size_t selected) {
  const bool named = std::any_of(filters.begin(), filters.end(), [path](const FileFilter& filter) {
    const std::string_view extension = patternExtension(filter.pattern);
    return !extension.empty() && hasExtension(path, extension);
  });
  if (fileNameOf(path).empty() || named || selected >= filters.size()) {
    return std::string(path);
  }
  return std::string(path) + std::string(patternExtension(filters[selected].pattern));
}

}  // namespace halvic::ui

namespace halvic::ui {

bool fieldEnabled(const FormField& field, const std::vector<FormField>& fields) {
  return std::all_of(field.needs.begin(), field.needs.end(), [&fields](const std::string& name) {
    return std::any_of(fields.begin(), fields.end(), [&name](const FormField& other) {
      return other.name == name && !other.value.empty();
    });
  });
}

}  // namespace halvic::ui

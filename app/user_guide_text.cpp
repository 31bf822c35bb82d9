#include "app/user_guide_text.h"

namespace halvic {

std::string userSectionsOf(std::string_view guide) {
  size_t lineStart = 0;
  while (lineStart < guide.size()) {
    if (guide.substr(lineStart).starts_with(kMaintainersMarker)) {
      return std::string(guide.substr(0, lineStart));
    }
    const size_t lineEnd = guide.find('\n', lineStart);
    if (lineEnd == std::string_view::npos) {
      break;
    }
    lineStart = lineEnd + 1;
  }
  return std::string(guide);
}

}  // namespace halvic

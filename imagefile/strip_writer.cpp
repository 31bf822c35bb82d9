#include "imagefile/strip_writer.h"

#include <algorithm>

namespace halvic {

namespace {

constexpr size_t kFirstLetterSearched = 30;  // the I is looked for among bytes 0 to 29
constexpr uint8_t kLetterI = 'I';
constexpr uint8_t kBlank = ' ';
constexpr int32_t kProfileScale = 20;  // a strip row holds a 20-row profile's mean
constexpr int32_t kLargestPixel = 32767;

size_t firstLetterI(const HeaderBytes& source) {
  const auto end = source.begin() + kFirstLetterSearched;
  return static_cast<size_t>(std::find(source.begin(), end, kLetterI) - source.begin());
}

void appendPixel(std::vector<char>& file, int32_t value) {
  const auto pixel = static_cast<uint16_t>(value);
  file.push_back(static_cast<char>(pixel & 0xFFU));
  file.push_back(static_cast<char>(pixel >> 8U));
}

}  // namespace

HeaderBytes stripHeaderBlock(const HeaderBytes& source) {
  HeaderBytes header;
  header.fill(kBlank);
  std::copy(kStripModelWord.begin(), kStripModelWord.end(), header.begin());
  const size_t from = firstLetterI(source);
  const size_t copied = std::min(header.size() - kStripModelWord.size(), source.size() - from);
  std::copy_n(source.begin() + static_cast<std::ptrdiff_t>(from), copied,
              header.begin() + static_cast<std::ptrdiff_t>(kStripModelWord.size()));
  return header;
}

std::vector<char> stripImageFile(const HeaderBytes& source, int16_t height, int16_t width,
                                 std::span<const int32_t> profile) {
  const HeaderBytes header = stripHeaderBlock(source);
  std::vector<char> file(header.begin(), header.end());
  const int rows = std::clamp<int>(height, 0, kImageRows);
  const auto columns = static_cast<size_t>(
      std::min<int>(std::clamp<int>(width, 0, kImageColumns), static_cast<int>(profile.size())));
  std::vector<char> row;
  for (size_t column = 0; column < columns; ++column) {
    appendPixel(row, std::clamp(profile[column] / kProfileScale, 0, kLargestPixel));
  }
  for (int r = 0; r < rows; ++r) {
    file.insert(file.end(), row.begin(), row.end());
  }
  return file;
}

}  // namespace halvic

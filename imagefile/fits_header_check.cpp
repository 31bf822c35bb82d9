#include "imagefile/fits_header_check.h"

#include <fitsio.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "imagefile/fits_image.h"
#include "ui/number_text.h"

namespace halvic::fits {

namespace {

constexpr std::size_t kCardLength = 80;
constexpr std::size_t kBlockLength = 2880;
constexpr int kMostCompressedAxes = 6;
constexpr double kMostDitherSeed = 10000;
// cfitsio's message of a whole number it cannot read (one too large for 64 bits included) holds
// only 28 characters of it.
constexpr std::size_t kLongestWholeNumber = 29;

/**
 * The value of a KEYWORD = VALUE / COMMENT card, without its comment and blanks, found as cfitsio
 * finds it: after "= " in columns 9 and 10, or else after the card's first '='. nullopt when the
 * card has no '='.
 */
std::optional<std::string_view> cardValue(std::string_view card) {
  std::size_t start = card.substr(8, 2) == "= " ? 10 : card.find('=');
  if (start == std::string_view::npos) {
    return std::nullopt;
  }
  std::string_view value = card.substr(start == 10 ? start : start + 1);
  value = value.substr(0, value.find('/'));
  while (!value.empty() && value.front() == ' ') {
    value.remove_prefix(1);
  }
  while (!value.empty() && value.back() == ' ') {
    value.remove_suffix(1);
  }
  return value;
}

// Keys cfitsio reads as whole numbers as it moves to a unit or works out its tiles, or that the
// reader asks for: cfitsio 4.2 writes past its message buffer when a value of 29 characters or
// more cannot be read as a number.
bool isWholeNumberKey(std::string_view key) {
  constexpr std::array<std::string_view, 11> kKeys{"BITPIX", "PCOUNT",  "GCOUNT",  "TFIELDS",
                                                   "THEAP",  "BLANK",   "ZBITPIX", "ZDITHER0",
                                                   "ZBLANK", "ZPCOUNT", "ZGCOUNT"};
  constexpr std::array<std::string_view, 6> kNumbered{"NAXIS",  "TBCOL", "TNULL",
                                                      "ZNAXIS", "ZTILE", "ZVAL"};
  return std::find(kKeys.begin(), kKeys.end(), key) != kKeys.end() ||
         std::any_of(kNumbered.begin(), kNumbered.end(),
                     [key](std::string_view prefix) { return key.starts_with(prefix); });
}

bool isShapingText(std::string_view key) {
  return key == "ZIMAGE" || key == "ZCMPTYPE" || key == "XTENSION" || key.starts_with("ZNAME") ||
         key.starts_with("TTYPE") || key.starts_with("TFORM");
}

/** The keys of a header that cfitsio cannot be trusted with. */
class HeaderKeys {
 public:
  void take(std::string_view card) {
    const std::optional<std::string_view> found = cardValue(card);
    if (!found) {
      return;
    }
    const std::string_view value = *found;
    std::string_view key = card.substr(0, 8);
    while (!key.empty() && key.back() == ' ') {
      key.remove_suffix(1);
    }
    if ((key.starts_with("TTYPE") && !value.starts_with('\'')) ||
        (isWholeNumberKey(key) &&
         (value.size() >= kLongestWholeNumber || !ui::parseDecimal(value)))) {
      damaged_ = true;
    }
    // cfitsio looks a key up from the card it read last, so which of two it finds depends on
    // the order of its reads: a key that shapes the unit may appear only once.
    if (isWholeNumberKey(key) || isShapingText(key)) {
      damaged_ = damaged_ || !shapingKeys_.emplace(key).second;
    }
    if (key == "ZIMAGE") {
      image_ = value == "T";
    } else if (key == "ZNAXIS" || key == "ZBITPIX" || key == "ZDITHER0" ||
               key.starts_with("ZNAXIS") || key.starts_with("ZTILE")) {
      numbers_.emplace_back(key, ui::parseDecimal(value));
    }
  }

  bool damaged() const { return damaged_; }

  bool compressionAcceptable() const {
    if (!image_) {
      return true;
    }
    const std::optional<double> axes = number("ZNAXIS");
    if (!axes || !whole(*axes, 1, kMostCompressedAxes)) {
      return false;
    }
    for (int axis = 1; axis <= static_cast<int>(*axes); ++axis) {
      const std::string n = std::to_string(axis);
      const std::optional<double> length = number("ZNAXIS" + n);
      const std::optional<double> tile = number("ZTILE" + n);
      const auto largest = static_cast<double>(kMaxFitsPixels);
      if (!length || !whole(*length, 1, largest) || (tile && !whole(*tile, 1, largest))) {
        return false;
      }
    }
    const std::optional<double> bitpix = number("ZBITPIX");
    const std::optional<double> seed = number("ZDITHER0");
    return bitpix &&
           (*bitpix == BYTE_IMG || *bitpix == SHORT_IMG || *bitpix == LONG_IMG ||
            *bitpix == LONGLONG_IMG || *bitpix == FLOAT_IMG || *bitpix == DOUBLE_IMG) &&
           (!seed || whole(*seed, 1, kMostDitherSeed));
  }

 private:
  static bool whole(double value, double least, double most) {
    return value >= least && value <= most && value == std::floor(value);
  }

  /** The key's first number, as cfitsio reads it; one given with no number counts as 0. */
  std::optional<double> number(const std::string& key) const {
    for (const auto& [name, value] : numbers_) {
      if (name == key) {
        return value.value_or(0.0);
      }
    }
    return std::nullopt;
  }

  bool damaged_ = false;
  std::set<std::string, std::less<>> shapingKeys_;
  bool image_ = false;
  std::vector<std::pair<std::string, std::optional<double>>> numbers_;
};

}  // namespace

std::optional<std::string> unitHeaderRefusal(int descriptor, long long headerStart) {
  HeaderKeys keys;
  std::array<char, kBlockLength> block{};
  bool ended = false;
  for (long long at = headerStart; !ended; at += static_cast<long long>(kBlockLength)) {
    const ssize_t count = ::pread(descriptor, block.data(), block.size(), at);
    if (count < static_cast<ssize_t>(kCardLength)) {
      break;
    }
    for (std::size_t card = 0; card + kCardLength <= static_cast<std::size_t>(count) && !ended;
         card += kCardLength) {
      const std::string_view text(block.data() + card, kCardLength);
      ended = text.starts_with("END     ");
      keys.take(text);
    }
  }
  if (keys.damaged()) {
    return "its header is damaged";
  }
  if (!keys.compressionAcceptable()) {
    return "its compressed image's header is damaged";
  }
  return std::nullopt;
}

}  // namespace halvic::fits

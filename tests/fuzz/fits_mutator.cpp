// libFuzzer's mutator for the image reader's target, so that FITS images reach the image code
// often: an input that starts as FITS has a header card changed, added or removed, or its pixel
// bytes mutated; any other input is now and then replaced by a small FITS image built from its
// bytes (plain or tile-compressed by cfitsio), and otherwise mutated as libFuzzer would.

#include <fitsio.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/imagefile/fits_fixtures.h"

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

std::string card(std::string_view key, std::string_view value) {
  return halvic::test::fitsCard(std::string(key), std::string(value));
}

constexpr size_t kCard = 80;
constexpr size_t kBlock = 2880;
constexpr std::string_view kFitsStart = "SIMPLE  =";

using Random = std::minstd_rand;

template <typename Item, size_t count>
const Item& pick(const std::array<Item, count>& items, Random& random) {
  return items[random() % count];
}

struct KeyValues {
  std::string_view key;
  std::array<std::string_view, 6> values;
};

// The keys the reader and the reduction look at, each with values near their edges.
constexpr std::array<KeyValues, 14> kKeys{{
    {"BITPIX", {"8", "16", "32", "64", "-32", "-64"}},
    {"NAXIS", {"0", "1", "2", "3", "4", "-1"}},
    {"NAXIS1", {"1", "2", "769", "10000", "100000001", "0"}},
    {"NAXIS2", {"1", "3", "21", "10000", "-5", "0"}},
    {"NAXIS3", {"1", "2", "0", "1", "1", "9999999"}},
    {"BZERO", {"32768", "2147483648", "-1E300", "1E38", "0", "9223372036854775808"}},
    {"BSCALE", {"1", "0.5", "0", "-1", "1E-40", "1E300"}},
    {"BLANK", {"0", "-32768", "255", "32767", "1", "-1"}},
    {"SATURATE", {"0", "65535", "-1", "1E300", "NaN", "'high'"}},
    {"XPIXSZ", {"9", "0", "-3", "1E39", "'9'", "T"}},
    {"PIXSIZE1", {"4.5", "0", "-1", "1E300", "'x'", "3"}},
    {"XBINNING", {"2", "0", "-2", "1E300", "1", "F"}},
    {"DATE-OBS",
     {"'2024-03-14T21:12:40'", "'2024-02-30'", "'2024-03-14T24:00:00.5'", "''", "'9999-12-31'",
      "'2024-03-14T21:12:40.999999999999'"}},
    {"EXPTIME", {"120", "0", "-1", "1E308", "'long'", "1D3"}},
}};

/** The index of the END card among the first block's cards, or the card count when none. */
size_t endCard(const std::string& file) {
  const size_t cards = std::min(file.size(), kBlock) / kCard;
  for (size_t i = 0; i < cards; ++i) {
    if (file.compare(i * kCard, 3, "END") == 0) {
      return i;
    }
  }
  return cards;
}

void mutateHeader(std::string& file, Random& random) {
  const size_t end = endCard(file);
  const KeyValues& key = pick(kKeys, random);
  const std::string replacement = card(key.key, pick(key.values, random));
  switch (random() % 3) {
    case 0:  // a card's value replaced (never SIMPLE's)
      if (end > 1) {
        const size_t at = 1 + random() % (end - 1);
        file.replace(at * kCard, kCard, card(file.substr(at * kCard, 8), pick(key.values, random)));
      }
      break;
    case 1:  // a card added before END
      if (end + 1 < kBlock / kCard && file.size() >= kBlock) {
        file.insert(end * kCard, replacement);
        file.erase(kBlock, kCard);
      }
      break;
    default:  // a card removed, the block kept whole
      if (end > 1) {
        const size_t at = 1 + random() % (end - 1);
        file.erase(at * kCard, kCard);
        file.insert(std::min(file.size(), kBlock - kCard), std::string(kCard, ' '));
      }
      break;
  }
}

/** A small image of pixel bytes; tile-compressed by cfitsio now and then. */
std::string fitsFromBytes(const std::string& bytes, size_t maxSize, Random& random) {
  constexpr std::array<int, 6> kBitpix{8, 16, 32, 64, -32, -64};
  const int bitpix = pick(kBitpix, random);
  const long width = 1 + static_cast<long>(random() % 40);
  const long height = 1 + static_cast<long>(random() % 30);
  if (random() % 3 == 0) {
    std::vector<short> values(static_cast<size_t>(width * height));
    for (size_t i = 0; i < values.size(); ++i) {
      values[i] = static_cast<short>(bytes.empty() ? 0 : bytes[i % bytes.size()] * 97);
    }
    // Only the codes the reader decodes: cfitsio 4.2's HCOMPRESS_1 and PLIO_1 writers write past
    // their buffers, and the reader refuses both by name.
    constexpr std::array<int, 3> kCompression{RICE_1, GZIP_1, GZIP_2};
    void* memory = nullptr;
    size_t size = 0;
    fitsfile* file = nullptr;
    int status = 0;
    std::array<long, 2> axes{width, height};
    fits_create_memfile(&file, &memory, &size, kBlock, std::realloc, &status);
    fits_set_compression_type(file, pick(kCompression, random), &status);
    fits_create_img(file, SHORT_IMG, 2, axes.data(), &status);
    fits_write_img(file, TSHORT, 1, static_cast<LONGLONG>(values.size()), values.data(), &status);
    fits_close_file(file, &status);
    std::string written(static_cast<const char*>(memory), status == 0 ? size : 0);
    std::free(memory);
    return written.substr(0, maxSize);
  }
  std::vector<std::pair<std::string, std::string>> cards{{"SIMPLE", "T"},
                                                         {"BITPIX", std::to_string(bitpix)},
                                                         {"NAXIS", "2"},
                                                         {"NAXIS1", std::to_string(width)},
                                                         {"NAXIS2", std::to_string(height)}};
  for (const KeyValues& key : kKeys) {
    if (key.key.starts_with("NAXIS") || key.key == "BITPIX" || random() % 4 != 0) {
      continue;
    }
    cards.emplace_back(key.key, pick(key.values, random));
  }
  std::string file = halvic::test::fitsHeader(cards);
  const size_t dataSize = static_cast<size_t>(width * height * std::abs(bitpix) / 8);
  for (size_t i = 0; i < dataSize && !bytes.empty(); ++i) {
    file.push_back(bytes[i % bytes.size()]);
  }
  return file.substr(0, maxSize);
}

size_t store(const std::string& file, uint8_t* data, size_t maxSize) {
  const size_t size = std::min(file.size(), maxSize);
  std::memcpy(data, file.data(), size);
  return size;
}

}  // namespace

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize,
                                          unsigned int seed) {
  Random random(seed);
  std::string file(reinterpret_cast<const char*>(data), size);
  if (!file.starts_with(kFitsStart)) {
    return random() % 4 == 0 ? store(fitsFromBytes(file, maxSize, random), data, maxSize)
                             : LLVMFuzzerMutate(data, size, maxSize);
  }
  switch (random() % 3) {
    case 0:
      mutateHeader(file, random);
      return store(file, data, maxSize);
    case 1:
      if (size > kBlock) {  // only the bytes after the first block: its header stays
        return kBlock + LLVMFuzzerMutate(data + kBlock, size - kBlock, maxSize - kBlock);
      }
      return LLVMFuzzerMutate(data, size, maxSize);
    default:
      return LLVMFuzzerMutate(data, size, maxSize);
  }
}

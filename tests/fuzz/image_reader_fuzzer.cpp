// Feeds arbitrary bytes to the camera image reader as a whole file: the header scan first, then
// the pixel decoding with the scanned size and form (or, when the scan fails, a size taken from
// the input so the decoder is reached anyway). Aborts when a read writes outside the rows and
// columns it was given or changes the header copy without reading a full header block. Each input
// is also written to a file and read through the path entries, which must agree with the stream
// entries in every status, field and pixel.
//
// The same file is read as a FITS image (fits_mutator.cpp keeps many inputs FITS-shaped): a read
// must give an image or a reason, never both; an image's blank count must match its NaNs; the
// proposed reduction must pass its own check and reduce to a strip of at most 768 x 20 pixels in
// 0..32767 with nothing outside it, whose camera header reads back with the strip's size.

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "imagefile/fits_camera_header.h"
#include "imagefile/fits_image.h"
#include "imagefile/fits_reduction.h"
#include "imagefile/image_reader.h"

namespace {

constexpr int16_t kUntouched = -4321;

void require(bool condition) {
  if (!condition) {
    std::abort();
  }
}

struct PixelRequest {
  bool compressed;
  int16_t height;
  int16_t width;
};

/** Sizes from the first bytes, reaching a little past the array's bounds on both sides. */
PixelRequest requestFromInput(const uint8_t* data, size_t size) {
  if (size < 3) {
    return {false, 1, 1};
  }
  return {(data[0] & 1U) != 0, static_cast<int16_t>(data[1] % 24 - 2),
          static_cast<int16_t>((data[2] * 4) % 780 - 4)};
}

/** Only the first width columns of the first height rows may have changed. */
void checkCellsOutsideUntouched(const halvic::ImageArray& image, int16_t height, int16_t width) {
  halvic::ImageArray expected;
  expected.fill(kUntouched);
  for (int row = 1; row <= std::min<int>(height, halvic::kImageRows); ++row) {
    for (int column = 1; column <= std::min<int>(width, halvic::kImageColumns); ++column) {
      expected.set(column, row, image.at(column, row));
    }
  }
  require(image == expected);
}

/** One file for the whole run, under a name no other process uses, removed when the run ends. */
class ScratchFile {
 public:
  ScratchFile() : path_((std::filesystem::temp_directory_path() / "halvic_fuzz_XXXXXX").string()) {
    const int descriptor = mkstemp(path_.data());
    require(descriptor >= 0);
    close(descriptor);
  }
  ~ScratchFile() { std::remove(path_.c_str()); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  /** Replaces the file's content; returns its path. */
  const std::string& write(std::string_view content) {
    std::ofstream file(path_, std::ios::binary | std::ios::trunc);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
    file.close();
    require(!file.fail());
    return path_;
  }

 private:
  std::string path_;
};

ScratchFile& scratchFile() {
  static ScratchFile file;
  return file;
}

struct ScanResult {
  halvic::ReadStatus status;
  halvic::ImageHeaderFields fields;
};

struct PixelResult {
  halvic::ReadStatus status;
  halvic::ImageArray image;
  halvic::HeaderBytes headerBytes;
};

// A read by path also carries the system's error, which a read from memory never has.
halvic::ReadStatus statusOf(halvic::ReadStatus status) { return status; }
halvic::ReadStatus statusOf(const halvic::FileReadStatus& read) { return read.status; }

PixelResult readPixels(const PixelRequest& request, auto&& source) {
  PixelResult result{halvic::ReadStatus::Ok, {}, {}};
  result.image.fill(kUntouched);
  result.headerBytes.fill(0xA5);
  result.status = statusOf(halvic::readImagePixels(
      source, request.compressed, request.height, request.width, result.image, result.headerBytes));
  return result;
}

bool sameFields(const halvic::ImageHeaderFields& a, const halvic::ImageHeaderFields& b) {
  return a.height == b.height && a.width == b.width && a.background == b.background &&
         a.range == b.range && a.xPixelSize == b.xPixelSize && a.caption == b.caption &&
         a.compressed == b.compressed;
}

void checkStrip(const halvic::ReducedStrip& strip, const halvic::FitsHeaderValues& header) {
  require(strip.width >= 1 && strip.width <= halvic::kImageColumns);
  require(strip.height >= 1 && strip.height <= halvic::kImageRows);
  for (int row = 1; row <= halvic::kImageRows; ++row) {
    for (int column = 1; column <= halvic::kImageColumns; ++column) {
      const int16_t value = strip.image.at(column, row);
      require(row <= strip.height && column <= strip.width ? value >= 0 : value == 0);
    }
  }
  const halvic::HeaderBytes block = halvic::reducedImageHeader(strip, header);
  std::istringstream data(std::string(block.begin(), block.end()));
  halvic::ImageHeaderFields fields;
  require(halvic::scanImageHeader(data, "strip", fields) == halvic::ReadStatus::Ok);
  require(fields.width == strip.width && fields.height == strip.height);
}

void checkFitsImage(const std::string& path) {
  const halvic::FitsImageRead read = halvic::readFitsImage(path);
  require(read.image.has_value() == read.reason.empty());
  if (!read.image) {
    return;
  }
  const halvic::FitsImage& image = *read.image;
  require(image.width >= 1 && image.height >= 1 &&
          image.pixels.size() ==
              static_cast<size_t>(image.width) * static_cast<size_t>(image.height));
  require(std::count_if(image.pixels.begin(), image.pixels.end(),
                        [](float pixel) { return std::isnan(pixel); }) == image.blankPixels);
  const halvic::Reduction reduction = halvic::proposeReduction(image, std::nullopt);
  require(halvic::checkReduction(image, reduction).empty());
  const halvic::StripReduction reduced =
      halvic::reduceToStrip(image, reduction, halvic::headerPixelSize(image.header));
  require(reduced.strip.has_value());
  checkStrip(*reduced.strip, image.header);
}

}  // namespace

// cfitsio 4.2 loses a buffer of a tile it cannot decompress; that leak is the library's, not the
// reader's, and is left out of the leak check.
extern "C" const char* __lsan_default_suppressions() { return "leak:imcomp_decompress_tile\n"; }

// A damaged header can have cfitsio ask for petabytes, which the C library refuses with a null
// pointer that cfitsio answers with an error; the sanitizer is to do the same rather than stop.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  const std::string& path = scratchFile().write(file);

  std::istringstream headerData(file);
  ScanResult streamScan{halvic::ReadStatus::Ok, {}};
  streamScan.status = halvic::scanImageHeader(headerData, path, streamScan.fields);
  require(streamScan.fields.caption.size() <= halvic::kMaxCaptionLength);
  ScanResult pathScan{halvic::ReadStatus::Ok, {}};
  pathScan.status = statusOf(halvic::scanImageHeader(path, pathScan.fields));
  require(pathScan.status == streamScan.status);
  require(sameFields(pathScan.fields, streamScan.fields));

  PixelRequest request = requestFromInput(data, size);
  if (streamScan.status == halvic::ReadStatus::Ok) {
    request = {streamScan.fields.compressed, streamScan.fields.height, streamScan.fields.width};
  }

  std::istringstream pixelData(file);
  const PixelResult streamPixels = readPixels(request, pixelData);
  const PixelResult pathPixels = readPixels(request, path);
  require(pathPixels.status == streamPixels.status);
  require(pathPixels.image == streamPixels.image);
  require(pathPixels.headerBytes == streamPixels.headerBytes);

  checkCellsOutsideUntouched(streamPixels.image, request.height, request.width);
  const bool headerRead = size >= static_cast<size_t>(halvic::kHeaderSize) &&
                          request.height <= halvic::kImageRows &&
                          request.width <= halvic::kImageColumns;
  if (headerRead) {
    require(std::equal(streamPixels.headerBytes.begin(), streamPixels.headerBytes.end(), data));
  } else {
    require(streamPixels.status != halvic::ReadStatus::Ok);
    require(std::all_of(streamPixels.headerBytes.begin(), streamPixels.headerBytes.end(),
                        [](uint8_t byte) { return byte == 0xA5; }));
  }
  checkFitsImage(path);
  return 0;
}

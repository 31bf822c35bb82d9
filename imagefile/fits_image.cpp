#include "imagefile/fits_image.h"

#include <fitsio.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include "imagefile/c_numeric_locale.h"
#include "imagefile/fits_header_check.h"
#include "imagefile/fits_keys.h"
#include "imagefile/fits_tiles.h"
#include "imagefile/image_reader.h"
#include "imagefile/regular_file.h"

namespace halvic {

namespace {

// Every FITS file begins with this card; anything else is not looked at further.
constexpr std::string_view kFitsStart = "SIMPLE  =";

FitsImageRead refused(std::string reason) { return {std::nullopt, std::move(reason)}; }

bool startsAsFits(std::streambuf& data) {
  std::array<char, kFitsStart.size()> start{};
  const auto wanted = static_cast<std::streamsize>(start.size());
  return data.sgetn(start.data(), wanted) == wanted &&
         std::string_view(start.data(), start.size()) == kFitsStart;
}

/** A FITS file opened by cfitsio, closed when it goes. */
class OpenFits {
 public:
  // Reopened through the descriptor's entry in /proc, by the call that takes the name as it
  // stands: cfitsio then reads exactly the file checked, whatever the path names meanwhile, and
  // none of its extended file name syntax applies. cfitsio reads it through its own small
  // buffers, so the file is never held in memory whole.
  explicit OpenFits(int descriptor) {
    const std::string name = "/proc/self/fd/" + std::to_string(descriptor);
    fits_open_diskfile(&file_, name.c_str(), READONLY, &status_);
    if (status_ != 0) {
      file_ = nullptr;
    }
  }
  ~OpenFits() {
    if (file_ != nullptr) {
      int ignored = 0;
      fits_close_file(file_, &ignored);
    }
  }
  OpenFits(const OpenFits&) = delete;
  OpenFits& operator=(const OpenFits&) = delete;

  fitsfile* file() const { return file_; }
  int status() const { return status_; }

 private:
  fitsfile* file_ = nullptr;
  int status_ = 0;
};

/** The image unit found, or why there is none to read. */
struct ImageUnit {
  int number = 0;  // the unit, counted from 1; 0 when refused
  int width = 0;
  int height = 0;
  std::string reason;
};

/** A whole number with its thousands grouped by commas: 100,000,000. */
std::string groupedDigits(int64_t value) {
  std::string digits = std::to_string(value);
  for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
    digits.insert(static_cast<std::size_t>(at), 1, ',');
  }
  return digits;
}

std::string axesReason(int axes) {
  return axes == 1 ? "an image of one axis" : "an image of " + std::to_string(axes) + " axes";
}

std::string planesReason(LONGLONG planes) {
  return "a cube of " + std::to_string(planes) + " planes";
}

// The unit is current; its axes decide whether it is the image, a refusal, or one to pass over.
ImageUnit shapeOfCurrentImage(fitsfile* file, int number, int axes) {
  if (axes > 3) {
    return {.reason = axesReason(axes)};
  }
  std::array<LONGLONG, 3> length{};
  int status = 0;
  fits_get_img_sizell(file, axes, length.data(), &status);
  if (status != 0) {
    return {.reason = fits::reasonOf(status)};
  }
  if (length[0] <= 0 || (axes > 1 && length[1] <= 0) || (axes > 2 && length[2] <= 0)) {
    return {.reason = "the image is empty"};
  }
  if (axes == 1) {
    return {.reason = axesReason(axes)};
  }
  if (axes == 3 && length[2] != 1) {
    return {.reason = planesReason(length[2])};
  }
  // Each side is at most the whole limit, so both fit an int once their product does.
  if (length[0] > kMaxFitsPixels / length[1]) {
    return {.reason = "more than " + groupedDigits(kMaxFitsPixels) + " pixels"};
  }
  return {number, static_cast<int>(length[0]), static_cast<int>(length[1]), ""};
}

/** Where the unit after the current one starts: the end of the current one's data. */
LONGLONG nextUnitStart(fitsfile* file) {
  LONGLONG headerStart = 0;
  LONGLONG dataStart = 0;
  LONGLONG dataEnd = 0;
  int status = 0;
  fits_get_hduaddrll(file, &headerStart, &dataStart, &dataEnd, &status);
  fits::forget(status);
  return dataEnd;
}

ImageUnit findImage(fitsfile* file, int descriptor) {
  bool sawTable = false;
  for (int number = 1;; ++number) {
    // The primary unit's header is checked before cfitsio opens the file, each later one's
    // before cfitsio moves there.
    if (number > 1) {
      if (auto refusal = fits::unitHeaderRefusal(descriptor, nextUnitStart(file))) {
        return {.reason = *refusal};
      }
    }
    int type = 0;
    int status = 0;
    fits_movabs_hdu(file, number, &type, &status);
    if (status == END_OF_FILE && number > 1) {
      fits::forget(status);
      return {.reason = sawTable ? "it holds tables only" : "it holds no image"};
    }
    if (status != 0) {
      return {.reason = fits::reasonOf(status)};
    }
    if (type != IMAGE_HDU) {
      sawTable = true;
      continue;
    }
    int axes = 0;
    fits_get_img_dim(file, &axes, &status);
    if (status != 0) {
      return {.reason = fits::reasonOf(status)};
    }
    if (axes > 0) {
      return shapeOfCurrentImage(file, number, axes);
    }
  }
}

// The unit's own value counts; a value only the primary header holds is taken from there, as
// compressed images and images in extensions often leave the observation's keys to it.
void fillFrom(fitsfile* file, FitsHeaderValues& header) {
  const auto number = [file](std::optional<double>& field, const char* key) {
    if (!field) {
      field = fits::numberKey(file, key);
    }
  };
  const auto text = [file](std::optional<std::string>& field, const char* key) {
    if (!field) {
      field = fits::textKey(file, key);
    }
  };
  number(header.xPixelSizeUm, "XPIXSZ");
  number(header.pixelSize1Um, "PIXSIZE1");
  number(header.xBinning, "XBINNING");
  number(header.saturationLevel, "SATURATE");
  number(header.exposureSeconds, "EXPTIME");
  text(header.dateObs, "DATE-OBS");
  text(header.object, "OBJECT");
  text(header.rightAscension, "RA");
  text(header.declination, "DEC");
  text(header.objectRightAscension, "OBJCTRA");
  text(header.objectDeclination, "OBJCTDEC");
}

FitsHeaderValues headerValuesOf(fitsfile* file, int imageUnit) {
  FitsHeaderValues header;
  fillFrom(file, header);
  if (imageUnit > 1) {
    int type = 0;
    int status = 0;
    fits_movabs_hdu(file, 1, &type, &status);
    if (status == 0) {
      fillFrom(file, header);
    }
    fits::forget(status);
    fits_movabs_hdu(file, imageUnit, &type, &status);
  }
  return header;
}

/** value as a float, or nullopt when it lies beyond a float's range (or is not a number). */
std::optional<float> asFloat(double value) {
  if (!(std::fabs(value) <= static_cast<double>(std::numeric_limits<float>::max()))) {
    return std::nullopt;
  }
  return static_cast<float>(value);
}

/**
 * The scaled value of the largest integer the unit's type stores; nullopt for float data, and
 * when BSCALE puts it beyond a float's range, where no pixel can reach it.
 */
std::optional<float> storedMaximumOf(fitsfile* file) {
  int bitpix = 0;
  int status = 0;
  fits_get_img_type(file, &bitpix, &status);
  double largest = 0.0;
  switch (bitpix) {
    case BYTE_IMG:
      largest = std::numeric_limits<uint8_t>::max();
      break;
    case SHORT_IMG:
      largest = std::numeric_limits<int16_t>::max();
      break;
    case LONG_IMG:
      largest = std::numeric_limits<int32_t>::max();
      break;
    case LONGLONG_IMG:
      largest = static_cast<double>(std::numeric_limits<int64_t>::max());
      break;
    default:
      return std::nullopt;
  }
  const double scale = fits::numberKey(file, "BSCALE").value_or(1.0);
  const double zero = fits::numberKey(file, "BZERO").value_or(0.0);
  return asFloat(largest * scale + zero);
}

// An uncompressed image shorter than its pixels is refused before they are allocated, so that a
// small file claiming a huge image costs nothing.
std::optional<std::string> shortOfPixels(fitsfile* file, LONGLONG fileSize, const ImageUnit& unit) {
  int bitpix = 0;
  LONGLONG headerStart = 0;
  LONGLONG dataStart = 0;
  LONGLONG dataEnd = 0;
  int status = 0;
  fits_get_img_type(file, &bitpix, &status);
  fits_get_hduaddrll(file, &headerStart, &dataStart, &dataEnd, &status);
  if (status != 0) {
    return fits::reasonOf(status);
  }
  const LONGLONG pixelBytes = LONGLONG{unit.width} * unit.height * (std::abs(bitpix) / 8);
  return fileSize < dataStart + pixelBytes ? std::optional(fits::reasonOf(END_OF_FILE))
                                           : std::nullopt;
}

std::optional<std::string> refusedBeforeThePixels(fitsfile* file, int descriptor,
                                                  const ImageUnit& unit) {
  struct stat opened {};
  if (::fstat(descriptor, &opened) != 0) {
    return std::string(describe(ReadStatus::CannotOpen));
  }
  int status = 0;
  if (fits_is_compressed_image(file, &status) != 0) {
    return fits::compressedTilesRefusal(file, opened.st_size, unit.width, unit.height);
  }
  return shortOfPixels(file, opened.st_size, unit);
}

/** Sets every pixel that is not a finite number to NaN and counts them. */
int64_t markBlankPixels(std::vector<float>& pixels) {
  constexpr float kBlank = std::numeric_limits<float>::quiet_NaN();
  int64_t blanks = 0;
  // Without a branch, so that the loop runs on vectors.
  for (float& pixel : pixels) {
    const bool blank = !std::isfinite(pixel);
    blanks += blank ? 1 : 0;
    pixel = blank ? kBlank : pixel;
  }
  return blanks;
}

/**
 * What cfitsio puts in place of a blank pixel: NaN, or 0 for "no check" where only NaN can be
 * blank (uncompressed floating-point data, whose NaNs stay NaN) and checking each value would
 * cost a pass over the image.
 */
float blankSubstitute(fitsfile* file) {
  int bitpix = 0;
  int status = 0;
  fits_get_img_type(file, &bitpix, &status);
  const bool compressed = fits_is_compressed_image(file, &status) != 0;
  fits::forget(status);
  return bitpix < 0 && !compressed ? 0.0f : std::numeric_limits<float>::quiet_NaN();
}

// Touching a new array of 100 MB one 4 kB page at a time costs several times more than reading
// the file into it; where the system gives huge pages on request, a few dozen faults do instead.
void allocateOnHugePages(std::vector<float>& pixels, std::size_t count) {
  constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20U;
  pixels.reserve(count);
  const auto begin = reinterpret_cast<std::uintptr_t>(pixels.data());
  const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t last = (begin + count * sizeof(float)) & ~(kHugePage - 1);
  if (last > first) {
    ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
  }
  pixels.resize(count);
}

FitsImageRead readPixels(fitsfile* file, const ImageUnit& unit) {
  FitsImage image;
  image.width = unit.width;
  image.height = unit.height;
  allocateOnHugePages(image.pixels,
                      static_cast<std::size_t>(unit.width) * static_cast<std::size_t>(unit.height));
  // A blank integer (BLANK) reads as NaN, as a float blank is.
  float blank = blankSubstitute(file);
  int anyBlank = 0;
  int status = 0;
  fits_read_img(file, TFLOAT, 1, static_cast<LONGLONG>(image.pixels.size()), &blank,
                image.pixels.data(), &anyBlank, &status);
  // A value beyond a float's range is held at its largest, which is as saturated as it gets.
  if (status == NUM_OVERFLOW) {
    fits::forget(status);
    status = 0;
  }
  if (status != 0) {
    return refused(fits::reasonOf(status));
  }
  image.blankPixels = markBlankPixels(image.pixels);
  image.storedMaximum = storedMaximumOf(file);
  image.header = headerValuesOf(file, unit.number);
  return {std::move(image), ""};
}

}  // namespace

FitsImageRead readFitsImage(const std::string& path) {
  const CNumericLocale numeric;
  const OpenedFile opened = openRegularFile(path);
  if (opened.status != ReadStatus::Ok) {
    return refused(std::string(describe(opened.status)));
  }
  if (!startsAsFits(*opened.data)) {
    return refused("not a FITS file");
  }
  if (const auto refusal = fits::unitHeaderRefusal(opened.data->descriptor(), 0)) {
    return refused(*refusal);
  }
  const OpenFits fits(opened.data->descriptor());
  if (fits.file() == nullptr) {
    return refused(fits::reasonOf(fits.status()));
  }
  const ImageUnit unit = findImage(fits.file(), opened.data->descriptor());
  if (unit.number == 0) {
    return refused(unit.reason);
  }
  if (const std::optional<std::string> reason =
          refusedBeforeThePixels(fits.file(), opened.data->descriptor(), unit)) {
    return refused(*reason);
  }
  return readPixels(fits.file(), unit);
}

std::optional<float> headerPixelSize(const FitsHeaderValues& header) {
  const auto usable = [](double size) { return std::isfinite(size) && size > 0.0; };
  double size = 0.0;
  if (header.xPixelSizeUm && usable(*header.xPixelSizeUm)) {
    size = *header.xPixelSizeUm;
  } else if (header.pixelSize1Um) {
    size = *header.pixelSize1Um * header.xBinning.value_or(1.0);
  }
  return usable(size) ? asFloat(size) : std::nullopt;
}

bool isFitsFile(const std::string& path) {
  const OpenedFile opened = openRegularFile(path);
  return opened.status == ReadStatus::Ok && startsAsFits(*opened.data);
}

}  // namespace halvic

#include "imagefile/fits_keys.h"

#include <array>
#include <cmath>

#include "imagefile/image_reader.h"

namespace halvic::fits {

void forget(int status) {
  if (status != 0) {
    fits_clear_errmsg();
  }
}

std::string reasonOf(int status) {
  forget(status);
  if (status == END_OF_FILE || status == READ_ERROR) {
    return std::string(describe(ReadStatus::TruncatedFile));
  }
  std::array<char, FLEN_STATUS> text{};
  fits_get_errstatus(status, text.data());
  return text.data();
}

std::optional<double> numberKey(fitsfile* file, const char* key) {
  double value = 0.0;
  int status = 0;
  fits_read_key(file, TDOUBLE, key, &value, nullptr, &status);
  forget(status);
  return status == 0 && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

std::optional<long long> wholeKey(fitsfile* file, const char* key) {
  LONGLONG value = 0;
  int status = 0;
  fits_read_key(file, TLONGLONG, key, &value, nullptr, &status);
  forget(status);
  return status == 0 ? std::optional<long long>(value) : std::nullopt;
}

std::optional<std::string> textKey(fitsfile* file, const char* key) {
  std::array<char, FLEN_VALUE> value{};
  int status = 0;
  fits_read_key(file, TSTRING, key, value.data(), nullptr, &status);
  forget(status);
  const std::string text = value.data();
  return status == 0 && !text.empty() ? std::optional(text) : std::nullopt;
}

}  // namespace halvic::fits

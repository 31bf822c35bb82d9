#include "output/fits_file.h"

#include <fitsio.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>

#include "imagefile/c_numeric_locale.h"

namespace halvic {

namespace {

// Significant digits that carry a value through its decimal text and back unchanged; cfitsio
// takes a negative count as "this many significant digits".
constexpr int kDoubleDigits = -17;
constexpr int kFloatDigits = -9;
constexpr int kTypedDigits = -15;
constexpr size_t kBlockSize = 2880;
// The buffer grows by this much at a time: one FITS block and a few more.
constexpr size_t kGrowth = kBlockSize * 4;
// Every FITS file begins with this card's key and value indicator.
constexpr std::string_view kFirstCard = "SIMPLE  =";

std::string statusText(int status) {
  std::array<char, FLEN_STATUS> text{};
  fits_get_errstatus(status, text.data());
  // cfitsio keeps a stack of messages for every failure; this one has been read.
  fits_clear_errmsg();
  return text.data();
}

std::string keyText(std::string_view key) { return std::string(key); }

}  // namespace

// cfitsio formats and parses numbers with the C library under the thread's locale, so every call
// into it runs under a CNumericLocale: the files are the same whatever locale the user has.

struct FitsWriter::State {
  fitsfile* file = nullptr;
  void* buffer = nullptr;
  size_t size = 0;
  int status = 0;
};

FitsWriter::FitsWriter() : state_(std::make_unique<State>()) {
  const CNumericLocale numbers;
  fits_create_memfile(
      &state_->file, &state_->buffer, &state_->size, kGrowth,
      [](void* memory, size_t size) { return std::realloc(memory, size); }, &state_->status);
}

FitsWriter::~FitsWriter() {
  const CNumericLocale numbers;
  if (state_->file != nullptr) {
    int ignored = 0;
    fits_close_file(state_->file, &ignored);
  }
  std::free(state_->buffer);
}

void FitsWriter::addFloatImage(std::span<const float> values) {
  const CNumericLocale numbers;
  std::array<long, 1> length{static_cast<long>(values.size())};
  const int axes = values.empty() ? 0 : 1;
  fits_create_img(state_->file, FLOAT_IMG, axes, length.data(), &state_->status);
  if (!values.empty()) {
    std::vector<float> data(values.begin(), values.end());  // cfitsio takes a mutable array
    fits_write_img(state_->file, TFLOAT, 1, static_cast<LONGLONG>(data.size()), data.data(),
                   &state_->status);
  }
}

void FitsWriter::addUnsigned16Image(std::span<const uint16_t> values, long width, long height) {
  if (width < 1 || height < 1 ||
      values.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
    if (state_->status == 0) {
      state_->status = BAD_DIMEN;
    }
    return;
  }
  std::array<long, 2> lengths{width, height};
  fits_create_img(state_->file, USHORT_IMG, 2, lengths.data(), &state_->status);
  std::vector<uint16_t> data(values.begin(), values.end());  // cfitsio takes a mutable array
  fits_write_img(state_->file, TUSHORT, 1, static_cast<LONGLONG>(data.size()), data.data(),
                 &state_->status);
}

void FitsWriter::addTable(std::span<const TableColumn> columns) {
  const CNumericLocale numbers;
  // cfitsio takes the names, forms and units as arrays of mutable C strings.
  std::vector<std::string> names, forms, units;
  LONGLONG rows = 0;
  for (const TableColumn& column : columns) {
    names.push_back(column.name);
    units.push_back(column.unit);
    forms.emplace_back(std::holds_alternative<std::span<const double>>(column.values) ? "1D"
                                                                                      : "1E");
    rows =
        std::visit([](auto values) { return static_cast<LONGLONG>(values.size()); }, column.values);
  }
  const auto pointers = [](std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (std::string& text : texts) {
      result.push_back(text.data());
    }
    return result;
  };
  std::vector<char*> namePointers = pointers(names), formPointers = pointers(forms),
                     unitPointers = pointers(units);
  fits_create_tbl(state_->file, BINARY_TBL, rows, static_cast<int>(columns.size()),
                  namePointers.data(), formPointers.data(), unitPointers.data(), nullptr,
                  &state_->status);
  int number = 1;
  for (const TableColumn& column : columns) {
    if (const auto* doubles = std::get_if<std::span<const double>>(&column.values)) {
      std::vector<double> data(doubles->begin(), doubles->end());
      fits_write_col(state_->file, TDOUBLE, number, 1, 1, static_cast<LONGLONG>(data.size()),
                     data.data(), &state_->status);
    } else {
      const auto& floats = std::get<std::span<const float>>(column.values);
      std::vector<float> data(floats.begin(), floats.end());
      fits_write_col(state_->file, TFLOAT, number, 1, 1, static_cast<LONGLONG>(data.size()),
                     data.data(), &state_->status);
    }
    ++number;
  }
}

void FitsWriter::writeText(std::string_view key, std::string_view value, std::string_view comment) {
  const CNumericLocale numbers;
  fits_write_key_str(state_->file, keyText(key).c_str(), std::string(value).c_str(),
                     std::string(comment).c_str(), &state_->status);
}

void FitsWriter::writeDouble(std::string_view key, double value, std::string_view comment) {
  const CNumericLocale numbers;
  fits_write_key_dbl(state_->file, keyText(key).c_str(), value, kDoubleDigits,
                     std::string(comment).c_str(), &state_->status);
}

void FitsWriter::writeTypedNumber(std::string_view key, double value, std::string_view comment) {
  const CNumericLocale numbers;
  fits_write_key_dbl(state_->file, keyText(key).c_str(), value, kTypedDigits,
                     std::string(comment).c_str(), &state_->status);
}

void FitsWriter::writeFloat(std::string_view key, float value, std::string_view comment) {
  const CNumericLocale numbers;
  fits_write_key_flt(state_->file, keyText(key).c_str(), value, kFloatDigits,
                     std::string(comment).c_str(), &state_->status);
}

void FitsWriter::writeWhole(std::string_view key, long long value, std::string_view comment) {
  const CNumericLocale numbers;
  fits_write_key_lng(state_->file, keyText(key).c_str(), value, std::string(comment).c_str(),
                     &state_->status);
}

void FitsWriter::writeLogical(std::string_view key, bool value, std::string_view comment) {
  const CNumericLocale numbers;
  fits_write_key_log(state_->file, keyText(key).c_str(), value ? 1 : 0,
                     std::string(comment).c_str(), &state_->status);
}

void FitsWriter::writeHistory(std::string_view text) {
  const CNumericLocale numbers;
  fits_write_history(state_->file, std::string(text).c_str(), &state_->status);
}

FileBytes FitsWriter::finish() {
  const CNumericLocale numbers;
  LONGLONG headerStart = 0, dataStart = 0, dataEnd = 0;
  fits_get_hduaddrll(state_->file, &headerStart, &dataStart, &dataEnd, &state_->status);
  fits_close_file(state_->file, &state_->status);
  state_->file = nullptr;
  if (state_->status != 0) {
    return {{}, statusText(state_->status)};
  }
  // The last unit ends where the file ends, its last block filled out.
  const auto* bytes = static_cast<const char*>(state_->buffer);
  const size_t length = std::min(static_cast<size_t>(dataEnd), state_->size);
  return {std::vector<char>(bytes, bytes + length), std::nullopt};
}

namespace {

/**
 * Why bytes cannot be FITS, said before cfitsio tries them: it would report a text as having
 * "tried to move past end of file". nullopt when they may be.
 */
std::optional<std::string> notFitsReason(std::span<const char> bytes) {
  if (bytes.empty()) {
    return "the file is empty";
  }
  if (!std::string_view(bytes.data(), bytes.size()).starts_with(kFirstCard)) {
    return "it does not begin with SIMPLE";
  }
  if (bytes.size() < kBlockSize) {
    return "the file ends inside its first header";
  }
  return std::nullopt;
}

}  // namespace

struct FitsHeaderReader::State {
  std::vector<char> buffer;
  // cfitsio keeps the addresses of these two and reads through them whenever it reads data.
  void* memory = nullptr;
  size_t size = 0;
  fitsfile* file = nullptr;
};

FitsHeaderReader::FitsHeaderReader(std::span<const char> bytes)
    : state_(std::make_unique<State>()) {
  failure_ = notFitsReason(bytes);
  if (failure_) {
    return;
  }
  const CNumericLocale numbers;
  state_->buffer.assign(bytes.begin(), bytes.end());
  state_->memory = state_->buffer.data();
  state_->size = state_->buffer.size();
  int status = 0;
  fits_open_memfile(&state_->file, "memory", READONLY, &state_->memory, &state_->size, 0, nullptr,
                    &status);
  if (status != 0) {
    state_->file = nullptr;
    failure_ = statusText(status);
  }
}

FitsHeaderReader::~FitsHeaderReader() {
  const CNumericLocale numbers;
  if (state_->file != nullptr) {
    int ignored = 0;
    fits_close_file(state_->file, &ignored);
  }
}

std::optional<std::string> FitsHeaderReader::valueField(std::string_view key) const {
  const CNumericLocale numbers;
  if (state_->file == nullptr) {
    return std::nullopt;
  }
  std::array<char, FLEN_VALUE> value{};
  std::array<char, FLEN_COMMENT> comment{};
  int status = 0;
  fits_read_keyword(state_->file, keyText(key).c_str(), value.data(), comment.data(), &status);
  if (status != 0) {
    statusText(status);  // clears cfitsio's message of the missing key
    return std::nullopt;
  }
  return std::string(value.data());
}

std::optional<std::vector<float>> FitsHeaderReader::primaryValues() const {
  const CNumericLocale numbers;
  if (state_->file == nullptr) {
    return std::nullopt;
  }
  int status = 0;
  int axes = 0;
  fits_get_img_dim(state_->file, &axes, &status);
  if (status != 0 || axes > 1) {
    statusText(status);
    return std::nullopt;
  }
  if (axes == 0) {
    return std::vector<float>{};
  }
  long length = 0;
  fits_get_img_size(state_->file, 1, &length, &status);
  // cfitsio reads a memory file past its end when the data are cut short.
  LONGLONG headStart = 0, dataStart = 0, dataEnd = 0;
  fits_get_hduaddrll(state_->file, &headStart, &dataStart, &dataEnd, &status);
  if (status != 0 || length < 0 ||
      dataStart + static_cast<LONGLONG>(length) * static_cast<LONGLONG>(sizeof(float)) >
          static_cast<LONGLONG>(state_->buffer.size())) {
    statusText(status);
    return std::nullopt;
  }
  std::vector<float> values(static_cast<size_t>(std::max(length, 0L)));
  float noBlank = 0.0f;
  int anyBlank = 0;
  fits_read_img(state_->file, TFLOAT, 1, static_cast<LONGLONG>(values.size()), &noBlank,
                values.data(), &anyBlank, &status);
  if (status != 0) {
    statusText(status);
    return std::nullopt;
  }
  return values;
}

std::optional<std::string> FitsHeaderReader::text(std::string_view key) const {
  const std::optional<std::string> field = valueField(key);
  if (!field || field->size() < 2 || field->front() != '\'' || field->back() != '\'') {
    return std::nullopt;
  }
  // Inside the quotes a doubled quote stands for one; trailing blanks carry no meaning.
  std::string value;
  const std::string_view inside = std::string_view(*field).substr(1, field->size() - 2);
  for (size_t i = 0; i < inside.size(); ++i) {
    value += inside[i];
    if (inside[i] == '\'' && i + 1 < inside.size() && inside[i + 1] == '\'') {
      ++i;
    }
  }
  while (!value.empty() && value.back() == ' ') {
    value.pop_back();
  }
  return value;
}

namespace {

/** A FITS number: blanks around, optional sign, digits, fraction, 'E' or 'D' exponent. */
template <typename Number>
std::optional<Number> parseFitsNumber(std::string text) {
  std::replace(text.begin(), text.end(), 'D', 'E');
  std::string_view view = text;
  while (!view.empty() && view.front() == ' ') {
    view.remove_prefix(1);
  }
  while (!view.empty() && view.back() == ' ') {
    view.remove_suffix(1);
  }
  if (!view.empty() && view.front() == '+') {
    view.remove_prefix(1);
  }
  Number value{};
  const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value);
  if (view.empty() || error != std::errc() || end != view.data() + view.size()) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<double> FitsHeaderReader::number(std::string_view key) const {
  const std::optional<std::string> field = valueField(key);
  return field ? parseFitsNumber<double>(*field) : std::nullopt;
}

std::optional<float> FitsHeaderReader::floatNumber(std::string_view key) const {
  const std::optional<std::string> field = valueField(key);
  return field ? parseFitsNumber<float>(*field) : std::nullopt;
}

std::optional<bool> FitsHeaderReader::logical(std::string_view key) const {
  const std::optional<std::string> field = valueField(key);
  if (field == "T") {
    return true;
  }
  if (field == "F") {
    return false;
  }
  return std::nullopt;
}

}  // namespace halvic

#pragma once

#include <fitsio.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace halvic::test {

/** A FITS image file as cfitsio writes it, for tests and benchmarks. */
struct FitsSpec {
  int bitpix = SHORT_IMG;  // cfitsio's image type; USHORT_IMG is 16-bit with BZERO 32768
  std::vector<long> axes{5, 3};
  int compression = 0;  // cfitsio's tile compression (RICE_1, ...) of SHORT_IMG; 0 for none
  std::function<double(long index)> value = [](long index) { return static_cast<double>(index); };
  std::vector<std::pair<std::string, double>> numbers;     // header keys with a number
  std::vector<std::pair<std::string, std::string>> texts;  // header keys with a text
  // When given, an empty primary unit with these keys comes first and the image follows it.
  std::vector<std::pair<std::string, std::string>> primaryTexts;
};

/** Writes spec to path (which must not exist) a row at a time; cfitsio's status, 0 on success. */
inline int writeFits(const std::string& path, const FitsSpec& spec) {
  fitsfile* file = nullptr;
  int status = 0;
  if (fits_create_diskfile(&file, path.c_str(), &status) != 0) {
    return status;
  }
  if (spec.compression != 0) {
    fits_set_compression_type(file, spec.compression, &status);
  }
  if (!spec.primaryTexts.empty()) {
    fits_create_img(file, BYTE_IMG, 0, nullptr, &status);
    for (const auto& [key, text] : spec.primaryTexts) {
      fits_update_key_str(file, key.c_str(), text.c_str(), nullptr, &status);
    }
  }
  std::vector<long> axes = spec.axes;
  fits_create_img(file, spec.bitpix, static_cast<int>(axes.size()), axes.data(), &status);
  for (auto [key, number] : spec.numbers) {
    fits_update_key(file, TDOUBLE, key.c_str(), &number, nullptr, &status);
  }
  for (const auto& [key, text] : spec.texts) {
    fits_update_key_str(file, key.c_str(), text.c_str(), nullptr, &status);
  }
  long pixels = 1;
  for (long length : axes) {
    pixels *= length;
  }
  const long rowLength = axes.empty() ? 0 : axes[0];
  std::vector<double> row(static_cast<size_t>(rowLength));
  std::vector<short> shortRow(row.size());  // cfitsio compresses 16-bit data from 16-bit values
  for (long first = 0; first < pixels && status == 0; first += rowLength) {
    for (long i = 0; i < rowLength; ++i) {
      row[static_cast<size_t>(i)] = spec.value(first + i);
      shortRow[static_cast<size_t>(i)] = static_cast<short>(row[static_cast<size_t>(i)]);
    }
    if (spec.compression != 0) {
      fits_write_img(file, TSHORT, first + 1, rowLength, shortRow.data(), &status);
    } else {
      fits_write_img(file, TDOUBLE, first + 1, rowLength, row.data(), &status);
    }
  }
  int closeStatus = 0;
  fits_close_file(file, &closeStatus);
  return status != 0 ? status : closeStatus;
}

/**
 * A FITS header block written card by card, without cfitsio: KEY = VALUE cards in the order
 * given (values as they stand), then END, padded with blanks to 2880 bytes. For headers cfitsio
 * would not write, or whose data would be too large to write.
 */
inline std::string fitsHeader(const std::vector<std::pair<std::string, std::string>>& cards) {
  constexpr size_t kCard = 80;
  constexpr size_t kBlock = 2880;
  std::string header;
  for (const auto& [key, value] : cards) {
    std::string card = key;
    card.resize(8, ' ');
    card += "= " + std::string(value.size() < 20 ? 20 - value.size() : 0, ' ') + value;
    card.resize(kCard, ' ');
    header += card;
  }
  header += std::string("END").append(kCard - 3, ' ');
  header.resize((header.size() + kBlock - 1) / kBlock * kBlock, ' ');
  return header;
}

}  // namespace halvic::test

#pragma once

#include <fitsio.h>

#include <functional>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

namespace halvic::test {

using FitsCards = std::vector<std::pair<std::string, std::string>>;  // KEY and VALUE as written

/** A FITS image file as cfitsio writes it, for tests and benchmarks. */
struct FitsSpec {
  int bitpix = SHORT_IMG;  // cfitsio's image type; USHORT_IMG is 16-bit with BZERO 32768
  std::vector<long> axes{5, 3};
  int compression = 0;  // cfitsio's tile compression (RICE_1, ...) of SHORT_IMG; 0 for none
  std::function<double(long index)> value = [](long index) { return static_cast<double>(index); };
  FitsCards keys;
  FitsCards primaryKeys;  // when given, an empty primary unit with them precedes the image
};

/** The card KEY = VALUE, the value right-aligned at column 30 as FITS writes numbers. */
inline std::string fitsCard(std::string key, const std::string& value) {
  key.resize(8, ' ');
  std::string card = key + "= " + std::string(value.size() < 20 ? 20 - value.size() : 0, ' ');
  return card.append(value).append(80, ' ').substr(0, 80);
}

/** Writes spec to path (which must not exist) a row at a time; cfitsio's status, 0 on success. */
inline int writeFits(const std::string& path, const FitsSpec& spec) {
  fitsfile* file = nullptr;
  int status = 0;
  const auto addKeys = [&](const FitsCards& keys) {
    for (const auto& [key, value] : keys) {
      fits_update_card(file, key.c_str(), fitsCard(key, value).c_str(), &status);
    }
  };
  if (fits_create_diskfile(&file, path.c_str(), &status) != 0) {
    return status;
  }
  if (!spec.primaryKeys.empty()) {
    fits_create_img(file, BYTE_IMG, 0, nullptr, &status);
    addKeys(spec.primaryKeys);
  }
  fits_set_compression_type(file, spec.compression, &status);
  std::vector<long> axes = spec.axes;
  fits_create_img(file, spec.bitpix, static_cast<int>(axes.size()), axes.data(), &status);
  addKeys(spec.keys);
  const long pixels = std::accumulate(axes.begin(), axes.end(), 1L, std::multiplies<>());
  std::vector<double> row(static_cast<size_t>(axes[0]));
  std::vector<short> shortRow(row.size());  // cfitsio compresses 16-bit data from 16-bit values
  for (long first = 0; first < pixels && status == 0; first += axes[0]) {
    for (size_t i = 0; i < row.size(); ++i) {
      row[i] = spec.value(first + static_cast<long>(i));
      shortRow[i] = static_cast<short>(row[i]);
    }
    if (spec.compression != 0) {
      fits_write_img(file, TSHORT, first + 1, axes[0], shortRow.data(), &status);
    } else {
      fits_write_img(file, TDOUBLE, first + 1, axes[0], row.data(), &status);
    }
  }
  int closeStatus = 0;
  fits_close_file(file, &closeStatus);
  return status != 0 ? status : closeStatus;
}

/** A header block of these cards and END, without cfitsio, for headers it would not write. */
inline std::string fitsHeader(const FitsCards& cards) {
  std::string header;
  for (const auto& [key, value] : cards) {
    header += fitsCard(key, value);
  }
  header += std::string("END").append(77, ' ');
  return header.append(2880 - header.size() % 2880, ' ');
}

}  // namespace halvic::test

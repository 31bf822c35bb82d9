#include "tools/realarcs/arc_table.h"

#include <fitsio.h>

#include <array>

namespace halvic::realarcs {

namespace {

std::string statusText(int status) {
  std::array<char, FLEN_STATUS> text{};
  fits_get_errstatus(status, text.data());
  fits_clear_errmsg();
  return text.data();
}

/** Closes the file when the read ends, however it ends. */
class OpenTable {
 public:
  explicit OpenTable(const std::string& path) {
    fits_open_diskfile(&file_, path.c_str(), READONLY, &status_);
    int type = 0;
    fits_movabs_hdu(file_, 2, &type, &status_);
    if (status_ == 0 && type != BINARY_TBL) {
      status_ = NOT_BTABLE;
    }
  }
  ~OpenTable() {
    if (file_ != nullptr) {
      int ignored = 0;
      fits_close_file(file_, &ignored);
    }
  }
  OpenTable(const OpenTable&) = delete;
  OpenTable& operator=(const OpenTable&) = delete;

  std::vector<double> column(const char* name, std::string& failure) {
    int number = 0;
    fits_get_colnum(file_, CASEINSEN, const_cast<char*>(name), &number, &status_);
    LONGLONG rows = 0;
    fits_get_num_rowsll(file_, &rows, &status_);
    std::vector<double> values(status_ == 0 ? static_cast<size_t>(rows) : 0);
    fits_read_col(file_, TDOUBLE, number, 1, 1, rows, nullptr, values.data(), nullptr, &status_);
    if (status_ != 0 && failure.empty()) {
      failure = std::string("column ") + name + ": " + statusText(status_);
    }
    return values;
  }

  int status() const { return status_; }

 private:
  fitsfile* file_ = nullptr;
  int status_ = 0;
};

}  // namespace

ArcTableRead readArcTable(const std::string& path) {
  OpenTable table(path);
  if (table.status() != 0) {
    return {std::nullopt, statusText(table.status())};
  }
  std::string failure;
  ArcTable arc{table.column("wave", failure), table.column("flux", failure)};
  if (!failure.empty()) {
    return {std::nullopt, failure};
  }
  if (arc.vacuumA.empty()) {
    return {std::nullopt, "the table has no rows"};
  }
  return {std::move(arc), {}};
}

}  // namespace halvic::realarcs

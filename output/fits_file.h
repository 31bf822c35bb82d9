#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace halvic {

/** A whole file in memory, or why it could not be made. */
struct FileBytes {
  std::vector<char> bytes;
  std::optional<std::string> failure;  // nullopt: bytes hold the file
};

/** One column of a binary table: its name, unit and one value a row. */
struct TableColumn {
  std::string name;
  std::string unit;
  std::variant<std::span<const double>, std::span<const float>> values;
};

/**
 * A FITS file built in memory by cfitsio, one header and data unit after another; the keys of a
 * unit are written after it is added. The first failure is kept: every later call does nothing,
 * and finish() gives the reason (cfitsio's text of its status). Numbers are written with a
 * decimal point whatever the process's locale.
 */
class FitsWriter {
 public:
  FitsWriter();
  ~FitsWriter();
  FitsWriter(const FitsWriter&) = delete;
  FitsWriter& operator=(const FitsWriter&) = delete;

  /** An image unit of 32-bit floats, the primary one first; no values gives no data array. */
  void addFloatImage(std::span<const float> values);
  /**
   * An image unit of 16-bit unsigned values (BITPIX 16 with BZERO 32768), height rows of width
   * values, the first row first. Values that do not make width x height fail the writer.
   */
  void addUnsigned16Image(std::span<const uint16_t> values, long width, long height);
  /** A binary table extension of equally long columns (64-bit 'D' or 32-bit 'E'). */
  void addTable(std::span<const TableColumn> columns);

  void writeText(std::string_view key, std::string_view value, std::string_view comment);
  /** A 64-bit value with 17 significant digits, so that it reads back exactly. */
  void writeDouble(std::string_view key, double value, std::string_view comment);
  /** A 64-bit value with at most 15 significant digits: what a person typed, as typed. */
  void writeTypedNumber(std::string_view key, double value, std::string_view comment);
  /** A 32-bit value with 9 significant digits, so that it reads back exactly as a float. */
  void writeFloat(std::string_view key, float value, std::string_view comment);
  void writeWhole(std::string_view key, long long value, std::string_view comment);
  void writeLogical(std::string_view key, bool value, std::string_view comment);
  void writeHistory(std::string_view text);

  /** Closes the file and hands over its bytes; the writer is spent afterwards. */
  FileBytes finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

/**
 * The primary header of a FITS file held in memory, read by cfitsio whatever the process's
 * locale. Opening fails for anything that is not a FITS file; failure() then says why ("the file
 * is empty", "it does not begin with SIMPLE", "the file ends inside its first header", or
 * cfitsio's text) and every key is missing.
 */
class FitsHeaderReader {
 public:
  explicit FitsHeaderReader(std::span<const char> bytes);
  ~FitsHeaderReader();
  FitsHeaderReader(const FitsHeaderReader&) = delete;
  FitsHeaderReader& operator=(const FitsHeaderReader&) = delete;

  /** nullopt when the file was opened; otherwise why not. */
  const std::optional<std::string>& failure() const { return failure_; }

  /** A string value, without its quotes and trailing blanks; nullopt when missing or no string. */
  std::optional<std::string> text(std::string_view key) const;
  /** A number, parsed exactly as written (a 'D' exponent too); nullopt when missing or no number.
   */
  std::optional<double> number(std::string_view key) const;
  /** The same, rounded once to a 32-bit float. */
  std::optional<float> floatNumber(std::string_view key) const;
  /** A logical value T or F; nullopt when missing or not logical. */
  std::optional<bool> logical(std::string_view key) const;
  /** Whether the header has the key with a value, whatever the value is. */
  bool has(std::string_view key) const { return valueField(key).has_value(); }
  /**
   * The primary array when it has one axis, as 32-bit floats; empty when it has no data; nullopt
   * when it has more axes or its data cannot be read (a file cut short).
   */
  std::optional<std::vector<float>> primaryValues() const;

 private:
  /** The value field as written, with quotes; nullopt when the key is missing. */
  std::optional<std::string> valueField(std::string_view key) const;

  struct State;
  std::unique_ptr<State> state_;
  std::optional<std::string> failure_;
};

}  // namespace halvic

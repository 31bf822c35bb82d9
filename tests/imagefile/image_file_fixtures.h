#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>

#include "imagefile/image_array.h"
#include "imagefile/image_reader.h"
#include "tests/support/temp_dir.h"

namespace halvic {

/** Lets failed expectations name the status. */
inline void PrintTo(ReadStatus status, std::ostream* out) { *out << describe(status); }

}  // namespace halvic

namespace halvic::test {

/** The line end that camera image headers use: line feed, then carriage return. */
inline constexpr std::string_view kLfCr = "\n\r";
inline constexpr std::string_view kCrLf = "\r\n";

/** Header lines joined with their endings; NUL filler up to 2048 bytes when shorter. */
inline std::string headerBlock(std::initializer_list<std::string_view> lines,
                               std::string_view ending = kLfCr) {
  std::string block;
  for (std::string_view line : lines) {
    block.append(line);
    block.append(ending);
  }
  if (block.size() < static_cast<size_t>(kHeaderSize)) {
    block.resize(static_cast<size_t>(kHeaderSize), '\0');
  }
  return block;
}

/** A 16-bit value as its two little-endian bytes. */
inline std::string le16(uint16_t value) {
  return {static_cast<char>(value & 0xFFU), static_cast<char>(value >> 8U)};
}

/** Raw bytes from byte values, for pixel areas written out byte by byte. */
inline std::string bytes(std::initializer_list<int> values) {
  std::string text;
  for (int value : values) {
    text.push_back(static_cast<char>(static_cast<uint8_t>(value)));
  }
  return text;
}

}  // namespace halvic::test

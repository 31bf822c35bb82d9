#pragma once

#include <cstddef>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

namespace halvic {

/** Longest part of a header line that is kept; a header block is 2048 bytes, so real lines fit. */
inline constexpr size_t kMaxKeptLineLength = 4096;

/**
 * Finds a fixed pattern in a text fed one character at a time, so that a line too long to keep
 * can still be searched in full.
 */
class StreamingMatcher {
 public:
  /** The pattern must outlive the matcher and must not be empty. */
  explicit StreamingMatcher(std::string_view pattern);

  /** Forgets everything fed so far. */
  void reset();
  /** Feeds the next character; true once the pattern has occurred in what was fed. */
  bool feed(char character);
  bool found() const { return found_; }

 private:
  std::string_view pattern_;
  std::vector<size_t> fallback_;  // longest proper border of each pattern prefix
  size_t matched_ = 0;
  bool found_ = false;
};

/** One header line as read, without its terminator. */
struct HeaderLine {
  /** The first characters read, at most kMaxKeptLineLength of them, bytes unchanged. */
  std::string kept;
  /** How many characters were read in all; may exceed kept.size(). */
  size_t length = 0;
  /** Whether "Compressed Image" occurs anywhere in the characters read. */
  bool hasCompressedMarker = false;

  /** Whether some characters were read but not kept. */
  bool isCut() const { return length > kept.size(); }
};

/**
 * Reads the header of a camera image file as lines. A line is everything up to the next carriage
 * return; a carriage return directly followed by a line feed is one terminator, so the usual
 * header (line feed, then carriage return) leaves each line ending in its line feed. A lone line
 * feed is an ordinary character. The end of the data also ends a line that has characters.
 */
class HeaderLineReader {
 public:
  explicit HeaderLineReader(std::streambuf& source);

  /** Reads the next line into line; false when the data ended before any character of it. */
  bool next(HeaderLine& line);

 private:
  std::streambuf& source_;
  StreamingMatcher marker_;
};

}  // namespace halvic

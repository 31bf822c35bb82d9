#include "imagefile/header_line_reader.h"

namespace halvic {

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr std::string_view kCompressedMarker = "Compressed Image";

std::vector<size_t> borderTable(std::string_view pattern) {
  std::vector<size_t> table(pattern.size(), 0);
  size_t border = 0;
  for (size_t i = 1; i < pattern.size(); ++i) {
    while (border > 0 && pattern[i] != pattern[border]) {
      border = table[border - 1];
    }
    if (pattern[i] == pattern[border]) {
      ++border;
    }
    table[i] = border;
  }
  return table;
}

}  // namespace

StreamingMatcher::StreamingMatcher(std::string_view pattern)
    : pattern_(pattern), fallback_(borderTable(pattern)) {}

void StreamingMatcher::reset() {
  matched_ = 0;
  found_ = false;
}

bool StreamingMatcher::feed(char character) {
  if (found_) {
    return true;
  }
  while (matched_ > 0 && pattern_[matched_] != character) {
    matched_ = fallback_[matched_ - 1];
  }
  if (pattern_[matched_] == character) {
    ++matched_;
  }
  found_ = matched_ == pattern_.size();
  return found_;
}

HeaderLineReader::HeaderLineReader(std::streambuf& source)
    : source_(source), marker_(kCompressedMarker) {}

bool HeaderLineReader::next(HeaderLine& line) {
  using Traits = std::streambuf::traits_type;
  line.kept.clear();
  line.length = 0;
  marker_.reset();
  bool endedByTerminator = false;
  for (Traits::int_type next = source_.sbumpc(); !Traits::eq_int_type(next, Traits::eof());
       next = source_.sbumpc()) {
    const char character = Traits::to_char_type(next);
    if (character == kCarriageReturn) {
      if (Traits::eq_int_type(source_.sgetc(), Traits::to_int_type(kLineFeed))) {
        source_.sbumpc();
      }
      endedByTerminator = true;
      break;
    }
    if (line.kept.size() < kMaxKeptLineLength) {
      line.kept.push_back(character);
    }
    ++line.length;
    marker_.feed(character);
  }
  line.hasCompressedMarker = marker_.found();
  return endedByTerminator || line.length > 0;
}

}  // namespace halvic

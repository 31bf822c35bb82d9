#include "imagefile/image_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <span>
#include <vector>

#include "imagefile/header_line_reader.h"
#include "ui/number_text.h"

namespace halvic {

namespace {

// ---- Header scan ----

enum class HeaderField { Height, Width, Background, Range, XPixelSize, Date, Time };

struct KeyRule {
  std::string_view key;
  HeaderField field;
};

// Tested in this order; a key matches only at the very start of a line, case and blanks exact.
constexpr std::array<KeyRule, 7> kKeyRules{{
    {"Height =", HeaderField::Height},
    {"Width =", HeaderField::Width},
    {"Background =", HeaderField::Background},
    {"Range =", HeaderField::Range},
    {"X_pixel_size =", HeaderField::XPixelSize},
    {"Date =", HeaderField::Date},
    {"Time =", HeaderField::Time},
}};

constexpr std::string_view kEndPrefix = "End";
constexpr size_t kPrefixLength = 3;
constexpr float kMicrometresPerMillimetre = 1000.0f;

/** The value of a key line: its text after the key and one more character, possibly cut short. */
struct KeyValue {
  std::string_view text;
  bool cut = false;  // the line was longer than what was kept of it
};

ReadStatus toWhole(const KeyValue& value, int64_t minimum, int64_t maximum, int64_t& result) {
  const std::optional<double> number = value.cut ? std::nullopt : ui::parseDecimal(value.text);
  if (!number) {
    return ReadStatus::BadNumber;
  }
  const double rounded = ui::roundHalfEven(*number);
  if (rounded < static_cast<double>(minimum) || rounded > static_cast<double>(maximum)) {
    return ReadStatus::ValueOutOfRange;
  }
  result = static_cast<int64_t>(rounded);
  return ReadStatus::Ok;
}

ReadStatus toInt16(const KeyValue& value, int16_t& field) {
  int64_t whole = 0;
  const ReadStatus status = toWhole(value, std::numeric_limits<int16_t>::min(),
                                    std::numeric_limits<int16_t>::max(), whole);
  if (status == ReadStatus::Ok) {
    field = static_cast<int16_t>(whole);
  }
  return status;
}

ReadStatus toInt32(const KeyValue& value, int32_t& field) {
  int64_t whole = 0;
  const ReadStatus status = toWhole(value, std::numeric_limits<int32_t>::min(),
                                    std::numeric_limits<int32_t>::max(), whole);
  if (status == ReadStatus::Ok) {
    field = static_cast<int32_t>(whole);
  }
  return status;
}

// The header gives millimetres; the product is formed in single precision, as it is kept.
ReadStatus toMicrometres(const KeyValue& value, float& field) {
  const std::optional<double> number = value.cut ? std::nullopt : ui::parseDecimal(value.text);
  if (!number) {
    return ReadStatus::BadNumber;
  }
  if (std::fabs(*number) > static_cast<double>(std::numeric_limits<float>::max())) {
    return ReadStatus::ValueOutOfRange;
  }
  const float micrometres = static_cast<float>(*number) * kMicrometresPerMillimetre;
  if (!std::isfinite(micrometres)) {
    return ReadStatus::ValueOutOfRange;
  }
  field = micrometres;
  return ReadStatus::Ok;
}

void appendBounded(std::string& caption, std::string_view text) {
  if (caption.size() < kMaxCaptionLength) {
    caption.append(text.substr(0, kMaxCaptionLength - caption.size()));
  }
}

void appendToCaption(std::string& caption, std::string_view joiningWords, std::string_view text) {
  appendBounded(caption, joiningWords);
  appendBounded(caption, text);
}

ReadStatus storeField(HeaderField field, const KeyValue& value, ImageHeaderFields& fields) {
  switch (field) {
    case HeaderField::Height:
      return toInt16(value, fields.height);
    case HeaderField::Width:
      return toInt16(value, fields.width);
    case HeaderField::Background:
      return toInt16(value, fields.background);
    case HeaderField::Range:
      return toInt32(value, fields.range);
    case HeaderField::XPixelSize:
      return toMicrometres(value, fields.xPixelSize);
    case HeaderField::Date:
      appendToCaption(fields.caption, " captured on ", value.text);
      return ReadStatus::Ok;
    case HeaderField::Time:
      appendToCaption(fields.caption, " at ", value.text);
      return ReadStatus::Ok;
  }
  return ReadStatus::Ok;
}

// The text of a line is what was read minus its last character (normally the line feed in front
// of the carriage return); the value skips the key and the blank after it.
ReadStatus applyKeyLine(const HeaderLine& line, ImageHeaderFields& fields) {
  const std::string_view kept = line.kept;
  for (const KeyRule& rule : kKeyRules) {
    if (!kept.starts_with(rule.key)) {
      continue;
    }
    const size_t keyLength = rule.key.size();
    const size_t textLength = line.length - 1;
    if (textLength <= keyLength) {
      return ReadStatus::KeyWithoutValue;
    }
    const size_t valueStart = keyLength + 1;
    const size_t valueLength = textLength - valueStart;
    const std::string_view valueText = kept.substr(valueStart, valueLength);
    return storeField(rule.field, {valueText, valueText.size() < valueLength}, fields);
  }
  return ReadStatus::Ok;
}

ReadStatus scanHeaderLines(std::streambuf& source, ImageHeaderFields& fields) {
  HeaderLineReader reader(source);
  HeaderLine line;
  std::string prefix;
  while (prefix != kEndPrefix) {
    if (!reader.next(line)) {
      return ReadStatus::NoEndLine;
    }
    // Lines of fewer than three text characters are skipped and keep the remembered prefix.
    if (line.length < kPrefixLength + 1) {
      continue;
    }
    prefix.assign(line.kept, 0, kPrefixLength);
    if (line.hasCompressedMarker) {
      fields.compressed = true;
    }
    const ReadStatus status = applyKeyLine(line, fields);
    if (status != ReadStatus::Ok) {
      return status;
    }
  }
  return ReadStatus::Ok;
}

// ---- Pixel decoding ----

constexpr int32_t kLargestStoredValue = 32767;
constexpr int32_t kSmallestStorableValue = -32768;
constexpr uint8_t kEscapeByte = 0x80;
constexpr size_t kBytesPerPixel = 2;

int32_t littleEndian16(uint8_t low, uint8_t high) {
  return static_cast<int32_t>(static_cast<uint32_t>(high) << 8U | low);
}

int32_t signedLittleEndian16(uint8_t low, uint8_t high) {
  return static_cast<int16_t>(static_cast<uint16_t>(littleEndian16(low, high)));
}

int32_t signedDelta(uint8_t delta) { return delta > 0x7F ? int32_t{delta} - 256 : int32_t{delta}; }

/** Reads exactly bytes.size() bytes; false when the data ends first. */
bool readExactly(std::streambuf& source, std::span<uint8_t> bytes) {
  // Reinterpreting bytes as char is allowed: char may alias any object.
  char* target = reinterpret_cast<char*>(bytes.data());
  const auto wanted = static_cast<std::streamsize>(bytes.size());
  return source.sgetn(target, wanted) == wanted;
}

// The decoded value runs on unclamped, so a run above 32767 comes back down correctly.
ReadStatus storeClamped(int32_t value, int column, int row, ImageArray& image) {
  if (value < kSmallestStorableValue) {
    return ReadStatus::ValueOutOfRange;
  }
  image.set(column, row, static_cast<int16_t>(std::min(value, kLargestStoredValue)));
  return ReadStatus::Ok;
}

void decodeRawRow(std::span<const uint8_t> bytes, int width, int row, ImageArray& image) {
  for (int column = 1; column <= width; ++column) {
    const auto low = static_cast<size_t>(column - 1) * kBytesPerPixel;
    image.set(column, row,
              static_cast<int16_t>(
                  std::min(littleEndian16(bytes[low], bytes[low + 1]), kLargestStoredValue)));
  }
}

ReadStatus decodeDeltaRow(std::span<const uint8_t> body, int width, int row, ImageArray& image) {
  if (body.size() < kBytesPerPixel) {
    return ReadStatus::TruncatedRow;
  }
  int32_t value = littleEndian16(body[0], body[1]);
  ReadStatus status = storeClamped(value, 1, row, image);
  size_t next = kBytesPerPixel;
  for (int column = 2; column <= width && status == ReadStatus::Ok; ++column) {
    if (next >= body.size()) {
      return ReadStatus::TruncatedRow;
    }
    const uint8_t code = body[next];
    if (code == kEscapeByte) {
      if (next + kBytesPerPixel >= body.size()) {
        return ReadStatus::TruncatedRow;
      }
      value = littleEndian16(body[next + 1], body[next + 2]);
      next += kBytesPerPixel;
    } else {
      value += signedDelta(code);
    }
    ++next;
    status = storeClamped(value, column, row, image);
  }
  return status;
}

ReadStatus readPlainRows(std::streambuf& source, int height, int width, ImageArray& image) {
  std::vector<uint8_t> rowBytes(static_cast<size_t>(width) * kBytesPerPixel);
  for (int row = 1; row <= height; ++row) {
    if (!readExactly(source, rowBytes)) {
      return ReadStatus::TruncatedFile;
    }
    decodeRawRow(rowBytes, width, row, image);
  }
  return ReadStatus::Ok;
}

ReadStatus readCompressedRows(std::streambuf& source, int height, int width, ImageArray& image) {
  std::vector<uint8_t> body;
  for (int row = 1; row <= height; ++row) {
    std::array<uint8_t, 2> lengthBytes{};
    if (!readExactly(source, lengthBytes)) {
      return ReadStatus::TruncatedFile;
    }
    const int32_t bodyLength = signedLittleEndian16(lengthBytes[0], lengthBytes[1]);
    if (bodyLength < 1) {
      return ReadStatus::BadRowLength;
    }
    body.resize(static_cast<size_t>(bodyLength));
    if (!readExactly(source, body)) {
      return ReadStatus::TruncatedFile;
    }
    if (bodyLength == 2 * width) {
      decodeRawRow(body, width, row, image);
      continue;
    }
    const ReadStatus status = decodeDeltaRow(body, width, row, image);
    if (status != ReadStatus::Ok) {
      return status;
    }
  }
  return ReadStatus::Ok;
}

ReadStatus readPixelArea(std::streambuf& source, bool compressed, int16_t height, int16_t width,
                         ImageArray& image, HeaderBytes& headerBytes) {
  if (height > kImageRows || width > kImageColumns) {
    return ReadStatus::ValueOutOfRange;
  }
  HeaderBytes header{};
  if (!readExactly(source, header)) {
    return ReadStatus::TruncatedFile;
  }
  headerBytes = header;
  if (height <= 0 || width <= 0) {
    return ReadStatus::Ok;
  }
  return compressed ? readCompressedRows(source, height, width, image)
                    : readPlainRows(source, height, width, image);
}

/** Opens path for binary reading; a directory counts as a file that cannot be opened. */
std::optional<std::ifstream> openForReading(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    return std::nullopt;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open()) {
    return std::nullopt;
  }
  return file;
}

}  // namespace

std::string_view describe(ReadStatus status) {
  switch (status) {
    case ReadStatus::Ok:
      return "read";
    case ReadStatus::CannotOpen:
      return "the file cannot be opened";
    case ReadStatus::NoEndLine:
      return "the header has no End line";
    case ReadStatus::BadNumber:
      return "a header value is not a number";
    case ReadStatus::KeyWithoutValue:
      return "a header key has no value";
    case ReadStatus::BadRowLength:
      return "a compressed row has a length below 1";
    case ReadStatus::TruncatedRow:
      return "a compressed row ends before its last pixel";
    case ReadStatus::ValueOutOfRange:
      return "a value is out of range";
    case ReadStatus::TruncatedFile:
      return "the file ends early";
  }
  return "unknown status";
}

ReadStatus scanImageHeader(const std::string& path, ImageHeaderFields& fields) {
  fields.compressed = false;
  fields.caption = path;
  std::optional<std::ifstream> file = openForReading(path);
  if (!file) {
    return ReadStatus::CannotOpen;
  }
  return scanHeaderLines(*file->rdbuf(), fields);
}

ReadStatus scanImageHeader(std::istream& data, const std::string& path, ImageHeaderFields& fields) {
  fields.compressed = false;
  fields.caption = path;
  std::streambuf* source = data.rdbuf();
  return source == nullptr ? ReadStatus::CannotOpen : scanHeaderLines(*source, fields);
}

ReadStatus readImagePixels(const std::string& path, bool compressed, int16_t height, int16_t width,
                           ImageArray& image, HeaderBytes& headerBytes) {
  std::optional<std::ifstream> file = openForReading(path);
  if (!file) {
    return ReadStatus::CannotOpen;
  }
  return readPixelArea(*file->rdbuf(), compressed, height, width, image, headerBytes);
}

ReadStatus readImagePixels(std::istream& data, bool compressed, int16_t height, int16_t width,
                           ImageArray& image, HeaderBytes& headerBytes) {
  std::streambuf* source = data.rdbuf();
  return source == nullptr ? ReadStatus::CannotOpen
                           : readPixelArea(*source, compressed, height, width, image, headerBytes);
}

}  // namespace halvic

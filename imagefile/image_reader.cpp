#include "imagefile/image_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <sstream>
#include <vector>

#include "imagefile/file_descriptor_buffer.h"
#include "imagefile/header_line_reader.h"
#include "imagefile/regular_file.h"
#include "ui/number_text.h"
#include "ui/units.h"

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
    {kPixelSizeKey, HeaderField::XPixelSize},
    {kDateKey, HeaderField::Date},
    {kTimeKey, HeaderField::Time},
}};

constexpr std::string_view kEndPrefix = "End";
constexpr size_t kPrefixLength = 3;

// The scan reads only the header block, so every line it meets is kept whole.
static_assert(static_cast<size_t>(kHeaderSize) <= kMaxKeptLineLength);

// Any whole-number field: the header's decimal rounded half to even, which must fit the field.
template <typename Whole>
ReadStatus toWhole(std::string_view value, Whole& field) {
  const ui::WholeNumber number = ui::parseWholeNumber(value, std::numeric_limits<Whole>::min(),
                                                      std::numeric_limits<Whole>::max());
  switch (number.status) {
    case ui::WholeNumberStatus::Ok:
      field = static_cast<Whole>(number.value);
      return ReadStatus::Ok;
    case ui::WholeNumberStatus::NotANumber:
      return ReadStatus::BadNumber;
    case ui::WholeNumberStatus::OutOfRange:
      return ReadStatus::ValueOutOfRange;
  }
  return ReadStatus::BadNumber;
}

// The header gives millimetres; the product is formed in single precision, as it is kept. A
// number no camera's pixels can measure is set aside rather than refused: the image is still an
// image, and the pixel size in force stays what it was.
ReadStatus toMicrometres(std::string_view value, ImageHeaderFields& fields) {
  const std::optional<double> number = ui::parseDecimal(value);
  if (!number) {
    return ReadStatus::BadNumber;
  }
  const bool fitsAFloat =
      std::fabs(*number) <= static_cast<double>(std::numeric_limits<float>::max());
  const float micrometres =
      fitsAFloat ? static_cast<float>(*number) * static_cast<float>(kMicrometresPerMillimetre)
                 : std::numeric_limits<float>::infinity();
  if (!isPlausiblePixelSize(static_cast<double>(micrometres))) {
    fields.ignoredPixelSize = std::string(value);
    return ReadStatus::Ok;
  }
  fields.xPixelSize = micrometres;
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

ReadStatus storeField(HeaderField field, std::string_view value, ImageHeaderFields& fields) {
  switch (field) {
    case HeaderField::Height:
      return toWhole(value, fields.height);
    case HeaderField::Width:
      return toWhole(value, fields.width);
    case HeaderField::Background:
      return toWhole(value, fields.background);
    case HeaderField::Range:
      return toWhole(value, fields.range);
    case HeaderField::XPixelSize:
      return toMicrometres(value, fields);
    case HeaderField::Date:
      appendToCaption(fields.caption, " captured on ", value);
      return ReadStatus::Ok;
    case HeaderField::Time:
      appendToCaption(fields.caption, " at ", value);
      return ReadStatus::Ok;
  }
  return ReadStatus::Ok;
}

/** How a header line relates to a key: it does not start with it, has no value, or has one. */
struct KeyMatch {
  bool matches = false;
  std::optional<std::string_view> value;  // empty when the line ends right after the key
};

// The text of a line is what was read minus its last character (normally the line feed in front
// of the carriage return); the value skips the key and the blank after it.
KeyMatch matchKey(const HeaderLine& line, std::string_view key) {
  const std::string_view kept = line.kept;
  if (!kept.starts_with(key)) {
    return {};
  }
  const size_t textLength = line.length - 1;
  if (textLength <= key.size()) {
    return {true, std::nullopt};
  }
  const size_t valueStart = key.size() + 1;
  return {true, kept.substr(valueStart, textLength - valueStart)};
}

ReadStatus applyKeyLine(const HeaderLine& line, ImageHeaderFields& fields, std::string& where) {
  for (const KeyRule& rule : kKeyRules) {
    const KeyMatch match = matchKey(line, rule.key);
    if (!match.matches) {
      continue;
    }
    const ReadStatus status =
        match.value ? storeField(rule.field, *match.value, fields) : ReadStatus::KeyWithoutValue;
    if (status != ReadStatus::Ok) {
      where = rule.key;
    }
    return status;
  }
  return ReadStatus::Ok;
}

/** The header block: the first 2048 bytes, or all of the data when it is shorter. */
std::string readHeaderBlock(std::streambuf& source) {
  std::string block(static_cast<size_t>(kHeaderSize), '\0');
  const std::streamsize count = source.sgetn(block.data(), kHeaderSize);
  block.resize(static_cast<size_t>(count));
  return block;
}

/**
 * Calls onLine(line) for every header line of three text characters or more, up to and including
 * the first line beginning with "End"; stops at the first status onLine returns that is not Ok.
 * NoEndLine when the data ends before an End line.
 */
template <typename OnLine>
ReadStatus forEachHeaderLine(std::streambuf& block, OnLine onLine) {
  HeaderLineReader reader(block);
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
    if (const ReadStatus status = onLine(line); status != ReadStatus::Ok) {
      return status;
    }
  }
  return ReadStatus::Ok;
}

// The header lies inside its block, where the pixel area begins; nothing after the block is read,
// so the lines are read as if the data ended with it. That keeps a scan of an endless or huge
// file without an End line as short as that of any header.
ReadStatus scanHeaderLines(std::streambuf& source, ImageHeaderFields& fields, std::string& where) {
  std::stringbuf block(readHeaderBlock(source), std::ios::in);
  return forEachHeaderLine(block, [&fields, &where](const HeaderLine& line) {
    if (line.hasCompressedMarker) {
      fields.compressed = true;
    }
    return applyKeyLine(line, fields, where);
  });
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

std::string rowNamed(int row) { return "row " + std::to_string(row); }

ReadStatus readPlainRows(std::streambuf& source, int height, int width, ImageArray& image,
                         std::string& where) {
  std::vector<uint8_t> rowBytes(static_cast<size_t>(width) * kBytesPerPixel);
  for (int row = 1; row <= height; ++row) {
    if (!readExactly(source, rowBytes)) {
      where = rowNamed(row);
      return ReadStatus::TruncatedFile;
    }
    decodeRawRow(rowBytes, width, row, image);
  }
  return ReadStatus::Ok;
}

ReadStatus readCompressedRows(std::streambuf& source, int height, int width, ImageArray& image,
                              std::string& where) {
  std::vector<uint8_t> body;
  for (int row = 1; row <= height; ++row) {
    where = rowNamed(row);
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
  where.clear();
  return ReadStatus::Ok;
}

ReadStatus readPixelArea(std::streambuf& source, bool compressed, int16_t height, int16_t width,
                         ImageArray& image, HeaderBytes& headerBytes, std::string& where) {
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
  return compressed ? readCompressedRows(source, height, width, image, where)
                    : readPlainRows(source, height, width, image, where);
}

}  // namespace

bool isPlausiblePixelSize(double micrometres) {
  return std::isfinite(micrometres) && micrometres >= static_cast<double>(kSmallestPixelSizeUm) &&
         micrometres <= static_cast<double>(kLargestPixelSizeUm);
}

std::string_view describe(ReadStatus status) {
  switch (status) {
    case ReadStatus::Ok:
      return "read";
    case ReadStatus::CannotOpen:
      return "the file cannot be opened";
    case ReadStatus::NotARegularFile:
      return "not a regular file";
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
    case ReadStatus::ReadFailed:
      return "the file cannot be read";
  }
  return "unknown status";
}

std::string describe(const FileReadStatus& read) {
  if (read.systemError != 0) {
    return std::strerror(read.systemError);
  }
  if (read.where.empty()) {
    return std::string(describe(read.status));
  }
  switch (read.status) {
    case ReadStatus::BadNumber:
      return "the value of " + read.where + " is not a number";
    case ReadStatus::KeyWithoutValue:
      return read.where + " has no value";
    case ReadStatus::ValueOutOfRange:
      return "the value of " + read.where + " is out of range";
    case ReadStatus::BadRowLength:
      return read.where + " has a length below 1";
    case ReadStatus::TruncatedRow:
      return read.where + " ends before its last pixel";
    case ReadStatus::TruncatedFile:
      return "the file ends early, in " + read.where;
    default:
      return std::string(describe(read.status)) + " (" + read.where + ")";
  }
}

namespace {

/** The status of a path read: the system's error, or the reader's with where it stopped. */
FileReadStatus placed(ReadStatus status, const FileDescriptorBuffer& data, std::string where) {
  FileReadStatus read = withReadError(status, data);
  if (read.systemError == 0 && status != ReadStatus::Ok) {
    read.where = std::move(where);
  }
  return read;
}

}  // namespace

FileReadStatus scanImageHeader(const std::string& path, ImageHeaderFields& fields) {
  fields.compressed = false;
  fields.ignoredPixelSize.clear();
  fields.caption = path;
  const OpenedFile file = openRegularFile(path);
  if (file.status != ReadStatus::Ok) {
    return file.status;
  }
  std::string where;
  const ReadStatus status = scanHeaderLines(*file.data, fields, where);
  return placed(status, *file.data, std::move(where));
}

ReadStatus scanImageHeader(std::istream& data, const std::string& path, ImageHeaderFields& fields) {
  fields.compressed = false;
  fields.ignoredPixelSize.clear();
  fields.caption = path;
  std::streambuf* source = data.rdbuf();
  std::string where;
  return source == nullptr ? ReadStatus::CannotOpen : scanHeaderLines(*source, fields, where);
}

std::optional<std::string> headerValue(const HeaderBytes& header, std::string_view key) {
  std::stringbuf block(std::string(header.begin(), header.end()), std::ios::in);
  std::optional<std::string> found;
  forEachHeaderLine(block, [&found, key](const HeaderLine& line) {
    if (const KeyMatch match = matchKey(line, key); match.value) {
      found = std::string(*match.value);
    }
    return ReadStatus::Ok;
  });
  return found;
}

FileReadStatus readImagePixels(const std::string& path, bool compressed, int16_t height,
                               int16_t width, ImageArray& image, HeaderBytes& headerBytes) {
  const OpenedFile file = openRegularFile(path);
  if (file.status != ReadStatus::Ok) {
    return file.status;
  }
  std::string where;
  const ReadStatus status =
      readPixelArea(*file.data, compressed, height, width, image, headerBytes, where);
  return placed(status, *file.data, std::move(where));
}

ReadStatus readImagePixels(std::istream& data, bool compressed, int16_t height, int16_t width,
                           ImageArray& image, HeaderBytes& headerBytes) {
  std::streambuf* source = data.rdbuf();
  std::string where;
  return source == nullptr
             ? ReadStatus::CannotOpen
             : readPixelArea(*source, compressed, height, width, image, headerBytes, where);
}

}  // namespace halvic

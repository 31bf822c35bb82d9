#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "imagefile/header_line_reader.h"
#include "imagefile/image_reader.h"
#include "tests/imagefile/image_file_fixtures.h"

namespace halvic {
namespace {

using test::bytes;
using test::headerBlock;
using test::kCrLf;
using test::kLfCr;

/** What the fields hold before a scan: the previous image's values. */
ImageHeaderFields previousFields() {
  ImageHeaderFields fields;
  fields.height = 7;
  fields.width = 8;
  fields.background = 9;
  fields.range = 10;
  fields.xPixelSize = 11.0f;
  fields.caption = "previous caption";
  fields.compressed = true;
  return fields;
}

/** The fields after a scan that changed only what change sets; caption holds what follows the path.
 */
ImageHeaderFields afterScan(const std::function<void(ImageHeaderFields&)>& change = {}) {
  ImageHeaderFields fields = previousFields();
  fields.caption.clear();
  fields.compressed = false;
  if (change) {
    change(fields);
  }
  return fields;
}

float micrometres(double millimetres) { return static_cast<float>(millimetres) * 1000.0f; }

/**
 * "Height = 5", a line of x's, then text starting at byte offset `at` of the file, then 100 more
 * bytes of x's: places an End line exactly against the end of the 2048-byte header block.
 */
std::string textAt(size_t at, std::string_view text) {
  const std::string first = "Height = 5\n\r";
  std::string file = first + std::string(at - first.size() - kLfCr.size(), 'x');
  file.append(kLfCr);
  file.append(text);
  file.append(100, 'x');
  return file;
}

struct ScanCase {
  std::string name;
  std::string file;
  ReadStatus status;
  ImageHeaderFields expected;
};

std::vector<ScanCase> scanCases() {
  const auto usualHeader = [](std::string_view ending) {
    return headerBlock({"KR-4 Image", "Height = 20", "Width = 640", "Background = 100",
                        "Range = 4000", "X_pixel_size = 0.009", "Y_pixel_size = 0.5",
                        "Date = 12/01/2003", "Time = 21:15:00", "End"},
                       ending);
  };
  return {
      {"usual header with line feed, carriage return endings", usualHeader(kLfCr), ReadStatus::Ok,
       afterScan([](ImageHeaderFields& f) {
         f.height = 20;
         f.width = 640;
         f.background = 100;
         f.range = 4000;
         f.xPixelSize = micrometres(0.009);
         f.caption = " captured on 12/01/2003 at 21:15:00";
       })},
      {"carriage return, line feed endings lose each last character and End no longer stops",
       usualHeader(kCrLf), ReadStatus::NoEndLine, afterScan([](ImageHeaderFields& f) {
         f.height = 2;
         f.width = 64;
         f.background = 10;
         f.range = 400;
         f.ignoredPixelSize = "0.00";  // 0.009 less its last character: no camera's pixels
         f.caption = " captured on 12/01/200 at 21:15:0";
       })},
      {"carriage return, line feed header closed by a longer End line", "Width = 640\r\nEndX\r\n",
       ReadStatus::Ok, afterScan([](ImageHeaderFields& f) { f.width = 64; })},
      {"Compressed Image in a later line",
       headerBlock({"KR-4 Image", "Note Compressed Image", "End"}), ReadStatus::Ok,
       afterScan([](ImageHeaderFields& f) { f.compressed = true; })},
      {"Compressed Image found in the characters read, not only the text",
       "KR-4 Compressed Image\r\nEnd\n\r", ReadStatus::Ok,
       afterScan([](ImageHeaderFields& f) { f.compressed = true; })},
      {"Compressed Image after End is not seen",
       headerBlock({"KR-4 Image", "End", "Compressed Image"}), ReadStatus::Ok, afterScan()},
      {"lower case or partial marker is not compressed",
       headerBlock({"KR-4 compressed image", "Compressed Imag", "End"}), ReadStatus::Ok,
       afterScan()},
      {"keys match only exactly at the start of a line",
       headerBlock({"height = 5", "Height= 5", " Height = 5", "HEIGHT = 5", "XHeight = 5",
                    "Width  = 6", "End"}),
       ReadStatus::Ok, afterScan()},
      {"absent keys keep their previous values", headerBlock({"Height = 3", "End"}), ReadStatus::Ok,
       afterScan([](ImageHeaderFields& f) { f.height = 3; })},
      {"time before date", headerBlock({"Time = 10:00:00", "Date = 01/02/2003", "End"}),
       ReadStatus::Ok,
       afterScan([](ImageHeaderFields& f) { f.caption = " at 10:00:00 captured on 01/02/2003"; })},
      {"two date lines append twice", headerBlock({"Date = A", "Date = B", "End"}), ReadStatus::Ok,
       afterScan([](ImageHeaderFields& f) { f.caption = " captured on A captured on B"; })},
      {"empty date and time values append only the joining words",
       headerBlock({"Date = ", "Time = ", "End"}), ReadStatus::Ok,
       afterScan([](ImageHeaderFields& f) { f.caption = " captured on  at "; })},
      {"bytes above 127 pass through",
       headerBlock({bytes({'D', 'a', 't', 'e', ' ', '=', ' ', 0xE9, 0x80, 0xFF}), "End"}),
       ReadStatus::Ok, afterScan([](ImageHeaderFields& f) {
         f.caption = " captured on " + bytes({0xE9, 0x80, 0xFF});
       })},
      {"date key without the character after it", headerBlock({"Height = 5", "Date =", "End"}),
       ReadStatus::KeyWithoutValue, afterScan([](ImageHeaderFields& f) { f.height = 5; })},
      {"numeric key without the character after it", headerBlock({"Width =", "End"}),
       ReadStatus::KeyWithoutValue, afterScan()},
      {"key read without even its text's last character", "Range =\r\nEnd\n\r",
       ReadStatus::KeyWithoutValue, afterScan()},
      {"empty numeric value", headerBlock({"Height = ", "End"}), ReadStatus::BadNumber,
       afterScan()},
      {"blank numeric value", headerBlock({"Height =    ", "End"}), ReadStatus::BadNumber,
       afterScan()},
      {"letters", headerBlock({"Height = abc", "End"}), ReadStatus::BadNumber, afterScan()},
      {"trailing garbage", headerBlock({"Width = 12x", "End"}), ReadStatus::BadNumber, afterScan()},
      {"pixel size not a number", headerBlock({"X_pixel_size = mm", "End"}), ReadStatus::BadNumber,
       afterScan()},
      {"a lone line feed does not end a line", "Height = 5\nWidth = 6\n\rEnd\n\r",
       ReadStatus::BadNumber, afterScan()},
      {"blanks around numbers, fractions rounded half to even",
       headerBlock({"Height =    2.5  ", "Width = 3.5", "Background = -7.5", "Range = 1e3", "End"}),
       ReadStatus::Ok, afterScan([](ImageHeaderFields& f) {
         f.height = 2;
         f.width = 4;
         f.background = -8;
         f.range = 1000;
       })},
      {"extremes that fit",
       headerBlock({"Height = 32767", "Width = -32768.5", "Background = -32768",
                    "Range = -2147483648", "X_pixel_size = 1", "End"}),
       ReadStatus::Ok, afterScan([](ImageHeaderFields& f) {
         f.height = 32767;
         f.width = -32768;
         f.background = -32768;
         f.range = std::numeric_limits<int32_t>::min();
         f.xPixelSize = micrometres(1.0);
       })},
      {"height 40000", headerBlock({"Height = 40000", "End"}), ReadStatus::ValueOutOfRange,
       afterScan()},
      {"width rounding past 16 bits", headerBlock({"Width = 32767.5", "End"}),
       ReadStatus::ValueOutOfRange, afterScan()},
      {"range past 32 bits", headerBlock({"Height = 4", "Range = 2147483648", "End"}),
       ReadStatus::ValueOutOfRange, afterScan([](ImageHeaderFields& f) { f.height = 4; })},
      // A pixel size no camera has is set aside, and the one in force stays.
      {"pixel size beyond a float", headerBlock({"X_pixel_size = 1e39", "End"}), ReadStatus::Ok,
       afterScan([](ImageHeaderFields& f) { f.ignoredPixelSize = "1e39"; })},
      {"pixel size overflowing a float once in micrometres",
       headerBlock({"X_pixel_size = -1e36", "End"}), ReadStatus::Ok,
       afterScan([](ImageHeaderFields& f) { f.ignoredPixelSize = "-1e36"; })},
      {"pixel size of 0", headerBlock({"X_pixel_size = 0", "End"}), ReadStatus::Ok,
       afterScan([](ImageHeaderFields& f) { f.ignoredPixelSize = "0"; })},
      {"pixel size 1e-20 mm", headerBlock({"X_pixel_size = 1e-20", "End"}), ReadStatus::Ok,
       afterScan([](ImageHeaderFields& f) { f.ignoredPixelSize = "1e-20"; })},
      {"negative pixel size, then a camera's",
       headerBlock({"X_pixel_size = -0.009", "X_pixel_size = 0.0005", "End"}), ReadStatus::Ok,
       afterScan([](ImageHeaderFields& f) {
         f.ignoredPixelSize = "-0.009";
         f.xPixelSize = micrometres(0.0005);
       })},
      {"empty file", "", ReadStatus::NoEndLine, afterScan()},
      {"no End line", headerBlock({"KR-4 Image", "Height = 6"}), ReadStatus::NoEndLine,
       afterScan([](ImageHeaderFields& f) { f.height = 6; })},
      {"End at the end of the data without a terminator is too short", "Height = 6\n\rEnd",
       ReadStatus::NoEndLine, afterScan([](ImageHeaderFields& f) { f.height = 6; })},
      {"a line beginning with End stops, later lines are not read",
       headerBlock({"Endless", "Height = 5"}), ReadStatus::Ok, afterScan()},
      {"short and empty lines are skipped", "Height = 5\n\r\r\rab\n\rEnd\n\r", ReadStatus::Ok,
       afterScan([](ImageHeaderFields& f) { f.height = 5; })},
      // The header block is bytes 0..2047; the scan reads it as if the data ended after it.
      {"End line wholly inside the header block", textAt(2000, "End\n\r"), ReadStatus::Ok,
       afterScan([](ImageHeaderFields& f) { f.height = 5; })},
      {"End line whose terminator ends exactly at byte 2048", textAt(2043, "End\n\r"),
       ReadStatus::Ok, afterScan([](ImageHeaderFields& f) { f.height = 5; })},
      {"End line whose carriage return is the first byte after the block", textAt(2044, "End\n\r"),
       ReadStatus::Ok, afterScan([](ImageHeaderFields& f) { f.height = 5; })},
      {"End whose d is the block's last byte is too short, as at the end of the data",
       textAt(2045, "End\n\r"), ReadStatus::NoEndLine,
       afterScan([](ImageHeaderFields& f) { f.height = 5; })},
      {"End starting at byte 2046, only En inside the block", textAt(2046, "End\n\r"),
       ReadStatus::NoEndLine, afterScan([](ImageHeaderFields& f) { f.height = 5; })},
      {"no End line in 2048 bytes but one after", textAt(3000, "End\n\r"), ReadStatus::NoEndLine,
       afterScan([](ImageHeaderFields& f) { f.height = 5; })},
      {"a key line cut by the end of the block loses its last character there",
       textAt(2036, "Width = 1234567\n\rEnd\n\r"), ReadStatus::NoEndLine,
       afterScan([](ImageHeaderFields& f) {
         f.height = 5;
         f.width = 123;
       })},
  };
}

TEST(ScanImageHeader, ReadsEachHeaderAsTheLinesCome) {
  const test::TempDir dir;
  const std::vector<ScanCase> cases = scanCases();
  int checked = 0;
  for (const ScanCase& row : cases) {
    SCOPED_TRACE(row.name);
    const std::string path = dir.write("case" + std::to_string(checked) + ".kr4", row.file);
    ImageHeaderFields fields = previousFields();

    EXPECT_EQ(scanImageHeader(path, fields), row.status);

    EXPECT_EQ(fields.height, row.expected.height);
    EXPECT_EQ(fields.width, row.expected.width);
    EXPECT_EQ(fields.background, row.expected.background);
    EXPECT_EQ(fields.range, row.expected.range);
    EXPECT_EQ(fields.xPixelSize, row.expected.xPixelSize);
    EXPECT_EQ(fields.caption, path + row.expected.caption);
    EXPECT_EQ(fields.compressed, row.expected.compressed);
    EXPECT_EQ(fields.ignoredPixelSize, row.expected.ignoredPixelSize);
    ++checked;
  }
  EXPECT_EQ(checked, 44);
}

TEST(ScanImageHeader, MissingFileCannotBeOpened) {
  const test::TempDir dir;
  ImageHeaderFields fields = previousFields();
  EXPECT_EQ(scanImageHeader(dir.path() + "/absent.kr4", fields), ReadStatus::CannotOpen);
  EXPECT_EQ(scanImageHeader(dir.path(), fields), ReadStatus::CannotOpen);
  EXPECT_EQ(fields.height, 7);
}

TEST(ScanImageHeader, ReadsNothingAfterTheHeaderBlock) {
  std::string file(3'000'000, 'x');
  file += "\n\rCompressed Image\n\rHeight = 12\n\rEnd\n\r";
  std::istringstream data(file);
  ImageHeaderFields fields;

  EXPECT_EQ(scanImageHeader(data, "name", fields), ReadStatus::NoEndLine);

  EXPECT_EQ(data.tellg(), std::streampos(2048));
  EXPECT_FALSE(fields.compressed);
  EXPECT_EQ(fields.height, 0);
}

TEST(ScanImageHeader, DatesOfALargeFileWithoutEndLineAreReadUpToTheBlockEnd) {
  const test::TempDir dir;
  std::string file;
  for (int i = 0; i < 200'000; ++i) {
    file += "Date = 01/01/2000\n\r";
  }
  const std::string path = dir.write("endless.kr4", file);
  ImageHeaderFields fields;

  EXPECT_EQ(scanImageHeader(path, fields), ReadStatus::NoEndLine);

  // 107 lines of 19 bytes fill 2033 bytes; the 15 left hold "Date = 01/01/20", whose text
  // without its last character is "Date = 01/01/2".
  std::string expected = path;
  for (int i = 0; i < 107; ++i) {
    expected += " captured on 01/01/2000";
  }
  expected += " captured on 01/01/2";
  EXPECT_EQ(fields.caption, expected);
}

TEST(ScanImageHeader, CaptionStopsGrowingAtItsLimit) {
  const std::string longPath(4090, 'p');
  std::istringstream data(headerBlock({"Date = 01/01/2000", "Time = 10:00:00", "End"}));
  ImageHeaderFields fields;

  EXPECT_EQ(scanImageHeader(data, longPath, fields), ReadStatus::Ok);

  // Six characters are left below the limit of 4096: " captu" of " captured on ".
  EXPECT_EQ(fields.caption, longPath + " captu");
}

TEST(ScanImageHeader, StreamFormMatchesFileForm) {
  std::istringstream data(headerBlock({"Height = 9", "Compressed Image", "Date = d", "End"}));
  ImageHeaderFields fields;
  EXPECT_EQ(scanImageHeader(data, "name", fields), ReadStatus::Ok);
  EXPECT_EQ(fields.height, 9);
  EXPECT_TRUE(fields.compressed);
  EXPECT_EQ(fields.caption, "name captured on d");
}

}  // namespace
}  // namespace halvic

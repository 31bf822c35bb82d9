// "Save Strip Image" through the window: the file written and what it loads back as.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/app/main_window_fixture.h"
#include "tests/support/temp_dir.h"

namespace halvic {
namespace {

using test::HeadlessSession;

const std::string kLines = test::kSourceDir + "/tests/script/data/worked-example-lines.kr4";
const std::string kCompressedLamp = test::kSourceDir + "/samples/neon-lamp-compressed.kr4";

std::string readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string littleEndian(int value) {
  return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

/**
 * One row of the strip of worked-example-lines.kr4: its lamp profile is 200 everywhere (10
 * counts on 20 rows) but for the lines 400 800 1400 800 400 on 198..202 and 598..602 and 1200
 * on 400 and 403; over 20 that is 10, 20 40 70 40 20 and 60.
 */
std::string workedExampleStripRow() {
  std::vector<int> row(769, 10);
  for (const int centre : {200, 600}) {
    const std::vector<int> line{20, 40, 70, 40, 20};
    for (int offset = 0; offset < 5; ++offset) {
      row[static_cast<size_t>(centre - 2 + offset)] = line[static_cast<size_t>(offset)];
    }
  }
  row[400] = 60;
  row[403] = 60;
  std::string bytes;
  for (int column = 1; column <= 768; ++column) {
    bytes += littleEndian(row[static_cast<size_t>(column)]);
  }
  return bytes;
}

TEST(StripCommand, WritesTheRelabelledHeaderAndTheProfileOverTwentyOnEveryRow) {
  const test::TempDir dir;
  HeadlessSession session;
  session.load(kLines, "cmdload2");
  // A longer file at the target first: the strip replaces it whole, no stale tail.
  const std::string path = dir.write("strip.kr4", std::string(100000, 'x'));
  session.dialogs_.queueInput(dir.file("strip"));
  session.control("cmdstrip").userClick();

  const std::string file = readFile(path);
  ASSERT_EQ(file.size(), 2048U + 20 * 768 * 2) << session.transcript_.str();
  EXPECT_EQ(file.substr(0, 2048), readFile(kLines).substr(0, 2048))  // already "KR-4 Image"
      << "a plain KR-4 source keeps its header";
  std::string rows;
  for (int row = 0; row < 20; ++row) {
    rows += workedExampleStripRow();
  }
  EXPECT_TRUE(file.substr(2048) == rows);
  EXPECT_EQ(session.control("Lblwavelength").caption(), path + " strip image saved");
}

TEST(StripCommand, ACompressedSourceLosesItsElevenBytesAndLoadsBackWithItsHeaderValues) {
  const test::TempDir dir;
  HeadlessSession session;
  session.load(kCompressedLamp, "cmdload2");
  const Workspace source = session.ws();
  session.dialogs_.queueInput(dir.file("lamp-strip"));
  session.control("cmdstrip").userClick();
  const std::string file = readFile(dir.file("lamp-strip.kr4"));
  ASSERT_EQ(file.size(), 2048U + 20 * 765 * 2);
  // "KR-4 Compressed Image" becomes "KR-4 Image": the rest moves 11 bytes to the left.
  const std::string sourceHeader = readFile(kCompressedLamp).substr(0, 2048);
  EXPECT_EQ(file.substr(0, 12), "KR-4 Image\n\r");
  EXPECT_EQ(file.substr(5, 2048 - 16), sourceHeader.substr(16));
  EXPECT_EQ(file.substr(2048 - 11, 11), std::string(11, ' '));

  // Back through both loads: the header values of the source, the profile over 20 as pixels.
  for (const std::string_view button : {"cmdload", "cmdload2"}) {
    SCOPED_TRACE(button);
    HeadlessSession reader;
    reader.load(dir.file("lamp-strip.kr4"), button);
    const Workspace& ws = reader.ws();
    const bool data = button == "cmdload";
    EXPECT_EQ(data ? ws.image(ImageKind::Data).height : ws.image(ImageKind::Cal).height,
              source.image(ImageKind::Cal).height);
    EXPECT_EQ(data ? ws.image(ImageKind::Data).width : ws.image(ImageKind::Cal).width,
              source.image(ImageKind::Cal).width);
    EXPECT_EQ(data ? ws.image(ImageKind::Data).background : ws.image(ImageKind::Cal).background,
              source.image(ImageKind::Cal).background);
    EXPECT_EQ(data ? ws.image(ImageKind::Data).range : ws.image(ImageKind::Cal).range,
              source.image(ImageKind::Cal).range);
    EXPECT_EQ(ws.calibration.model.xPixelSize, source.calibration.model.xPixelSize);
    const ImageArray& image =
        data ? ws.image(ImageKind::Data).image : ws.image(ImageKind::Cal).image;
    for (const int column : {1, 214, 590, 765}) {
      EXPECT_EQ(image.at(column, 1), source.image(ImageKind::Cal).profile.at(column) / 20)
          << column;
      EXPECT_EQ(image.at(column, 20), source.image(ImageKind::Cal).profile.at(column) / 20)
          << column;
    }
  }
}

}  // namespace
}  // namespace halvic

// Paths that name something other than a regular file are refused by both path entries before
// anything is read, so that neither can wait for a writer or read without end.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "imagefile/image_reader.h"
#include "imagefile/regular_file.h"
#include "tests/imagefile/image_file_fixtures.h"

namespace halvic {
namespace {

using test::headerBlock;

struct PathCase {
  std::string name;
  std::function<std::string(const test::TempDir&)> makePath;
  ReadStatus status;
};

std::string makeFifo(const test::TempDir& dir, const std::string& name) {
  const std::string path = dir.path() + "/" + name;
  EXPECT_EQ(mkfifo(path.c_str(), 0600), 0) << path;
  return path;
}

std::string makeLink(const test::TempDir& dir, const std::string& target) {
  const std::string path = dir.path() + "/link-to-" + target.substr(target.rfind('/') + 1);
  EXPECT_EQ(symlink(target.c_str(), path.c_str()), 0) << path;
  return path;
}

std::string makeImage(const test::TempDir& dir) {
  return dir.write("image.kr4",
                   headerBlock({"Height = 1", "Width = 2", "End"}) + test::bytes({1, 0, 2, 0}));
}

std::vector<PathCase> pathCases() {
  return {
      {"FIFO without a writer", [](const auto& dir) { return makeFifo(dir, "fifo"); },
       ReadStatus::NotARegularFile},
      {"symbolic link to a FIFO",
       [](const auto& dir) { return makeLink(dir, makeFifo(dir, "linked-fifo")); },
       ReadStatus::NotARegularFile},
      {"folder", [](const auto& dir) { return dir.path(); }, ReadStatus::CannotOpen},
      {"missing file", [](const auto& dir) { return dir.path() + "/absent.kr4"; },
       ReadStatus::CannotOpen},
      {"symbolic link to an image file",
       [](const auto& dir) { return makeLink(dir, makeImage(dir)); }, ReadStatus::Ok},
  };
}

TEST(FileKind, OnlyRegularFilesAreRead) {
  const std::vector<PathCase> cases = pathCases();
  int checked = 0;
  for (const PathCase& row : cases) {
    SCOPED_TRACE(row.name);
    const test::TempDir dir;
    const std::string path = row.makePath(dir);
    ImageHeaderFields fields;
    fields.height = 7;
    ImageArray image;
    HeaderBytes headerBytes{};
    headerBytes.fill(0xA5);

    EXPECT_EQ(scanImageHeader(path, fields), row.status);
    EXPECT_EQ(readImagePixels(path, false, 1, 2, image, headerBytes), row.status);

    const bool read = row.status == ReadStatus::Ok;
    EXPECT_EQ(fields.height, read ? 1 : 7);
    EXPECT_EQ(headerBytes[0], read ? 'H' : 0xA5);
    EXPECT_EQ(image.at(2, 1), read ? 2 : 0);
    ++checked;
  }
  EXPECT_EQ(checked, 5);
}

TEST(FileKind, ReadRegularFileReadsOnlyRegularFilesAndOnlySmallOnes) {
  const std::vector<PathCase> cases = pathCases();
  int checked = 0;
  for (const PathCase& row : cases) {
    SCOPED_TRACE(row.name);
    const test::TempDir dir;
    std::vector<char> bytes{'o', 'l', 'd'};
    EXPECT_EQ(readRegularFile(row.makePath(dir), 4096, bytes), row.status);
    EXPECT_EQ(bytes.size(), row.status == ReadStatus::Ok ? 2048U + 4U : 3U);
    ++checked;
  }
  EXPECT_EQ(checked, 5);

  struct SizeRow {
    std::string_view name;
    size_t size;
    ReadStatus status;
  };
  const std::vector<SizeRow> sizes{{"empty", 0, ReadStatus::Ok},
                                   {"exactly the limit", 100, ReadStatus::Ok},
                                   {"one byte more", 101, ReadStatus::ValueOutOfRange}};
  for (const SizeRow& row : sizes) {
    SCOPED_TRACE(row.name);
    const test::TempDir dir;
    std::vector<char> bytes{'o', 'l', 'd'};
    EXPECT_EQ(readRegularFile(dir.write("file", std::string(row.size, 'x')), 100, bytes),
              row.status);
    const std::vector<char> expected = row.status == ReadStatus::Ok
                                           ? std::vector<char>(row.size, 'x')
                                           : std::vector<char>{'o', 'l', 'd'};
    EXPECT_EQ(bytes, expected);
  }
}

}  // namespace
}  // namespace halvic

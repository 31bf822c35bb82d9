#include "imagefile/file_descriptor_buffer.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <istream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/imagefile/image_file_fixtures.h"

namespace halvic {
namespace {

/** size bytes that differ from their neighbours, so a byte read twice or skipped shows. */
std::string numberedBytes(size_t size) {
  std::string content;
  for (size_t i = 0; i < size; ++i) {
    content.push_back(static_cast<char>((i * 7 + i / 251) % 256));
  }
  return content;
}

TEST(FileDescriptorBuffer, ReadsEveryByteAcrossItsBufferRefills) {
  const test::TempDir dir;
  // Around the 4096-byte refill: empty, one byte, one short of it, exactly it, one past, many.
  const std::vector<size_t> sizes{0, 1, 4095, 4096, 4097, 10'000};
  for (const size_t size : sizes) {
    SCOPED_TRACE(size);
    const std::string content = numberedBytes(size);
    const std::string path = dir.write("data" + std::to_string(size), content);

    FileDescriptorBuffer byByte(::open(path.c_str(), O_RDONLY));
    std::istream byteStream(&byByte);
    const std::string readByByte{std::istreambuf_iterator<char>(byteStream),
                                 std::istreambuf_iterator<char>()};
    EXPECT_EQ(readByByte, content);

    FileDescriptorBuffer inBlocks(::open(path.c_str(), O_RDONLY));
    std::string readInBlocks(size + 10, '\0');
    readInBlocks.resize(static_cast<size_t>(
        inBlocks.sgetn(readInBlocks.data(), static_cast<std::streamsize>(readInBlocks.size()))));
    EXPECT_EQ(readInBlocks, content);
  }
  EXPECT_EQ(sizes.size(), 6U);
}

TEST(FileDescriptorBuffer, AnUnreadableDescriptorIsEmptyData) {
  FileDescriptorBuffer buffer(-1);
  EXPECT_EQ(buffer.sgetc(), std::streambuf::traits_type::eof());
}

}  // namespace
}  // namespace halvic

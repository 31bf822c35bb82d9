// "Load Spectra" on paths that are not image files, and could each keep a reader busy for ever or
// for long: every one is refused at once and the image loaded before stays as it was.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/app/main_window_fixture.h"
#include "tests/imagefile/image_file_fixtures.h"

namespace halvic {
namespace {

constexpr off_t kTwoGigabytes = off_t{2} * 1024 * 1024 * 1024;

/** A load that gets no further than its first reads is refused well within this. */
constexpr std::chrono::seconds kPromptRefusal{1};

std::string makeFifo(const test::TempDir& dir) {
  const std::string path = dir.path() + "/no-writer.kr4";
  EXPECT_EQ(mkfifo(path.c_str(), 0600), 0) << path;
  return path;
}

// Sparse: the length is set without writing, so the file takes no disk.
std::string makeZeroFile(const test::TempDir& dir) {
  const std::string path = dir.path() + "/zeros.kr4";
  const int descriptor = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
  EXPECT_GE(descriptor, 0) << path;
  EXPECT_EQ(ftruncate(descriptor, kTwoGigabytes), 0) << path;
  ::close(descriptor);
  return path;
}

struct HostileInput {
  std::string name;
  std::function<std::string(const test::TempDir&)> makePath;
  std::string reason;
  std::string requiredDevice;  // a row on a device is skipped where the device is missing
};

std::string nameOf(const ::testing::TestParamInfo<HostileInput>& info) { return info.param.name; }

/** Names a row in test output instead of dumping its bytes. */
void PrintTo(const HostileInput& input, std::ostream* out) { *out << input.name; }

const std::vector<HostileInput> kHostileInputs{
    {"FifoWithoutWriter", makeFifo, "not a regular file", ""},
    {"DevZero", [](const test::TempDir&) { return std::string("/dev/zero"); }, "not a regular file",
     "/dev/zero"},
    {"DevUrandom", [](const test::TempDir&) { return std::string("/dev/urandom"); },
     "not a regular file", "/dev/urandom"},
    {"TwoGigabytesOfZeros", makeZeroFile, "the header has no End line", ""},
    {"Folder", [](const test::TempDir& dir) { return dir.path(); }, "Is a directory", ""},
    {"MissingFileWithANewlineInItsName",
     [](const test::TempDir& dir) { return dir.path() + "/line\nbreak.kr4"; },
     "No such file or directory", ""},
};

using HostileLoadTestBase = test::MainWindowTest;

class HostileLoadTest : public test::MainWindowTest,
                        public ::testing::WithParamInterface<HostileInput> {};

TEST_P(HostileLoadTest, IsRefusedAtOnceAndKeepsTheLoadedImage) {
  const HostileInput& input = GetParam();
  if (!input.requiredDevice.empty() && !std::filesystem::exists(input.requiredDevice)) {
    GTEST_SKIP() << input.requiredDevice << " does not exist on this system";
  }
  const test::TempDir dir;
  const std::string path = input.makePath(dir);
  load(test::kLamp, "cmdload");
  ASSERT_TRUE(ws().image(ImageKind::Data).loaded);
  const Workspace before = ws();
  const std::string labelBefore = control("lblfiledata1").caption();
  transcript_.str("");
  reasons_.str("");

  const auto start = std::chrono::steady_clock::now();
  load(path, "cmdload");
  const auto elapsed = std::chrono::steady_clock::now() - start;

  EXPECT_LT(elapsed, kPromptRefusal);
  EXPECT_EQ(transcript_.str(), "message: File not loaded successfully\n");
  EXPECT_EQ(reasons_.str(), "reason: " + input.reason + "\n");
  EXPECT_EQ(ws().image(ImageKind::Data).fileName, before.image(ImageKind::Data).fileName);
  EXPECT_EQ(ws().image(ImageKind::Data).caption, before.image(ImageKind::Data).caption);
  EXPECT_TRUE(ws().image(ImageKind::Data).image == before.image(ImageKind::Data).image);
  EXPECT_EQ(ws().image(ImageKind::Data).width, before.image(ImageKind::Data).width);
  EXPECT_EQ(ws().image(ImageKind::Data).loaded, before.image(ImageKind::Data).loaded);
  EXPECT_EQ(control("lblfiledata1").caption(), labelBefore);
}

INSTANTIATE_TEST_SUITE_P(HostileInputs, HostileLoadTest, ::testing::ValuesIn(kHostileInputs),
                         nameOf);

// A newline is a character like any other in a file name: the image loads, and its name stands
// whole in the label and the caption.
TEST_F(HostileLoadTestBase, AnImageWhoseNameHoldsANewlineLoads) {
  const test::TempDir dir;
  const std::string path = dir.path() + "/line\nbreak.kr4";
  std::filesystem::copy_file(test::kRamp, path);
  load(path, "cmdload");
  EXPECT_EQ(transcript_.str(), "");
  EXPECT_TRUE(ws().image(ImageKind::Data).loaded);
  EXPECT_EQ(ws().image(ImageKind::Data).fileName, path);
  EXPECT_EQ(control("lblfiledata1").caption(), path);
  EXPECT_EQ(ws().image(ImageKind::Data).width, 400);
}

}  // namespace
}  // namespace halvic

#include "imagefile/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace halvic {
namespace {

namespace fs = std::filesystem;

std::string contentOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/** Every name in the folder and its sub-folders, relative to it, sorted. */
std::vector<std::string> entriesOf(const test::TempDir& dir) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir.path())) {
    names.push_back(entry.path().lexically_relative(dir.path()).string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<std::string> write(const std::string& path, std::string_view bytes) {
  return writeFileAtomically(path, std::span<const char>(bytes.data(), bytes.size()));
}

mode_t permissionsOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
  return status.st_mode & 07777;
}

/** Runs the body with the process's umask set to mask, then puts the old one back. */
void withUmask(mode_t mask, const std::function<void()>& body) {
  const mode_t old = ::umask(mask);
  body();
  ::umask(old);
}

// Each case writes "new" to the path its set-up returns. The reasons are the system's texts for
// ENOTDIR, ENOENT and EISDIR. "Nothing left behind" is the folder holding exactly what the set-up
// made (plus the file on success): no temporary file in any case.
TEST(WriteFileAtomically, WritesWholeOrLeavesEverythingAsItWas) {
  struct Row {
    std::string_view name;
    std::function<std::string(const test::TempDir&)> setUp;
    std::optional<std::string_view> reason;
    std::vector<std::string> entriesAfter;
    std::string_view plainFileAfter;  // the content of "plain" afterwards, when it exists
  };
  const std::vector<Row> rows{
      {"new file",
       [](const test::TempDir& d) { return d.file("plain"); },
       std::nullopt,
       {"plain"},
       "new"},
      {"longer file replaced, no stale tail",
       [](const test::TempDir& d) { return d.write("plain", "an older and longer text"); },
       std::nullopt,
       {"plain"},
       "new"},
      {"path through a regular file",
       [](const test::TempDir& d) { return d.write("plain", "kept") + "/out.txt"; },
       "Not a directory",
       {"plain"},
       "kept"},
      {"missing folder",
       [](const test::TempDir& d) { return d.file("missing/out.txt"); },
       "No such file or directory",
       {},
       ""},
      {"a folder at the path",
       [](const test::TempDir& d) {
         fs::create_directory(d.file("out.txt"));
         d.write("out.txt/inside", "kept");
         return d.file("out.txt");
       },
       "Is a directory",
       {"out.txt", "out.txt/inside"},
       ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const test::TempDir dir;
    const std::string path = row.setUp(dir);
    const std::optional<std::string> reason = write(path, "new");
    EXPECT_EQ(reason, row.reason);
    EXPECT_EQ(entriesOf(dir), row.entriesAfter);
    if (fs::exists(dir.file("plain"))) {
      EXPECT_EQ(contentOf(dir.file("plain")), row.plainFileAfter);
    }
    if (fs::exists(dir.file("out.txt/inside"))) {
      EXPECT_EQ(contentOf(dir.file("out.txt/inside")), "kept");
    }
  }
}

TEST(WriteFileAtomically, AReplacedFileKeepsItsPermissionsANewOneFollowsTheUmask) {
  const test::TempDir dir;
  const std::string replaced = dir.write("replaced", "old");
  ASSERT_EQ(::chmod(replaced.c_str(), 0604), 0);
  withUmask(027, [&] {
    EXPECT_EQ(write(replaced, "new"), std::nullopt);
    EXPECT_EQ(write(dir.file("fresh"), "new"), std::nullopt);
  });
  EXPECT_EQ(permissionsOf(replaced), 0604U);
  EXPECT_EQ(permissionsOf(dir.file("fresh")), 0640U);  // 0666 less 027
  EXPECT_EQ(contentOf(replaced), "new");
}

TEST(WriteFileAtomically, WritesThroughASymbolicLink) {
  const test::TempDir dir;
  fs::create_directory(dir.file("real"));
  const std::string target = dir.write("real/target", "old text");
  fs::create_symlink("real/target", dir.file("link"));  // relative to the link's folder
  EXPECT_EQ(write(dir.file("link"), "new"), std::nullopt);
  EXPECT_TRUE(fs::is_symlink(dir.file("link")));
  EXPECT_EQ(contentOf(target), "new");
  EXPECT_EQ(entriesOf(dir), (std::vector<std::string>{"link", "real", "real/target"}));
}

// Two files staged: neither target changes before its own commit, and a staged file that is never
// committed leaves nothing behind.
TEST(StagedFile, ReplacesItsTargetOnlyWhenCommitted) {
  const test::TempDir dir;
  const std::string first = dir.write("first", "old first");
  const std::string second = dir.write("second", "old second");
  {
    StagedFile stagedFirst, stagedSecond;
    ASSERT_EQ(stagedFirst.stage(first, std::span<const char>("new first", 9)), std::nullopt);
    ASSERT_EQ(stagedSecond.stage(second, std::span<const char>("new second", 10)), std::nullopt);
    EXPECT_EQ(entriesOf(dir).size(), 4U);  // two targets, two hidden temporary files
    EXPECT_EQ(contentOf(first), "old first");
    EXPECT_EQ(stagedSecond.commit(), std::nullopt);
    EXPECT_EQ(contentOf(second), "new second");
    EXPECT_EQ(contentOf(first), "old first");
  }
  EXPECT_EQ(contentOf(first), "old first");
  EXPECT_EQ(entriesOf(dir), (std::vector<std::string>{"first", "second"}));
  StagedFile nothing;
  EXPECT_EQ(nothing.commit(), "nothing staged");
}

}  // namespace
}  // namespace halvic

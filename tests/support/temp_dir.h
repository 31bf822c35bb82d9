#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace halvic::test {

/**
 * A private folder with a unique name under the test temp folder, removed with everything in it
 * at the end, so that tests running at the same time never share a file.
 */
class TempDir {
 public:
  TempDir() {
    std::string pattern = ::testing::TempDir() + "halvic_XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
      ADD_FAILURE() << "cannot create a temporary folder from " << pattern;
    }
    dir_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  /** The full path of a file of that name in the folder (which need not exist yet). */
  std::string file(std::string_view name) const { return (dir_ / name).string(); }

  /** Writes content to a file of that name in the folder and returns its full path. */
  std::string write(std::string_view name, std::string_view content) const {
    const std::filesystem::path path = dir_ / name;
    std::ofstream out(path, std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    EXPECT_TRUE(out.good()) << "cannot write " << path;
    return path.string();
  }

  std::string path() const { return dir_.string(); }

 private:
  std::filesystem::path dir_;
};

}  // namespace halvic::test

// Opening a 6,000 x 4,000 FITS image and reducing it to a strip by the proposed reduction, as
// 32-bit floats and as 16-bit unsigned data. Each benchmark also runs the same work once in a
// process of its own (this program with --peak-memory FILE) and reports that process's peak
// resident memory against the size of the image's pixels in the file.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "imagefile/fits_image.h"
#include "imagefile/fits_reduction.h"
#include "tests/imagefile/fits_fixtures.h"

namespace {

constexpr long kWidth = 6000;
constexpr long kHeight = 4000;

/** A private folder for the images, removed with them when the program ends. */
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "halvic_bench_XXXXXX").string();
    path_ = mkdtemp(pattern.data()) != nullptr ? pattern : "";
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// An object's exposure: a sky that varies a little, a trace along the rows at row 1800 with
// absorption lines, and a few pixels at the 16-bit maximum.
double exposure(long index) {
  const auto x = static_cast<double>(index % kWidth);
  const auto y = static_cast<double>(index / kWidth);
  const double trace = 20000.0 * std::exp(-0.5 * std::pow((y - 1800) / 3.0, 2));
  const double lines = 1.0 - 0.6 * std::exp(-0.5 * std::pow(std::fmod(x, 450.0) - 200.0, 2));
  const bool hot = index % 1000003 == 0;
  return hot ? 65535.0 : 900.0 + 40.0 * std::sin(0.37 * x + 0.11 * y) + trace * lines;
}

/** The image of that type, written once in the set-up. */
const std::string& imageFile(int bitpix) {
  static const ScratchFolder folder;
  static std::map<int, std::string> files;
  if (auto found = files.find(bitpix); found != files.end()) {
    return found->second;
  }
  const std::string path = folder.path() + "/image" + std::to_string(bitpix) + ".fits";
  const int status = halvic::test::writeFits(
      path, {.bitpix = bitpix, .axes = {kWidth, kHeight}, .value = exposure});
  return files[bitpix] = status == 0 ? path : "";
}

bool openAndReduce(const std::string& path) {
  const halvic::FitsImageRead read = halvic::readFitsImage(path);
  if (!read.image) {
    return false;
  }
  const halvic::Reduction reduction = halvic::proposeReduction(*read.image, std::nullopt);
  const halvic::StripReduction reduced = halvic::reduceToStrip(*read.image, reduction, 9.0f);
  benchmark::DoNotOptimize(reduced);
  return reduced.strip.has_value();
}

long peakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

/** The peak resident kilobytes of this program opening and reducing path once, or -1. */
long peakOfASeparateRun(const std::string& path) {
  std::array<int, 2> pipeEnds{};
  if (pipe(pipeEnds.data()) != 0) {
    return -1;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  std::string flag = "--peak-memory";
  std::string file = path;
  std::array<char*, 4> arguments{self.data(), flag.data(), file.data(), nullptr};
  pid_t child = 0;
  const int spawned =
      posix_spawn(&child, self.c_str(), &actions, nullptr, arguments.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  std::array<char, 64> text{};
  const ssize_t count = read(pipeEnds[0], text.data(), text.size() - 1);
  close(pipeEnds[0]);
  int status = 0;
  if (spawned != 0 || waitpid(child, &status, 0) != child || status != 0 || count <= 0) {
    return -1;
  }
  return std::strtol(text.data(), nullptr, 10);
}

void BM_OpenAndReduce(benchmark::State& state, int bitpix, int bytesPerPixel) {
  const std::string& path = imageFile(bitpix);
  if (path.empty() || !openAndReduce(path)) {
    state.SkipWithError("the image could not be written or read");
    return;
  }
  for (auto _ : state) {
    openAndReduce(path);
  }
  const double pixelBytes = static_cast<double>(kWidth * kHeight * bytesPerPixel);
  const double peak = static_cast<double>(peakOfASeparateRun(path)) * 1024.0;
  state.counters["image_MB"] = pixelBytes / 1e6;
  state.counters["peak_MB"] = peak / 1e6;
  state.counters["peak_per_image"] = peak / pixelBytes;
}

BENCHMARK_CAPTURE(BM_OpenAndReduce, Float32, FLOAT_IMG, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenAndReduce, Unsigned16, USHORT_IMG, 2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string_view(argv[1]) == "--peak-memory") {
    if (!openAndReduce(argv[2])) {
      return 1;
    }
    std::printf("%ld\n", peakKilobytes());
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

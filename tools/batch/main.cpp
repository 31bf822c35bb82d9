// halvic-batch: a night's object images calibrated with a saved calibration, each written as the
// window's "Export FITS..." (and "Export CSV...") would write it, with a summary of them all.

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "imagefile/atomic_file.h"
#include "imagefile/regular_file.h"
#include "output/barycentre_fields.h"
#include "tools/batch/batch_image.h"
#include "tools/batch/batch_inputs.h"
#include "tools/batch/batch_summary.h"
#include "ui/number_format.h"

namespace {

using namespace halvic;

constexpr int kAllWritten = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsageError = 2;
constexpr int kInterrupted = 130;
constexpr std::size_t kLargestTextFile = 1024 * 1024;
constexpr std::string_view kInterruptedStatus = "not done: interrupted";

std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int) { interrupted = true; }

int usageError(const std::string& line) {
  std::fprintf(stderr, "halvic-batch: %s\n", line.c_str());
  return kUsageError;
}

/** A small text file whole, or why not. */
std::optional<std::string> readText(const std::string& path, std::string& reason) {
  std::vector<char> bytes;
  const FileReadStatus status = readRegularFile(path, kLargestTextFile, bytes);
  if (status != ReadStatus::Ok) {
    reason = path + ": " + describe(status);
    return std::nullopt;
  }
  return std::string(bytes.begin(), bytes.end());
}

/** Progress on standard error: one line redrawn on a terminal, a line an image otherwise. */
class Progress {
 public:
  explicit Progress(std::size_t total)
      : total_(total),
        terminal_(::isatty(STDERR_FILENO) == 1),
        start_(std::chrono::steady_clock::now()) {}

  void imageDone(const ImageJob& job, const ImageOutcome& outcome) {
    const std::lock_guard lock(mutex_);
    ++done_;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const double rate = seconds > 0.0 ? static_cast<double>(done_) / seconds : 0.0;
    const double left = rate > 0.0 ? static_cast<double>(total_ - done_) / rate : 0.0;
    if (terminal_ && !outcome.written) {
      std::fprintf(stderr, "\r\033[K%s: %s\n", job.image.c_str(), outcome.status.c_str());
    }
    const std::string counts = std::to_string(done_) + "/" + std::to_string(total_);
    if (terminal_) {
      std::fprintf(stderr, "\r\033[K%s done, %s files/s, %s s left", counts.c_str(),
                   ui::formatNumber(rate, "0.0").c_str(), ui::formatNumber(left, "0").c_str());
    } else {
      std::fprintf(stderr, "%s %s %s\n", counts.c_str(), job.image.c_str(), outcome.status.c_str());
    }
  }

  void finish() const {
    if (terminal_) {
      std::fputc('\n', stderr);
    }
  }

 private:
  std::mutex mutex_;
  std::size_t total_;
  std::size_t done_ = 0;
  bool terminal_;
  std::chrono::steady_clock::time_point start_;
};

/** Each job run by one of jobs threads; an outcome a job, in the jobs' order. */
std::vector<ImageOutcome> runAll(const BatchSettings& settings, const std::vector<ImageJob>& jobs,
                                 unsigned threads) {
  std::vector<ImageOutcome> outcomes(
      jobs.size(), ImageOutcome{false, std::string(kInterruptedStatus), std::nullopt, 0, 0.0});
  std::atomic<std::size_t> next{0};
  Progress progress(jobs.size());
  const auto work = [&] {
    for (std::size_t i = next++; i < jobs.size() && !interrupted; i = next++) {
      outcomes[i] = calibrateImage(settings, jobs[i]);
      progress.imageDone(jobs[i], outcomes[i]);
    }
  };
  std::vector<std::thread> pool;
  for (unsigned t = 1; t < threads; ++t) {
    pool.emplace_back(work);
  }
  work();
  for (std::thread& thread : pool) {
    thread.join();
  }
  progress.finish();
  return outcomes;
}

void stopCleanlyOnSignals() {
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  // Ignored, so that a write past the file size limit (ulimit -f) fails with "File too large"
  // and the image is reported, instead of the run ending with its staged files left behind.
  std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app("Calibrates object images with a saved calibration, as the window exports them.",
               "halvic-batch");
  std::string calibrationPath, outFolder, lampPath, pairsPath, observingPath;
  std::vector<std::string> images;
  bool csv = false, overwrite = false, barycentric = false;
  unsigned jobs = std::max(1U, std::thread::hardware_concurrency());
  app.add_option("--calibration", calibrationPath, "calibration file (FITS)")->required();
  app.add_option("--out", outFolder, "folder the files go to")->required();
  CLI::Option* lampOption =
      app.add_option("--lamp", lampPath, "lamp to re-identify the calibration on");
  CLI::Option* pairsOption =
      app.add_option("--pairs", pairsPath, "file of 'IMAGE LAMP' lines")->excludes(lampOption);
  app.add_flag("--csv", csv, "also write STEM.csv");
  app.add_option("--jobs", jobs, "images calibrated at once")
      ->check(CLI::Range(1U, 1024U))
      ->capture_default_str();
  app.add_flag("--overwrite", overwrite, "replace existing outputs");
  app.add_option("--observing", observingPath, "file of the observing form's 'KEY = VALUE' lines");
  app.add_flag("--barycentric", barycentric,
               "correct the wavelengths to the barycentre (needs RA and DEC, site and date)");
  app.add_option("IMAGE", images, "camera image files");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? kAllWritten : kUsageError;
  }

  std::string reason;
  std::optional<std::string> pairsText;
  if (*pairsOption && !(pairsText = readText(pairsPath, reason))) {
    return usageError(reason);
  }
  const ParsedFile<std::vector<ImageJob>> parsedJobs = batchJobs(
      images, *lampOption ? std::optional<std::string>(lampPath) : std::nullopt, pairsText);
  if (!parsedJobs.value) {
    return usageError(pairsPath + ": " + parsedJobs.reason);
  }
  if (parsedJobs.value->empty()) {
    return usageError("no image given");
  }
  if (const std::optional<std::string> repeated = repeatedStem(*parsedJobs.value)) {
    return usageError(*repeated + ": another image has the same name; their files would collide");
  }
  BatchSettings settings{.outFolder = outFolder, .csv = csv, .overwrite = overwrite};
  if (!observingPath.empty()) {
    const std::optional<std::string> text = readText(observingPath, reason);
    if (!text) {
      return usageError(reason);
    }
    ParsedFile<std::vector<ui::FormField>> fields = parseObservingText(*text);
    if (!fields.value) {
      return usageError(observingPath + ": " + fields.reason);
    }
    settings.fields = *fields.value;
  } else {
    settings.fields = parseObservingText("").value.value_or(std::vector<ui::FormField>{});
  }
  if (barycentric) {
    for (ui::FormField& field : settings.fields) {
      if (field.name == kBarycentreRequestKey) {
        field.value = "1";
      }
    }
  }
  const CalibrationRead read = readCalibrationFile(calibrationPath);
  if (!read.calibration) {
    return usageError(calibrationPath + ": not a calibration file (" + read.reason + ")");
  }
  settings.calibration = *read.calibration;
  settings.source = read.source;
  std::error_code error;
  std::filesystem::create_directories(outFolder, error);
  if (!std::filesystem::is_directory(outFolder)) {
    return usageError(outFolder + ": not a folder" + (error ? " (" + error.message() + ")" : ""));
  }

  stopCleanlyOnSignals();
  const std::vector<ImageOutcome> outcomes = runAll(settings, *parsedJobs.value, jobs);
  const std::string summaryPath = (std::filesystem::path(outFolder) / "summary.csv").string();
  const std::string summary = buildSummary(*parsedJobs.value, outcomes);
  if (const auto failure = writeFileAtomically(summaryPath, std::span<const char>(summary))) {
    std::fprintf(stderr, "halvic-batch: %s: %s\n", summaryPath.c_str(), failure->c_str());
    return kSomeFailed;
  }
  if (interrupted) {
    return kInterrupted;
  }
  for (const ImageOutcome& outcome : outcomes) {
    if (!outcome.written) {
      return kSomeFailed;
    }
  }
  return kAllWritten;
}

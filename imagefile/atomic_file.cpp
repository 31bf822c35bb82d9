#include "imagefile/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace halvic {

namespace {

std::string systemReason(int error) { return std::strerror(error); }

/** The file the bytes are meant for: the target of a symbolic link, else path itself. */
std::filesystem::path finalTarget(const std::string& path) {
  std::error_code error;
  const std::filesystem::path given(path);
  if (std::filesystem::is_symlink(given, error)) {
    const std::filesystem::path target = std::filesystem::read_symlink(given, error);
    if (!error) {
      return target.is_absolute() ? target : given.parent_path() / target;
    }
  }
  return given;
}

/**
 * A hidden name beside the target for mkstemp. Appended piece by piece: GCC 12 at -O3 reports a
 * false -Wrestrict overlap for "." + name + suffix.
 */
std::string temporaryPattern(const std::filesystem::path& folder,
                             const std::filesystem::path& target) {
  std::string name = ".";
  name += target.filename().string();
  name += ".XXXXXX";
  return (folder / name).string();
}

/** The permissions the written file gets: those of the file it replaces, else 0666 less umask. */
mode_t modeFor(const std::filesystem::path& target) {
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
    return existing.st_mode & 07777;
  }
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return static_cast<mode_t>(0666) & ~mask;
}

bool writeAll(int descriptor, std::span<const char> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    bytes = bytes.subspan(static_cast<size_t>(written));
  }
  return true;
}

}  // namespace

StagedFile::~StagedFile() { discard(); }

void StagedFile::discard() {
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
}

std::optional<std::string> StagedFile::stage(const std::string& path, std::span<const char> bytes) {
  discard();
  const std::filesystem::path target = finalTarget(path);
  const std::filesystem::path folder =
      target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  std::string temporary = temporaryPattern(folder, target);
  const int descriptor = ::mkstemp(temporary.data());
  if (descriptor < 0) {
    return systemReason(errno);
  }
  const auto fail = [&temporary](int error) {
    ::unlink(temporary.c_str());
    return std::optional<std::string>(systemReason(error));
  };
  if (::fchmod(descriptor, modeFor(target)) != 0 || !writeAll(descriptor, bytes)) {
    const int error = errno;
    ::close(descriptor);
    return fail(error);
  }
  if (::close(descriptor) != 0) {
    return fail(errno);
  }
  temporary_ = std::move(temporary);
  target_ = target;
  return std::nullopt;
}

std::optional<std::string> StagedFile::commit() {
  if (temporary_.empty()) {
    return std::string("nothing staged");
  }
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
    const int error = errno;
    discard();
    return systemReason(error);
  }
  temporary_.clear();
  return std::nullopt;
}

std::optional<std::string> writeFileAtomically(const std::string& path,
                                               std::span<const char> bytes) {
  StagedFile file;
  if (std::optional<std::string> failure = file.stage(path, bytes)) {
    return failure;
  }
  return file.commit();
}

}  // namespace halvic

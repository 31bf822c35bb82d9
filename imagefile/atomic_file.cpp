#include "imagefile/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <string_view>
#include <vector>

namespace halvic {

namespace {

constexpr std::string_view kForeignLink = "a link owned by another user";
constexpr std::string_view kTemporaryPrefix = ".staged-";
constexpr std::string_view kNameLetters =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr int kTemporaryLetters = 6;
constexpr int kNameAttempts = 100;
constexpr int kMostLinks = 40;  // as many as the system follows in one path
constexpr mode_t kPermissionBits = 07777;
constexpr mode_t kNewFileMode = 0666;      // less the umask, which open() applies
constexpr mode_t kPrivateFileMode = 0600;  // until the replaced file's mode is given

std::string systemReason(int error) { return std::strerror(error); }

std::filesystem::path folderOf(const std::filesystem::path& path) {
  return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

/**
 * Whether the system's rule for shared folders (fs.protected_symlinks) refuses to follow this
 * link: one in a sticky folder that anyone may write, owned neither by the user nor by the
 * folder's owner. Another user may plant such a link to steer a write to a file of theirs.
 */
bool foreignLinkInSharedFolder(const std::filesystem::path& path, const struct stat& link) {
  struct stat folder {};
  if (::stat(folderOf(path).c_str(), &folder) != 0) {
    return false;  // the write itself then fails with the system's reason
  }
  const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
  return shared && link.st_uid != ::geteuid() && link.st_uid != folder.st_uid;
}

/** The file the bytes are meant for: path with its links followed, or why it is not written. */
struct Target {
  std::filesystem::path path;
  std::optional<std::string> refusal;
};

Target finalTarget(const std::string& path) {
  std::filesystem::path current(path);
  for (int followed = 0; followed <= kMostLinks; ++followed) {
    struct stat entry {};
    if (::lstat(current.c_str(), &entry) != 0 || !S_ISLNK(entry.st_mode)) {
      return {current, std::nullopt};
    }
    if (foreignLinkInSharedFolder(current, entry)) {
      return {{}, std::string(kForeignLink)};
    }
    std::error_code error;
    const std::filesystem::path named = std::filesystem::read_symlink(current, error);
    if (error) {
      return {{}, error.message()};
    }
    current = named.is_absolute() ? named : folderOf(current) / named;
  }
  return {{}, systemReason(ELOOP)};
}

std::string randomLetters() {
  thread_local std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, kNameLetters.size() - 1);
  std::string letters;
  for (int i = 0; i < kTemporaryLetters; ++i) {
    letters += kNameLetters[pick(generator)];
  }
  return letters;
}

/**
 * Creates a new file in folder under a short hidden name of its own, with mode as open() gives
 * it (less the umask). Its descriptor, with its name in name; -1 with errno set on failure.
 */
int createTemporary(const std::filesystem::path& folder, mode_t mode, std::string& name) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string candidate(kTemporaryPrefix);
    candidate += randomLetters();
    name = (folder / candidate).string();
    const int descriptor = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (descriptor >= 0 || errno != EEXIST) {
      return descriptor;
    }
  }
  return -1;
}

/** The owner and group of the replaced file, or at least its group; as far as the system lets. */
bool keepOwner(int descriptor, const struct stat& replaced) {
  if (replaced.st_uid == ::geteuid() && replaced.st_gid == ::getegid()) {
    return true;
  }
  return ::fchown(descriptor, replaced.st_uid, replaced.st_gid) == 0 ||
         ::fchown(descriptor, static_cast<uid_t>(-1), replaced.st_gid) == 0;
}

/** The owner first: a change of owner clears the set-user and set-group bits. */
bool takeOverFrom(int descriptor, const struct stat& replaced) {
  keepOwner(descriptor, replaced);
  return ::fchmod(descriptor, replaced.st_mode & kPermissionBits) == 0;
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

/** Renames with flags; false with errno set, EINVAL when the file system has no such rename. */
bool renameWith(const std::string& from, const std::filesystem::path& to, unsigned int flags) {
  return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), flags) == 0;
}

}  // namespace

StagedFile::~StagedFile() { discard(); }

void StagedFile::discard() {
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
  undo_ = Undo::Nothing;
}

std::optional<std::string> StagedFile::stage(const std::string& path, std::span<const char> bytes) {
  discard();
  const Target target = finalTarget(path);
  if (target.refusal) {
    return target.refusal;
  }
  struct stat existing {};
  const bool exists = ::stat(target.path.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) {
    return systemReason(EISDIR);
  }
  const bool replacesFile = exists && S_ISREG(existing.st_mode);
  std::string temporary;
  const int descriptor = createTemporary(folderOf(target.path),
                                         replacesFile ? kPrivateFileMode : kNewFileMode, temporary);
  if (descriptor < 0) {
    return systemReason(errno);
  }
  const bool written = (!replacesFile || takeOverFrom(descriptor, existing)) &&
                       writeAll(descriptor, bytes) && ::fsync(descriptor) == 0;
  int error = written ? 0 : errno;
  if (::close(descriptor) != 0 && error == 0) {
    error = errno;
  }
  if (error != 0) {
    ::unlink(temporary.c_str());
    return systemReason(error);
  }
  temporary_ = std::move(temporary);
  target_ = target.path;
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

std::optional<std::string> StagedFile::commitUndoably() {
  if (temporary_.empty()) {
    return std::string("nothing staged");
  }
  struct stat existing {};
  const bool exists = ::lstat(target_.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) {
    discard();  // an exchange would move the folder to the temporary name
    return systemReason(EISDIR);
  }
  if (!exists) {
    if (renameWith(temporary_, target_, RENAME_NOREPLACE)) {
      temporary_.clear();
      undo_ = Undo::RemoveTarget;
      return std::nullopt;
    }
  } else if (renameWith(temporary_, target_, RENAME_EXCHANGE)) {
    undo_ = Undo::PutBackOld;  // the temporary name now holds the old file
    return std::nullopt;
  }
  if (errno == EINVAL || errno == ENOSYS) {
    return commit();
  }
  const int error = errno;
  discard();
  return systemReason(error);
}

void StagedFile::undoCommit() {
  if (undo_ == Undo::PutBackOld) {
    // Should the old file not go back, it stays under the hidden name rather than be removed.
    ::rename(temporary_.c_str(), target_.c_str());
    temporary_.clear();
  } else if (undo_ == Undo::RemoveTarget) {
    ::unlink(target_.c_str());
  }
  undo_ = Undo::Nothing;
}

std::optional<CommitFailure> commitTogether(std::span<StagedFile* const> files) {
  for (std::size_t index = 0; index < files.size(); ++index) {
    if (std::optional<std::string> failure = files[index]->commitUndoably()) {
      for (std::size_t done = index; done > 0; --done) {
        files[done - 1]->undoCommit();
      }
      for (StagedFile* file : files) {
        file->discard();
      }
      return CommitFailure{index, std::move(*failure)};
    }
  }
  for (StagedFile* file : files) {
    file->discard();  // the old files kept under the temporary names
  }
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

#include "imagefile/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

namespace halvic {

namespace {

// Reading a FIFO, a device or a socket can wait for ever or never end, so those are refused; a
// folder counts as a file that cannot be opened.
ReadStatus readableKind(mode_t mode) {
  if (S_ISREG(mode)) {
    return ReadStatus::Ok;
  }
  return S_ISDIR(mode) ? ReadStatus::CannotOpen : ReadStatus::NotARegularFile;
}

// A folder cannot be read as a file: reading one gives EISDIR.
FileReadStatus kindRefusal(ReadStatus kind) {
  return {kind, kind == ReadStatus::CannotOpen ? EISDIR : 0};
}

FileReadStatus cannotOpen() { return {ReadStatus::CannotOpen, errno}; }

}  // namespace

OpenedFile openRegularFile(const std::string& path) {
  struct stat named {};
  if (::stat(path.c_str(), &named) != 0) {
    return {cannotOpen()};
  }
  if (const ReadStatus kind = readableKind(named.st_mode); kind != ReadStatus::Ok) {
    return {kindRefusal(kind)};
  }
  // Without blocking, because the path may have been replaced by a FIFO since it was looked at:
  // open() then returns at once and the kind of what was opened is refused.
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) {
    return {cannotOpen()};
  }
  auto data = std::make_unique<FileDescriptorBuffer>(descriptor);
  struct stat opened {};
  if (::fstat(descriptor, &opened) != 0) {
    return {cannotOpen()};
  }
  if (const ReadStatus kind = readableKind(opened.st_mode); kind != ReadStatus::Ok) {
    return {kindRefusal(kind)};
  }
  return {{ReadStatus::Ok}, std::move(data)};
}

FileReadStatus withReadError(ReadStatus status, const FileDescriptorBuffer& data) {
  if (status != ReadStatus::Ok && data.readError() != 0) {
    return {ReadStatus::ReadFailed, data.readError()};
  }
  return {status};
}

bool isSameFile(const std::string& first, const std::string& second) {
  struct stat one {};
  struct stat other {};
  return ::stat(first.c_str(), &one) == 0 && ::stat(second.c_str(), &other) == 0 &&
         one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

FileReadStatus readRegularFile(const std::string& path, std::size_t maxBytes,
                               std::vector<char>& bytes) {
  const OpenedFile file = openRegularFile(path);
  if (file.status != ReadStatus::Ok) {
    return file.status;
  }
  // One byte more than allowed tells a file of exactly maxBytes from a longer one.
  std::vector<char> content(maxBytes + 1);
  const std::streamsize count =
      file.data->sgetn(content.data(), static_cast<std::streamsize>(content.size()));
  if (file.data->readError() != 0) {
    return {ReadStatus::ReadFailed, file.data->readError()};
  }
  if (static_cast<std::size_t>(count) > maxBytes) {
    return {ReadStatus::ValueOutOfRange};
  }
  content.resize(static_cast<std::size_t>(count));
  bytes = std::move(content);
  return {ReadStatus::Ok};
}

}  // namespace halvic

#pragma once

#include <array>
#include <cstddef>
#include <streambuf>

namespace halvic {

/**
 * A read-only stream buffer over a POSIX file descriptor, so that a file opened with open()
 * (for instance without blocking) can be read with the same streambuf code as any other data.
 * It owns the descriptor and closes it when destroyed. A read error ends the data, as the end of
 * the file does, and is kept for readError(); an interrupted read is retried.
 */
class FileDescriptorBuffer : public std::streambuf {
 public:
  /** Takes ownership of descriptor; a descriptor that cannot be read (or -1) gives no data. */
  explicit FileDescriptorBuffer(int descriptor);
  ~FileDescriptorBuffer() override;

  FileDescriptorBuffer(const FileDescriptorBuffer&) = delete;
  FileDescriptorBuffer& operator=(const FileDescriptorBuffer&) = delete;

  /** The system's error of the read that ended the data; 0 when it ended at the end of the file. */
  int readError() const { return readError_; }

  /** The descriptor read, still owned by the buffer; for reading the same file another way. */
  int descriptor() const { return descriptor_; }

 protected:
  int_type underflow() override;

 private:
  static constexpr std::size_t kBufferSize = 4096;

  int descriptor_;
  int readError_ = 0;
  std::array<char, kBufferSize> buffer_{};
};

}  // namespace halvic

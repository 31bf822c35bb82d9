#include "imagefile/file_descriptor_buffer.h"

#include <unistd.h>

#include <cerrno>

namespace halvic {

FileDescriptorBuffer::FileDescriptorBuffer(int descriptor) : descriptor_(descriptor) {
  setg(buffer_.data(), buffer_.data(), buffer_.data());
}

FileDescriptorBuffer::~FileDescriptorBuffer() {
  if (descriptor_ >= 0) {
    ::close(descriptor_);
  }
}

FileDescriptorBuffer::int_type FileDescriptorBuffer::underflow() {
  if (gptr() < egptr()) {
    return traits_type::to_int_type(*gptr());
  }
  ssize_t count = 0;
  do {
    count = ::read(descriptor_, buffer_.data(), buffer_.size());
  } while (count < 0 && errno == EINTR);
  if (count < 0) {
    readError_ = errno;
  }
  if (count <= 0) {
    return traits_type::eof();
  }
  setg(buffer_.data(), buffer_.data(), buffer_.data() + count);
  return traits_type::to_int_type(*gptr());
}

}  // namespace halvic

#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "imagefile/file_descriptor_buffer.h"
#include "imagefile/image_reader.h"

namespace halvic {

/** A file opened for reading, or why it was not. */
struct OpenedFile {
  FileReadStatus status{ReadStatus::CannotOpen};
  std::unique_ptr<FileDescriptorBuffer> data;  // set when status is Ok
};

/**
 * Opens path for reading when it names a regular file, without blocking, checking the kind
 * before and after opening: a FIFO, a device or a socket gives NotARegularFile (it is never
 * read, since reading one can wait for ever or never end), a folder or a path that cannot be
 * opened CannotOpen with the system's error (EISDIR for a folder, ENOTDIR, ELOOP, ...).
 */
OpenedFile openRegularFile(const std::string& path);

/**
 * The status a reader of data opened by openRegularFile ends with: a failure after a read of
 * data failed (which the reader saw as the data ending) is ReadFailed with the system's error;
 * anything else is status itself.
 */
FileReadStatus withReadError(ReadStatus status, const FileDescriptorBuffer& data);

/**
 * Whether both paths name one existing file (the same device and inode), their links followed: a
 * file written to one would replace the other.
 */
bool isSameFile(const std::string& first, const std::string& second);

/**
 * The whole content of the regular file at path, opened as openRegularFile opens it, when it
 * holds at most maxBytes bytes; ValueOutOfRange for a longer file, which is not read past
 * maxBytes + 1; ReadFailed with the system's error when a read fails.
 */
FileReadStatus readRegularFile(const std::string& path, std::size_t maxBytes,
                               std::vector<char>& bytes);

}  // namespace halvic

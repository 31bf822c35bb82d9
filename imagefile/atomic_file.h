#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace halvic {

/**
 * Bytes written to a new temporary file beside the file they are meant for, waiting to be renamed
 * over it, so that several files can be written in full before any of them replaces what is
 * there. A staged file that is never committed is removed when the object goes.
 *
 * The temporary file is hidden (".NAME.XXXXXX") in the target's folder; a symbolic link at the
 * path is written through to the file it names. It is not forced to the disk before the rename:
 * that costs several milliseconds a file, and the rename already keeps every failure of the
 * program or the system call from leaving a partial file. A new file gets the usual permissions
 * (0666 less the umask), a replaced one keeps its own.
 */
class StagedFile {
 public:
  StagedFile() = default;
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  /**
   * Writes bytes to a new temporary file for path. Returns nullopt on success, otherwise the
   * system's reason ("No space left on device", "Not a directory", ...), and then nothing is left
   * behind. A second call discards what the first staged.
   */
  std::optional<std::string> stage(const std::string& path, std::span<const char> bytes);

  /**
   * Renames the staged bytes over their target, which then holds them whole. Returns nullopt on
   * success, otherwise the system's reason; the temporary file is then removed and the target
   * left as it was. Nothing staged: "nothing staged".
   */
  std::optional<std::string> commit();

  /** Removes the temporary file, if any; the target is not touched. */
  void discard();

 private:
  std::string temporary_;
  std::filesystem::path target_;
};

/**
 * Writes bytes to path as a whole or not at all: staged beside it, then renamed over it (see
 * StagedFile). A failure at any step removes the temporary file and leaves whatever was at path
 * before untouched, and a shorter file never keeps the tail of a longer old one.
 *
 * Returns nullopt on success, otherwise the system's reason ("No space left on device",
 * "Not a directory", ...).
 */
std::optional<std::string> writeFileAtomically(const std::string& path,
                                               std::span<const char> bytes);

}  // namespace halvic

#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace halvic {

/** Which of several staged files could not be committed, and the system's reason. */
struct CommitFailure {
  std::size_t index = 0;
  std::string reason;
};

/**
 * Bytes written to a new temporary file beside the file they are meant for, waiting to be renamed
 * over it, so that several files can be written in full before any of them replaces what is
 * there. A staged file that is never committed is removed when the object goes.
 *
 * The temporary file has a short hidden name of its own (".staged-XXXXXX") in the target's
 * folder, so that it fits beside a name of any legal length. It is created with its final mode
 * (0666 less the umask, which is never changed), or, when it replaces a regular file, given that
 * file's permission bits and, where the system lets the program, its owner and group; it is
 * forced to the disk before it can be renamed. A symbolic link at the path is written through to
 * the file it names, except where the system's rule for shared folders would refuse to follow it:
 * a link in a sticky folder that anyone may write (such as /tmp), owned neither by the user nor
 * by the folder's owner, is refused, whatever that rule is set to.
 */
class StagedFile {
 public:
  StagedFile() = default;
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  /**
   * Writes bytes to a new temporary file for path. Returns nullopt on success, otherwise the
   * reason: the system's ("No space left on device", "Not a directory", "Is a directory" for a
   * folder at the path, ...) or "a link owned by another user"; and then nothing is left behind.
   * A second call discards what the first staged.
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
  friend std::optional<CommitFailure> commitTogether(std::span<StagedFile* const> files);

  enum class Undo { Nothing, RemoveTarget, PutBackOld };

  /** commit(), keeping what it takes to undo it: the old file under the temporary name. */
  std::optional<std::string> commitUndoably();
  /** Puts the target back as it was before commitUndoably. */
  void undoCommit();

  std::string temporary_;
  std::filesystem::path target_;
  Undo undo_ = Undo::Nothing;
};

/**
 * Commits the staged files in the order given, all or none: when one cannot be renamed over its
 * target, the files committed before it are put back as they were (a file that did not exist is
 * removed again) and every temporary file is removed. Each target was checked when it was staged
 * (not a folder, no refused link), so that a failure here is one the system gives at the rename.
 * Returns nullopt when all were committed. A file system that cannot swap two names atomically
 * gets plain renames, which cannot be undone.
 */
std::optional<CommitFailure> commitTogether(std::span<StagedFile* const> files);

/**
 * Writes bytes to path as a whole or not at all: staged beside it, then renamed over it (see
 * StagedFile). A failure at any step removes the temporary file and leaves whatever was at path
 * before untouched, and a shorter file never keeps the tail of a longer old one.
 *
 * Returns nullopt on success, otherwise the reason (see StagedFile::stage).
 */
std::optional<std::string> writeFileAtomically(const std::string& path,
                                               std::span<const char> bytes);

}  // namespace halvic

// An output that is not yet in its place. Bytes go to a temporary file
// beside the target, named ".<name>.vorlane-XXXXXX" so that anyone who finds
// one knows what it is; only Commit puts it in the target's place, whole, by
// one rename. Until then the target is untouched, and a PendingFile that is
// destroyed without Commit removes its temporary file.
//
// Every live temporary name is also kept in a process-wide table that a
// signal handler may read: RemoveLiveTemporaries unlinks them all and is
// async-signal-safe, so a process ended by a second Ctrl+C leaves nothing
// half-written behind.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

class PendingFile {
 public:
  // Creates the temporary file in target's folder (O_EXCL, mode 0666 less
  // the umask). Fails with "Cannot create file \"<target>\". <system message>".
  explicit PendingFile(std::string target);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  // Appends bytes; fails like the constructor.
  void Write(std::string_view bytes);
  // The file descriptor, for writers that stream their bytes themselves.
  int fd() const { return fd_; }

  // Flushes and closes the temporary file and renames it over the target.
  // A replaced file's permission bits are kept. The target must not be a
  // folder. Fails like the constructor; the temporary file is then gone
  // and the target as it was.
  void Commit();
  // Removes the temporary file now; the target is untouched.
  void Abandon();

  const std::string& target() const { return target_; }
  const std::string& temporary() const { return temporary_; }

 private:
  [[noreturn]] void Fail(int error);

  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  int slot_ = -1;  // in the table of live temporaries, or -1
};

// The temporary name for target, without its random part: the folder, then
// "." + file name + ".vorlane-". The file name part is shortened when the
// whole would pass the file system's 255-byte limit for a name.
std::string TemporaryPrefixFor(const std::string& target);

// True when name (a file name, no folder) has the form of a temporary file
// made by PendingFile.
bool IsTemporaryName(std::string_view name);
// True when name has that form and carries the mark PendingFile writes into
// the last three characters of its random part (a hash of the rest of the
// name): a file this program made, not one a user named alike.
bool IsOwnTemporaryName(std::string_view name);
// A fresh temporary name for target, marked as PendingFile marks its own.
std::string MarkedTemporaryName(const std::string& target);

// Removes, in folder, temporary files that carry PendingFile's mark and
// whose last change is older than max_age_seconds: what a process killed
// half-way left there. Files of the name pattern without the mark are left
// alone and appended to unproven (when given), folder and name. Returns how
// many were removed. Never fails.
int RemoveStaleTemporaries(const std::string& folder, long max_age_seconds = 24 * 60 * 60,
                           std::vector<std::string>* unproven = nullptr);

// Unlinks every temporary file still live in this process. Async-signal-
// safe: meant for a signal handler just before the process ends.
void RemoveLiveTemporaries();

}  // namespace vorlane
